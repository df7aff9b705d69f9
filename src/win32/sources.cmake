tw_win32(wide_text.cpp)
