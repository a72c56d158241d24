# The profile panel against a device page.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
vx_add_test(NAME panels_profile LABELS panels
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfilePanelTest.cpp ${CMAKE_SOURCE_DIR}/tests/widgets/support/QtTestEnv.cpp
    LIBS vx_panels vx_devices Qt6::Test
    ENV QT_QPA_PLATFORM=offscreen)
target_include_directories(panels_profile PRIVATE ${CMAKE_SOURCE_DIR}/tests/widgets)
