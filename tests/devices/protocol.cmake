# The protocol side of each device kind, without Qt: against the virtual devices in-process, and
# against a scripted device for replies no firmware would give.
if(NOT TARGET vx_emulator)
    return()
endif()
vx_add_test(NAME devices_protocol LABELS devices threaded
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/protocol/ProtocolEmulatorTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/protocol/ProtocolRepliesTest.cpp
        ${CMAKE_SOURCE_DIR}/tests/link/DeviceLinkFixture.cpp
    LIBS vx_device_protocol vx_emulator vx_link_test_support)
target_include_directories(devices_protocol PRIVATE ${CMAKE_SOURCE_DIR}/tests/link)
