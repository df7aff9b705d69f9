tw_core(atomic_file.cpp)
tw_platform(replace_file_posix.cpp replace_file_win32.cpp)
