# From a virtual device plugged to its slot arriving at the discovery sink.
if(TARGET vx_discovery AND TARGET vx_emulator)
    vx_add_bench(vx_bench_discovery SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_discovery.cpp
        LIBS vx_discovery vx_emulator)
endif()
