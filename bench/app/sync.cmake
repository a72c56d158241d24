# Same-mode lighting: the worker needs no Qt, so it is built from its own sources.
vx_add_bench(bench_sync SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_sync.cpp
    ${CMAKE_SOURCE_DIR}/src/app/LightingSync.cpp ${CMAKE_SOURCE_DIR}/src/app/LightingSyncTables.cpp
    LIBS vx_lighting vx_platform)
