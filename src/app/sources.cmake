tw_core(program.cpp main_window_model.cpp about_model.cpp)
