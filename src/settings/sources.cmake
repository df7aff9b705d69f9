tw_core(atomic_file.cpp ini_file.cpp settings.cpp credential_file.cpp)
tw_core(options_model.cpp)
tw_win32(options_window.cpp)
