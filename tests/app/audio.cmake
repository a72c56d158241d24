# Audio-reactive lighting: the window's frame feed on its own, and the capture companion.
set(VX_AUDIO_TEST_DIR ${CMAKE_CURRENT_LIST_DIR}/audio)
vx_add_test(NAME app_audio_feed LABELS app
    SOURCES ${VX_AUDIO_TEST_DIR}/AudioFrameFeedTest.cpp LIBS vx_audio_feed)
