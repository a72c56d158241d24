# The main window with its device selector and power indicator: the selector and indicator on
# their own, and the real window against the virtual devices (discovery thread, page binding).
if(NOT VX_WITH_QT OR NOT TARGET vx_emulator)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
set(VX_MAINWND_TEST_DIR ${CMAKE_CURRENT_LIST_DIR}/mainwnd)
vx_add_test(NAME app_selector LABELS app
    SOURCES ${VX_MAINWND_TEST_DIR}/SelectorTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME app_mainwnd_shell LABELS app threaded
    SOURCES ${VX_MAINWND_TEST_DIR}/MainWndShellTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_link_test_support Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/mainwnd_shell_config)
# The permission notice names the build tree's generated rules file.
add_dependencies(app_mainwnd_shell vx_udev_rules)
vx_add_test(NAME app_mainwnd_devices LABELS app threaded
    SOURCES ${VX_MAINWND_TEST_DIR}/MainWndDevicesTest.cpp ${VX_MAINWND_TEST_DIR}/DeviceWindowFixture.cpp
            ${CMAKE_SOURCE_DIR}/tests/journeys/support/JourneyDevices.cpp
            $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_emulator vx_link_test_support Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/mainwnd_devices_config TIMEOUT 240)
vx_add_test(NAME app_program_virtual_devices LABELS app
    SOURCES ${VX_MAINWND_TEST_DIR}/ProgramVirtualDevicesTest.cpp LIBS Qt6::Core TIMEOUT 90)
add_dependencies(app_program_virtual_devices VexorUmbrelControlCenter vx-emulator-ctl)
vx_add_test(NAME app_page_wiring LABELS app threaded
    SOURCES ${VX_MAINWND_TEST_DIR}/PageWiringTest.cpp ${VX_MAINWND_TEST_DIR}/DeviceWindowFixture.cpp
            ${CMAKE_SOURCE_DIR}/tests/journeys/support/JourneyDevices.cpp
            $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_emulator vx_link_test_support Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/page_wiring_config TIMEOUT 240)
