# Adds every direct subfolder of DIR that has a CMakeLists.txt (tests/link, bench/profiles, ...).
function(vx_add_subfolders dir)
    file(GLOB children LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/${dir}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# vx_add_test(NAME name LABELS link [threaded] SOURCES a.cpp ... LIBS lib ... [TIMEOUT s] [ENV K=V ...])
# One GoogleTest executable registered as one CTest test. Every test carries the label of its
# subsystem; tests of threaded code also carry "threaded" so that the sanitizer build runs them.
function(vx_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "LABELS;SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
    target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_include_directories(${T_NAME} PRIVATE ${VX_GENERATED_DIR})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
    if(T_ENV)
        set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${T_ENV}")
    endif()
endfunction()

# vx_add_library(name SOURCES ... LIBS ...): a static library whose headers are included as
# "link/HidLink.h" from src/ (or "emulator/..." from the top).
function(vx_add_library name)
    cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_LIBS})
    target_include_directories(${name} PRIVATE ${VX_GENERATED_DIR})
endfunction()

# vx_add_bench(name SOURCES ... LIBS ...): a Google Benchmark executable (not a CTest test).
function(vx_add_bench name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_include_directories(${name} PRIVATE ${VX_GENERATED_DIR})
endfunction()

# vx_allow_threads_after_fork(test ...): tests that start programs of their own (a sound server,
# the capture companion) while threads run. Under the thread sanitizer the process is then taken
# for a child of a multi-threaded fork and may start no thread; each child here execs at once.
function(vx_allow_threads_after_fork)
    foreach(test IN LISTS ARGN)
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT_MODIFICATION
            "TSAN_OPTIONS=string_append: die_after_fork=0")
    endforeach()
endfunction()
