tw_core(xp_button_model.cpp list_header_model.cpp check_box_model.cpp info_tip_model.cpp)
tw_win32(xp_button.cpp list_header.cpp check_box.cpp info_tip.cpp)
