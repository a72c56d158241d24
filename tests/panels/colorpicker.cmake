# The colour picker window: its edits, swatches, option file and modal results.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)

vx_add_test(NAME panels_color_picker LABELS panels
    SOURCES ColorPickerTest.cpp $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_panels Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 60)
