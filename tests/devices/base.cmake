# The device page base and the pieces the device pages share.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
set(VX_DEVICE_TEST_SUPPORT
    $<TARGET_OBJECTS:vx_qt_test_env>
    $<TARGET_OBJECTS:vx_virtual_rig>)
vx_add_test(NAME devices_base LABELS devices threaded
    SOURCES BaseDeviceTest.cpp ${VX_DEVICE_TEST_SUPPORT}
    LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
# The reader of a keyboard's own keyboard collection (key reactions on the picture).
vx_add_test(NAME devices_key_input_reader LABELS devices threaded
    SOURCES KeyInputReaderTest.cpp LIBS vx_devices vx_emulator vx_link_test_support TIMEOUT 60)
target_include_directories(devices_key_input_reader PRIVATE ${CMAKE_SOURCE_DIR}/tests/link/support)
