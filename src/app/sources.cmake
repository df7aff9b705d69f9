tw_core(main_window_model.cpp about_model.cpp)
tw_win32(main_window.cpp about_window.cpp application.cpp check_road.cpp options_road.cpp report_road.cpp autocheck_road.cpp)
