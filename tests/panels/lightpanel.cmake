# The lighting panel: its layout, mode lists and mode layouts, and the handlers that hand the light
# records to a device page.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)

vx_add_test(NAME panels_light_layout LABELS panels
    SOURCES LightPanelLayoutTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_panels vx_devices Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME panels_light_handlers LABELS panels
    SOURCES LightPanelHandlerTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_panels vx_devices Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME panels_light_screenshots LABELS panels
    SOURCES LightPanelScreenshotTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_panels vx_devices Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME panels_light_device LABELS panels threaded
    SOURCES LightPanelDeviceTest.cpp LightPanelRig.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_panels vx_devices vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 60)
