# The profile panel: against a recording page, and against the keyboard page on the virtual
# keyboard (that one runs the page's lighting thread and its notification reader).
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
vx_add_test(NAME panels_profile LABELS panels
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfilePanelTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_panels vx_devices Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen)
target_include_directories(panels_profile PRIVATE ${CMAKE_SOURCE_DIR}/tests/widgets)
vx_add_test(NAME panels_profile_keyboard LABELS panels threaded
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfilePanelKeyboardTest.cpp ${CMAKE_SOURCE_DIR}/tests/journeys/support/JourneyDevices.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_panels vx_devices vx_app vx_emulator Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen)
target_include_directories(panels_profile_keyboard PRIVATE ${CMAKE_SOURCE_DIR}/tests/widgets)
