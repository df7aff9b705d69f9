tw_core(atomic_file.cpp)
