# The colour picker window: its edits, swatches, option file and modal results.
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)

vx_add_test(NAME panels_color_picker LABELS panels
    SOURCES ColorPickerTest.cpp ${CMAKE_SOURCE_DIR}/tests/widgets/support/QtTestEnv.cpp
    LIBS vx_panels Qt6::Test ENV QT_QPA_PLATFORM=offscreen TIMEOUT 60)
