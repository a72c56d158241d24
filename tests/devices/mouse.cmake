# The mouse page and its helpers (DPI scale, button map, settings block, recoil image); the
# helpers are part of the protocol library and build without Qt.
vx_add_test(NAME mouse_records LABELS devices
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mouse/MouseRecordsTest.cpp
    LIBS vx_device_protocol)

if(NOT VX_WITH_QT OR NOT TARGET vx_devices)
    return()
endif()

find_package(Qt6 REQUIRED COMPONENTS Test)
set(VX_MOUSE_QT_SUPPORT $<TARGET_OBJECTS:vx_qt_test_env>)
if(TARGET vx_emulator AND TARGET vx_app)
    vx_add_test(NAME mouse_page LABELS devices threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mouse/MousePageTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/mouse/EmulatedMouse.cpp ${VX_MOUSE_QT_SUPPORT}
        LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
endif()
if(TARGET vx_emulator AND TARGET vx_app)
    vx_add_test(NAME mouse_events LABELS devices threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mouse/MouseEventsTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/mouse/EmulatedMouse.cpp ${VX_MOUSE_QT_SUPPORT}
        LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
    vx_add_test(NAME mouse_screenshot LABELS devices threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mouse/MouseScreenshotTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/mouse/EmulatedMouse.cpp ${VX_MOUSE_QT_SUPPORT}
        LIBS vx_devices vx_app vx_emulator Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
endif()
