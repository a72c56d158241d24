# Same-mode lighting: the worker needs no Qt, so it is built from its own sources.
vx_add_bench(bench_sync SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_sync.cpp LIBS vx_lighting)
