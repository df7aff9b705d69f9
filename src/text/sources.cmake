tw_core(cp1251.cpp bytes.cpp)
