# Control routing of the main window and same-mode lighting.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)

set(VX_ROUTING_QT_SUPPORT $<TARGET_OBJECTS:vx_qt_test_env>)
vx_add_test(NAME app_routing LABELS app SOURCES ControlRouterTest.cpp ${VX_ROUTING_QT_SUPPORT}
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME app_routing_devices LABELS app threaded
    SOURCES RoutingDeviceTest.cpp ${VX_ROUTING_QT_SUPPORT}
        $<TARGET_OBJECTS:vx_virtual_rig>
    LIBS vx_app vx_devices vx_panels vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
vx_add_test(NAME app_routing_window LABELS app threaded
    SOURCES RoutingMainWndTest.cpp ${VX_ROUTING_QT_SUPPORT}
        $<TARGET_OBJECTS:vx_virtual_rig>
    LIBS vx_app vx_devices vx_panels vx_emulator Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/routing_window_config TIMEOUT 120)
vx_add_test(NAME app_routing_shoot LABELS app panels threaded
    SOURCES RoutingShootTest.cpp ${VX_ROUTING_QT_SUPPORT}
        $<TARGET_OBJECTS:vx_virtual_rig>
    LIBS vx_app vx_devices vx_panels vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
