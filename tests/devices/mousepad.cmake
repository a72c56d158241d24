# The mousepad page against the virtual mousepad.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
vx_add_test(NAME devices_mousepad LABELS devices threaded
    SOURCES MousePadDeviceTest.cpp
        $<TARGET_OBJECTS:vx_qt_test_env>
        $<TARGET_OBJECTS:vx_virtual_rig>
    LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
