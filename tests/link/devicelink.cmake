# Command channel, command set and device records.
vx_add_test(NAME CommandFrame_test LABELS link
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/CommandFrame_test.cpp LIBS vx_link)
vx_add_test(NAME Records_test LABELS link
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/RecordsBlocks_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/RecordsTables_test.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/RecordsRoundTrip_test.cpp
    LIBS vx_link)

# The exchanges run against scripted virtual nodes from the transport's test support.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/support/VirtualNodePlayer.h)
    vx_add_test(NAME DeviceLink_test LABELS link threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLink_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLinkFixture.cpp
        LIBS vx_link vx_link_test_support)
    vx_add_test(NAME CommandSet_test LABELS link
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/CommandSet_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLinkFixture.cpp
        LIBS vx_link vx_link_test_support)
    vx_add_test(NAME DeviceLinkThreads_test LABELS link threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLinkThreads_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLinkFixture.cpp
        LIBS vx_link vx_link_test_support ENV VX_DEBUG=1)
endif()

# End-to-end command sequences against the emulated firmware.
if(TARGET vx_emulator)
    vx_add_test(NAME DeviceLinkEmulator_test LABELS link threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLinkEmulator_test.cpp
        LIBS vx_link vx_emulator vx_link_test_support)
endif()

# The listing tool's logic against the emulated devices.
if(TARGET vx_emulator AND TARGET vx_list_devices)
    vx_add_test(NAME DeviceLinkListing_test LABELS link threaded
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DeviceLinkListing_test.cpp
        LIBS vx_list_devices vx_emulator vx_link_test_support)
    target_include_directories(DeviceLinkListing_test PRIVATE ${CMAKE_SOURCE_DIR}/tools/list-devices)
    # One case runs the tool itself, with and without VX_DEBUG.
    add_dependencies(DeviceLinkListing_test vx-list-devices)
endif()
