# stylewick.exe: the window program, GUI subsystem, only system DLLs at run time.
add_executable(stylewick WIN32 ${CMAKE_CURRENT_LIST_DIR}/gui_main.cpp
  ${CMAKE_SOURCE_DIR}/ui/resources/stylewick.rc)
target_link_libraries(stylewick PRIVATE stylewick_win32)
