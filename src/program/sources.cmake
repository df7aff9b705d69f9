tw_core(program.cpp picture_scaling.cpp window_place.cpp)
