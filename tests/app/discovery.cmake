# Discovery core (no Qt): the tables and identity rules, and the discovery thread against virtual
# devices; the emulator's run-time control.
if(TARGET vx_discovery AND TARGET vx_emulator)
    set(VX_DISCOVERY_TEST_DIR ${CMAKE_CURRENT_LIST_DIR}/discovery)
    vx_add_test(NAME app_discovery_tables LABELS app
        SOURCES ${VX_DISCOVERY_TEST_DIR}/DiscoveryTables_test.cpp LIBS vx_discovery)
    vx_add_test(NAME app_discovery_watch LABELS app
        SOURCES ${VX_DISCOVERY_TEST_DIR}/NodeWatch_test.cpp LIBS vx_discovery vx_link_test_support)
    vx_add_test(NAME app_discovery_thread LABELS app threaded
        SOURCES ${VX_DISCOVERY_TEST_DIR}/DeviceDiscovery_test.cpp ${VX_DISCOVERY_TEST_DIR}/RecordingSink.cpp
        LIBS vx_discovery vx_emulator vx_link_test_support TIMEOUT 180)
    vx_add_test(NAME app_discovery_catalogue LABELS app threaded
        SOURCES ${VX_DISCOVERY_TEST_DIR}/CatalogueEntry_test.cpp ${VX_DISCOVERY_TEST_DIR}/RecordingSink.cpp
        LIBS vx_discovery vx_emulator vx_link_test_support TIMEOUT 60)
endif()
if(TARGET vx_discovery AND TARGET vx_emulator AND TARGET vx-emulator-ctl)
    vx_add_test(NAME app_emulator_control LABELS emulator app threaded
        SOURCES ${VX_DISCOVERY_TEST_DIR}/EmulatorControl_test.cpp ${VX_DISCOVERY_TEST_DIR}/RecordingSink.cpp
        LIBS vx_discovery vx_emulator vx_link_test_support TIMEOUT 180)
    add_dependencies(app_emulator_control vx-emulator-ctl vx-emulator)
endif()
