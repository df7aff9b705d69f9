# Windows build: tallywick.exe and the tests that run under Wine.
enable_language(RC)

set(TW_WIN32_LIBS user32 gdi32 gdiplus comctl32 msimg32 shell32 ws2_32 ole32 oleaut32 oleacc taskschd uuid)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

# The resources (icon, manifest, version, pictures) go into the program and
# into every Win32 test executable, since windows load their pictures from the
# module they live in. A windres failure fails the build; a changed picture
# rebuilds the resources.
set(TW_RESOURCES ${PROJECT_SOURCE_DIR}/src/app/tallywick.rc)
file(GLOB TW_PICTURE_FILES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/assets/*.bmp ${PROJECT_SOURCE_DIR}/assets/*.ico ${PROJECT_SOURCE_DIR}/assets/*/*.png)
set_source_files_properties(${TW_RESOURCES} PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/src/app/tallywick.manifest;${PROJECT_SOURCE_DIR}/src/app/pictures.rc;${TW_PICTURE_FILES}")

add_library(tallywick_ui STATIC ${TW_WIN32_SOURCES})
target_link_libraries(tallywick_ui PUBLIC tallywick_core ${TW_WIN32_LIBS})

add_executable(tallywick WIN32 ${PROJECT_SOURCE_DIR}/src/app/winmain.cpp ${TW_RESOURCES})
target_link_libraries(tallywick PRIVATE tallywick_ui)
# No link time in the exe, so the same tree builds the same release.
target_link_options(tallywick PRIVATE -municode -Wl,--no-insert-timestamp)

# GoogleTest from Debian's source package, built for Windows.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One executable per folder tests/win32/<group>: one Wine start runs a group.
file(GLOB TW_WIN32_GROUPS LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tests/win32/*)
foreach(dir ${TW_WIN32_GROUPS})
  if(NOT IS_DIRECTORY ${dir})
    continue()
  endif()
  get_filename_component(group ${dir} NAME)
  file(GLOB group_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT group_sources)
    continue()
  endif()
  set(exe win32_${group}_tests)
  add_executable(${exe} ${group_sources} ${TW_RESOURCES})
  target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win32)
  target_link_libraries(${exe} PRIVATE tallywick_ui gtest)
  if(NOT EXISTS ${dir}/main.cpp)
    target_link_libraries(${exe} PRIVATE gtest_main)
  endif()
  target_compile_definitions(${exe} PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  list(APPEND TW_WIN32_TEST_EXES ${exe})
endforeach()

# Test-only console tools of the end-to-end scripts: wintext.exe reads the
# texts of a running window, usercred.exe writes a credential file,
# holdfile.exe keeps a file open with no sharing, verinfo.exe prints a
# program's version resource.
add_executable(wintext ${PROJECT_SOURCE_DIR}/tests/e2e/tools/wintext.cpp)
target_include_directories(wintext PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(wintext PRIVATE user32 comctl32 ole32 oleaut32 oleacc uuid)
target_link_options(wintext PRIVATE -municode)
add_executable(usercred ${PROJECT_SOURCE_DIR}/tests/e2e/tools/usercred.cpp)
target_link_libraries(usercred PRIVATE tallywick_ui)
target_link_options(usercred PRIVATE -municode)
# How WS paces its reading against the window's timers (prints figures).
add_executable(socket_pacing ${PROJECT_SOURCE_DIR}/bench/win32/socket_pacing.cpp)
target_include_directories(socket_pacing PRIVATE ${PROJECT_SOURCE_DIR}/tests/win32)
target_link_libraries(socket_pacing PRIVATE tallywick_ui)
add_executable(holdfile ${PROJECT_SOURCE_DIR}/tests/e2e/tools/holdfile.cpp)
target_link_options(holdfile PRIVATE -municode)
add_executable(verinfo ${PROJECT_SOURCE_DIR}/tests/e2e/tools/verinfo.cpp)
target_link_libraries(verinfo PRIVATE version)
target_link_options(verinfo PRIVATE -municode)
# tasktext.exe prints the daily check's task of a folder (the demo shows it).
add_executable(tasktext ${PROJECT_SOURCE_DIR}/tests/e2e/tools/tasktext.cpp)
target_link_libraries(tasktext PRIVATE tallywick_ui)
target_link_options(tasktext PRIVATE -municode)

# The history window's opening time for a long history (a measurement).
add_executable(history_open_time ${PROJECT_SOURCE_DIR}/bench/win32/history_open_time.cpp ${TW_RESOURCES})
target_link_libraries(history_open_time PRIVATE tallywick_ui)
target_link_options(history_open_time PRIVATE -municode)
