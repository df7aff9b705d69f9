tw_core(background_run.cpp task_definition.cpp)
