# The window program's user interface: dialog, its layout at the window's DPI, commands, the run
# on its own thread, language switch, tooltips, the web link.
add_library(stylewick_win32 STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ui_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accessible_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tooltips.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_scale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_link.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/language_switch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/taskbar_progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extraction_run_win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_up.cpp)
target_compile_definitions(stylewick_win32 PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601)
# uuid before oleacc: the 64-bit MinGW libraries define IID_IAccessible in both, and uuid's one
# object holds every other interface id too.
target_link_libraries(stylewick_win32 PUBLIC stylewick_window_parts stylewick_texts stylewick_engine
  comctl32 comdlg32 shell32 ole32 uuid oleacc oleaut32 gdi32 user32)
