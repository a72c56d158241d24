# Audio-reactive lighting: the window's frame feed on its own, and the capture companion.
set(VX_AUDIO_TEST_DIR ${CMAKE_CURRENT_LIST_DIR}/audio)
vx_add_test(NAME app_audio_feed LABELS app
    SOURCES ${VX_AUDIO_TEST_DIR}/AudioFrameFeedTest.cpp LIBS vx_audio_feed)
vx_add_test(NAME app_companion_frames LABELS app
    SOURCES ${VX_AUDIO_TEST_DIR}/FrequencyFramesTest.cpp LIBS vx_companion_frames)
if(NOT VX_WITH_QT)
    return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET GLOBAL libpulse-simple)
# Against a private PulseAudio server the test starts itself; the companion must be built.
vx_add_test(NAME app_audio_companion LABELS app threaded
    SOURCES ${VX_AUDIO_TEST_DIR}/AudioCompanionTest.cpp ${VX_AUDIO_TEST_DIR}/PulseFixture.cpp
            $<TARGET_OBJECTS:vx_qt_test_env>
    LIBS vx_app vx_companion_frames Qt6::Test PkgConfig::PULSE_SIMPLE
    ENV QT_QPA_PLATFORM=offscreen TIMEOUT 90)
add_dependencies(app_audio_companion VexorUmbrelControlCenterAudioRecord)
