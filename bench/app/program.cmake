# The running program: from a plugged device to its entry, and the program's idle cost with
# devices connected.
if(NOT VX_WITH_QT OR NOT TARGET vx_emulator)
    return()
endif()
vx_add_bench(bench_program SOURCES bench_program.cpp ${CMAKE_SOURCE_DIR}/tests/journeys/support/JourneyDevices.cpp
    ${CMAKE_SOURCE_DIR}/tests/link/support/VirtualNodePlayer.cpp
    LIBS vx_app vx_emulator)
add_dependencies(bench_program VexorUmbrelControlCenter vx-emulator)
