tw_core(background_run.cpp task_definition.cpp)
tw_win32(task_scheduler.cpp background_check.cpp notify_icon.cpp)
