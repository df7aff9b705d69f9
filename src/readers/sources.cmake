tw_core(profile_parser.cpp reader_list.cpp compare_lists.cpp change_report.cpp)
