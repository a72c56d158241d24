# The whole program on the keyboard page with an animated effect, window shown and hidden.
if(NOT VX_WITH_QT OR NOT TARGET vx_emulator)
    return()
endif()
vx_add_bench(bench_lighting_program SOURCES bench_lighting_program.cpp
    ${CMAKE_SOURCE_DIR}/tests/journeys/support/JourneyDevices.cpp
    ${CMAKE_SOURCE_DIR}/tests/link/support/VirtualNodePlayer.cpp
    LIBS vx_app vx_emulator)
