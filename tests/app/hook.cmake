# The input hook on a private X server with injected input (skipped without Xvfb): with the
# program off screen, and on the X server as on an X11 desktop.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
pkg_check_modules(VX_XTST REQUIRED IMPORTED_TARGET GLOBAL xtst x11)
add_executable(app_input_hook_x11 ${CMAKE_CURRENT_LIST_DIR}/hook/InputHookX11Test.cpp)
target_link_libraries(app_input_hook_x11 PRIVATE vx_app PkgConfig::VX_XTST Qt6::Test GTest::gtest Threads::Threads)
target_include_directories(app_input_hook_x11 PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${VX_GENERATED_DIR})
add_test(NAME app_input_hook_x11 COMMAND app_input_hook_x11)
set_tests_properties(app_input_hook_x11 PROPERTIES LABELS "app" TIMEOUT 60)
add_test(NAME app_input_hook_xcb COMMAND app_input_hook_x11)
set_tests_properties(app_input_hook_xcb PROPERTIES LABELS "app" TIMEOUT 60 ENVIRONMENT "VX_TEST_QPA=xcb")

# Where no desktop-wide source exists: the program's own window.
add_executable(app_input_hook_window ${CMAKE_CURRENT_LIST_DIR}/hook/InputHookWindowTest.cpp)
target_link_libraries(app_input_hook_window PRIVATE vx_app Qt6::Test GTest::gtest Threads::Threads)
target_include_directories(app_input_hook_window PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${VX_GENERATED_DIR})
add_test(NAME app_input_hook_window COMMAND app_input_hook_window)
set_tests_properties(app_input_hook_window PROPERTIES LABELS "app" TIMEOUT 60)
