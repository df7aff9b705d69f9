tw_core(xp_button_model.cpp)
tw_win32(xp_button.cpp)
