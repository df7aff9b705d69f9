tw_win32(
  wide_text.cpp
  gdi.cpp
  window.cpp
  message_box.cpp
  shell.cpp
  single_instance.cpp
)
