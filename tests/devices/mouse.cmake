# The mouse page and its helpers (DPI scale, button map, settings block, recoil image).
if(NOT VX_WITH_QT OR NOT TARGET vx_devices)
    return()
endif()

vx_add_test(NAME mouse_records LABELS devices
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mouse/MouseRecordsTest.cpp
    LIBS vx_devices)
