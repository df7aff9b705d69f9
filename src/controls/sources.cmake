tw_core(xp_button_model.cpp)
