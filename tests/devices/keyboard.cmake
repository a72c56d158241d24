# The keyboard page against the virtual keyboard.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
vx_add_test(NAME devices_keyboard LABELS devices threaded
    SOURCES KeyboardDeviceTest.cpp
        ${CMAKE_SOURCE_DIR}/tests/widgets/support/QtTestEnv.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/support/VirtualRig.cpp
    LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
vx_add_test(NAME devices_page_screenshots LABELS devices threaded
    SOURCES KeyboardScreenshotTest.cpp
        ${CMAKE_SOURCE_DIR}/tests/widgets/support/QtTestEnv.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/support/VirtualRig.cpp
    LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
vx_add_test(NAME devices_keyboard_picture LABELS devices
    SOURCES KeyboardPictureTest.cpp ${CMAKE_SOURCE_DIR}/tests/widgets/support/QtTestEnv.cpp
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
