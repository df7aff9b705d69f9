tw_core(program.cpp)
