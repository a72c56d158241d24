# The key-assignment and macro panels on a keyboard page connected to a virtual keyboard, driven
# through the main window's routing.
if(NOT VX_WITH_QT OR NOT TARGET vx_emulator)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)

vx_add_test(NAME panels_keys_macros LABELS panels threaded
    SOURCES KeyMacroDeviceTest.cpp $<TARGET_OBJECTS:vx_virtual_rig>
            $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_devices vx_panels vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
