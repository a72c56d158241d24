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

# Calls COMMAND with TARGET at the end of the top folder's configuration, when every target exists.
# (A deferred call reads its arguments' variables only when it runs, hence EVAL.)
function(vx_defer command target)
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL ${command} [[${target}]])")
endfunction()

# What TARGET takes from the libraries it links, directly or through others (asked once every
# target is defined): `qt` whether Qt's widgets, `defines` whether one of them adds definitions of
# its own on the command line (libpulse's -D_REENTRANT), which a shared header cannot match.
function(vx_link_traits target qt defines)
    set(pending ${target})
    set(seen "")
    set(found_qt FALSE)
    set(found_defines FALSE)
    while(pending)
        list(POP_FRONT pending item)
        if(item IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${item})
        if(item STREQUAL "Qt6::Widgets")
            set(found_qt TRUE)
        endif()
        if(NOT TARGET ${item})
            # An imported target found in another folder is not visible here: its options are
            # unknown, so it may add definitions. (Targets named only under a condition are not.)
            if(item MATCHES "::" AND NOT item MATCHES "^\\$<")
                set(found_defines TRUE)
            endif()
            continue()
        endif()
        get_target_property(type ${item} TYPE)
        set(links "")
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${item} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(interface ${item} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        get_target_property(options ${item} INTERFACE_COMPILE_OPTIONS)
        # GoogleTest's own definition is on the shared header's host too.
        if(options MATCHES "(^|;)-D" AND NOT item MATCHES "^GTest::")
            set(found_defines TRUE)
        endif()
        list(APPEND pending ${links})
    endwhile()
    set(${qt} ${found_qt} PARENT_SCOPE)
    set(${defines} ${found_defines} PARENT_SCOPE)
endfunction()

# The Qt headers nearly every user-interface source includes; parsing them is a good part of such
# a file's compile time.
set(VX_QT_PCH_HEADERS <QObject> <QPointer> <QString> <QStringList> <QHash> <QTimer> <QWidget>
    <QPainter> <QMouseEvent> CACHE INTERNAL "")

# Parsing GoogleTest, GoogleMock and the standard headers costs a test file about a second, in the
# normal and again in the sanitizer build. A precompiled header, built once by a host program with
# a test program's flags, is reused by every test (one host for tests that use Qt, one for the
# rest). A compiler that finds it unusable falls back to reading the headers, so a mismatch costs
# time, never correctness.
function(vx_test_pch_host qt out)
    set(host vx_test_pch_host)
    if(qt)
        set(host vx_qt_test_pch_host)
    endif()
    set(${out} ${host} PARENT_SCOPE)
    if(TARGET ${host})
        return()
    endif()
    add_executable(${host} ${CMAKE_SOURCE_DIR}/cmake/pch/TestPchHost.cpp)
    target_link_libraries(${host} PRIVATE GTest::gtest GTest::gmock Threads::Threads)
    vx_compile_as_test_code(${host})
    set_target_properties(${host} PROPERTIES AUTOMOC OFF)
    # Qt's programs are built position-independent (-fPIC after the executable's -fPIE); the
    # header only fits programs built the same way, so every test is.
    target_compile_options(${host} PRIVATE -fPIC)
    set(headers <gtest/gtest.h> <gmock/gmock.h>
        <algorithm> <atomic> <chrono> <cstdint> <cstdio> <cstdlib> <cstring> <filesystem> <fstream>
        <functional> <map> <memory> <mutex> <optional> <set> <sstream> <string> <thread> <vector>)
    if(qt)
        target_link_libraries(${host} PRIVATE Qt6::Core Qt6::Gui Qt6::Widgets)
        list(APPEND headers ${VX_QT_PCH_HEADERS})
    endif()
    target_precompile_headers(${host} PRIVATE ${headers})
endfunction()

# A library of the user interface parses the common Qt headers once, not in every source.
function(vx_use_library_pch target)
    if(CMAKE_DISABLE_PRECOMPILE_HEADERS)
        return()
    endif()
    vx_link_traits(${target} qt defines)
    if(qt)
        target_precompile_headers(${target} PRIVATE ${VX_QT_PCH_HEADERS})
    endif()
endfunction()

# Test programs reuse a host's header; CMAKE_DISABLE_PRECOMPILE_HEADERS turns all of them off.
function(vx_use_test_pch target)
    if(CMAKE_DISABLE_PRECOMPILE_HEADERS)
        return()
    endif()
    vx_link_traits(${target} qt defines)
    if(defines)
        return()
    endif()
    vx_test_pch_host(${qt} host)
    target_precompile_headers(${target} REUSE_FROM ${host})
    target_compile_options(${target} PRIVATE -fPIC)
endfunction()

# Test code is compiled without optimisation: GoogleTest's macros make large functions whose
# optimisation costs a test file about 40 % of its compile time, and tests wait on devices and
# timers, not on their own code. The code under test keeps the build's optimisation.
function(vx_compile_as_test_code target)
    target_compile_options(${target} PRIVATE -O0)
endfunction()

# Moc runs only for test programs that declare Qt objects of their own (a source, or the header
# beside it, with Q_OBJECT); for the others it would scan and compile an empty file.
function(vx_moc_only_if_needed target)
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
        get_filename_component(path ${source} ABSOLUTE)
        string(REGEX REPLACE "\\.[^.]*$" ".h" header ${path})
        foreach(file IN ITEMS ${path} ${header})
            if(EXISTS ${file})
                file(STRINGS ${file} qt_objects REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE")
                if(qt_objects)
                    return()
                endif()
            endif()
        endforeach()
    endforeach()
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endfunction()

# vx_add_test(NAME name LABELS link [threaded] SOURCES a.cpp ... LIBS lib ... [TIMEOUT s] [ENV K=V ...])
# One GoogleTest executable registered as one CTest test. Every test carries the label of its
# subsystem; tests of threaded code also carry "threaded" so that the sanitizer build runs them.
function(vx_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "LABELS;SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
    vx_defer(vx_use_test_pch ${T_NAME})
    vx_compile_as_test_code(${T_NAME})
    vx_moc_only_if_needed(${T_NAME})
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

# vx_add_test_support(name SOURCES ... LIBS ...): test helpers many test programs share, compiled
# once; a test takes them as $<TARGET_OBJECTS:name> among its sources (object files, so that
# helpers registering themselves with GoogleTest are always linked) and links LIBS itself.
function(vx_add_test_support name)
    cmake_parse_arguments(S "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} OBJECT ${S_SOURCES})
    target_link_libraries(${name} PRIVATE ${S_LIBS} GTest::gtest)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${VX_GENERATED_DIR})
    vx_compile_as_test_code(${name})
    vx_moc_only_if_needed(${name})
endfunction()

# vx_add_library(name SOURCES ... LIBS ...): a static library whose headers are included as
# "link/HidLink.h" from src/ (or "emulator/..." from the top).
function(vx_add_library name)
    cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    if(VX_UNITY_BUILD)
        # Names in a source's anonymous namespace must then differ across its library.
        set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_LIBS})
    target_include_directories(${name} PRIVATE ${VX_GENERATED_DIR})
    # Decided once every target exists: libraries may link ones defined later.
    vx_defer(vx_use_library_pch ${name})
endfunction()

# vx_add_bench(name SOURCES ... LIBS ...): a Google Benchmark executable (not a CTest test).
function(vx_add_bench name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_include_directories(${name} PRIVATE ${VX_GENERATED_DIR})
endfunction()
