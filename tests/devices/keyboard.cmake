# The keyboard page against the virtual keyboard.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
vx_add_test(NAME devices_keyboard LABELS devices threaded
    SOURCES KeyboardDeviceTest.cpp
        $<TARGET_OBJECTS:vx_qt_test_env>
        $<TARGET_OBJECTS:vx_virtual_rig>
    LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
vx_add_test(NAME devices_page_screenshots LABELS devices threaded
    SOURCES KeyboardScreenshotTest.cpp
        $<TARGET_OBJECTS:vx_qt_test_env>
        $<TARGET_OBJECTS:vx_virtual_rig>
    LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
vx_add_test(NAME devices_keyboard_picture LABELS devices
    SOURCES KeyboardPictureTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
