# The layers of docs/architecture.md: every include in src/, emulator/ and tools/ keeps to them.
add_test(NAME app_layers
    COMMAND ${CMAKE_COMMAND} -DTOP=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake)
set_tests_properties(app_layers PROPERTIES LABELS app)
