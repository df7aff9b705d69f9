tw_core(list_file_io.cpp profile_parser.cpp reader_list.cpp compare_lists.cpp change_report.cpp)
