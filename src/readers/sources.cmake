tw_core(profile_parser.cpp reader_list.cpp compare_lists.cpp change_report.cpp)
tw_core(report_model.cpp history_file.cpp history_model.cpp)
tw_win32(report_window.cpp history_window.cpp)
