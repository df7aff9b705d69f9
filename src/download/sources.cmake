tw_core(encoders.cpp md5.cpp request.cpp update_check.cpp loading_animation.cpp profile_check.cpp)
tw_win32(loading_window.cpp)
tw_win32(winsock_socket.cpp)
