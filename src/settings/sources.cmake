tw_core(atomic_file.cpp ini_file.cpp settings.cpp credential_file.cpp)
