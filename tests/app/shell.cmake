if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
set(VX_QT_TEST_SUPPORT $<TARGET_OBJECTS:vx_qt_test_env>)

vx_add_test(NAME app_screenshots LABELS app threaded
    SOURCES ScreenshotTest.cpp ${CMAKE_SOURCE_DIR}/tests/journeys/support/JourneyDevices.cpp ${VX_QT_TEST_SUPPORT}
    LIBS vx_app vx_emulator vx_link_test_support Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 120)
vx_add_test(NAME app_startup LABELS app SOURCES StartUpTest.cpp ${VX_QT_TEST_SUPPORT}
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME app_msgbox LABELS app threaded SOURCES MsgBoxTest.cpp DataFileNoticeTest.cpp ${VX_QT_TEST_SUPPORT}
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
vx_add_test(NAME app_single_instance LABELS app SOURCES SingleInstanceTest.cpp
    LIBS vx_app TIMEOUT 90)
add_dependencies(app_single_instance VexorUmbrelControlCenter)
vx_add_test(NAME app_main_window LABELS app SOURCES MainWndTest.cpp ${VX_QT_TEST_SUPPORT}
    LIBS vx_app Qt6::Test ENV QT_QPA_PLATFORM=offscreen)
