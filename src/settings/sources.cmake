tw_core(ini_file.cpp settings.cpp credential_file.cpp)
tw_core(options_model.cpp)
tw_win32(options_window.cpp)
