# HidLink, the report-descriptor parser and the virtual-node player that other link tests reuse.
if(TARGET vx_link)
    add_library(vx_link_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/support/VirtualNodePlayer.cpp)
    target_include_directories(vx_link_test_support PUBLIC
        ${CMAKE_CURRENT_LIST_DIR}/support ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_link_libraries(vx_link_test_support PUBLIC PkgConfig::JSONCPP Threads::Threads)

    vx_add_test(NAME HidLinkPath_test LABELS link
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/HidLinkPath_test.cpp LIBS vx_link)
    vx_add_test(NAME ReportDescriptor_test LABELS link
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/ReportDescriptor_test.cpp LIBS vx_link)
    vx_add_test(NAME ReportDescriptorReal_test LABELS link
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/ReportDescriptorReal_test.cpp LIBS vx_link)
    vx_add_test(NAME HidLinkVirtual_test LABELS link threaded
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/HidLinkVirtual_test.cpp LIBS vx_link vx_link_test_support)
    vx_add_test(NAME HidLinkHidraw_test LABELS link threaded
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/HidLinkHidraw_test.cpp LIBS vx_link vx_link_test_support)
endif()

if(TARGET vx_link)
    vx_add_test(NAME HidLinkSupported_test LABELS link
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/HidLinkSupported_test.cpp LIBS vx_link)
endif()
if(TARGET vx-hid-descriptor)
    vx_add_test(NAME ReportDescriptorTool_test LABELS link
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/ReportDescriptorTool_test.cpp LIBS vx_link_test_support)
    target_compile_definitions(ReportDescriptorTool_test PRIVATE
        VX_HID_DESCRIPTOR_TOOL="$<TARGET_FILE:vx-hid-descriptor>")
    add_dependencies(ReportDescriptorTool_test vx-hid-descriptor)
endif()
