# The window program's tests, cross-compiled and run under Wine by scripts/wine-tests.
# GoogleTest is built from the Debian source package with the MinGW toolchain.
set(googletest_source /usr/src/googletest)
if(NOT EXISTS ${googletest_source}/CMakeLists.txt)
  message(FATAL_ERROR "The Windows tests need the GoogleTest sources in ${googletest_source}: "
                      "install the Debian package googletest (scripts/setup does)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${googletest_source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB window_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/support/scratch_folder.cpp
     ${CMAKE_SOURCE_DIR}/tests/support/corpus_pages.cpp
     ${CMAKE_SOURCE_DIR}/bench/page_generator.cpp)
add_executable(stylewick-window-tests ${window_test_sources}
  ${CMAKE_SOURCE_DIR}/ui/resources/stylewick.rc)
target_link_libraries(stylewick-window-tests PRIVATE stylewick_win32 gtest version)
target_compile_definitions(stylewick-window-tests PRIVATE
  STYLEWICK_CORPUS_DIR="${STYLEWICK_CORPUS_DIR}"
  STYLEWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(stylewick-window-tests stylewick stylewick-cli)
