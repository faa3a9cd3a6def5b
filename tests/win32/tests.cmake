# The window program's tests, cross-compiled and run under Wine by scripts/wine-tests.
# GoogleTest is built from the Debian source package with the MinGW toolchain.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(stylewick-window-tests
  ${CMAKE_CURRENT_LIST_DIR}/test_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/language_switch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_services_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/restore_test.cpp
  ${CMAKE_SOURCE_DIR}/ui/resources/stylewick.rc)
target_link_libraries(stylewick-window-tests PRIVATE stylewick_win32 gtest)
target_compile_definitions(stylewick-window-tests PRIVATE
  STYLEWICK_WEBSITE="${STYLEWICK_WEBSITE}"
  STYLEWICK_CORPUS_DIR="${STYLEWICK_CORPUS_DIR}")
add_dependencies(stylewick-window-tests stylewick stylewick-cli)
