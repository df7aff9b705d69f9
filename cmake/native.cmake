# Native build: the core's tests, the fuzzers, the benchmarks and the stand-in.
enable_testing()

if(TW_FUZZ)
  # One libFuzzer executable per tests/fuzz/fuzz_<name>.cpp.
  file(GLOB TW_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${TW_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE tallywick_core)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

file(GLOB_RECURSE TW_NATIVE_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(tallywick_tests ${TW_NATIVE_TESTS})
target_include_directories(tallywick_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/native)
target_link_libraries(tallywick_tests PRIVATE tallywick_core GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_definitions(tallywick_tests PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_test(NAME tallywick_tests COMMAND tallywick_tests)

file(GLOB TW_STANDIN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/stand-in/*.cpp)
if(TW_STANDIN_SOURCES)
  add_executable(stand-in ${TW_STANDIN_SOURCES})
  target_link_libraries(stand-in PRIVATE tallywick_core Threads::Threads)
endif()

if(NOT TW_SANITIZE)
  find_package(benchmark QUIET)
  file(GLOB TW_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
  if(benchmark_FOUND AND TW_BENCH_SOURCES)
    add_executable(tallywick_bench ${TW_BENCH_SOURCES})
    target_link_libraries(tallywick_bench PRIVATE tallywick_core benchmark::benchmark benchmark::benchmark_main)
  endif()
endif()
