tw_core(program.cpp main_window_model.cpp about_model.cpp options_model.cpp report_model.cpp)
tw_win32(main_window.cpp about_window.cpp options_window.cpp application.cpp check_road.cpp options_road.cpp report_road.cpp report_window.cpp)
