tw_core(encoders.cpp md5.cpp)
