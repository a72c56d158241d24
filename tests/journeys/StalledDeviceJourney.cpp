// A device that stalls or hangs while the program drives it. The window goes on answering the user
// whatever the device does (its exchanges run on the page's device worker), and the lighting
// stream that a stall stopped starts again once the device answers, without a restart of the
// program: when the device answers again on the same cable, and after the cable was unplugged and
// plugged again.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include "support/JourneyFixture.h"

namespace journeys {
namespace {

class StalledDeviceJourney : public JourneyTest {
protected:
    // The window answers the user within this, whatever a device does. The figure of the
    // benchmark (WindowAnswerTime) is 50 ms; the loop's own gaps on a loaded test machine reach
    // that now and then, while every wait on a device lasts 500 ms or more (a cable's time-out is
    // 1 s, the receiver's 5 s), so the check sits between the two (the sanitizer build runs
    // several times slower).
    static constexpr qint64 kAnswerMs = 200 * kSlowdown;

    // The longest time the window's event loop did not turn while `ms` passed, measured as the
    // largest gap between two ticks of a 5 ms timer.
    qint64 LongestStallDuring(int ms) {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        tick.start();
        Run(ms);
        return std::max(longest, clock.elapsed() - last);
    }

    // Stream frames the keyboard took while `ms` passed.
    size_t FramesDuring(Device device, int ms) {
        const size_t before = Devices().StreamFrameCount(device);
        Run(ms);
        return Devices().StreamFrameCount(device) - before;
    }

    // The lighting reaches the keyboard frame after frame (20 a second when all goes well).
    bool Streaming(Device device) { return FramesDuring(device, 500) >= 5; }

    // The audio effect: the program computes every frame and streams it to the keyboard.
    void StreamAudioLighting(Device device) {
        PlugAndWait(device);
        ShowDevicePage(device);
        if (!Shown("light_combo_modeSelect")) { ASSERT_TRUE(Click("deng_Op_tab")); }
        ASSERT_TRUE(WaitUntil([this] { return Shown("light_combo_modeSelect"); }, 1000));
        ASSERT_TRUE(ChooseRow("light_combo_modeSelect", 21));
        ASSERT_TRUE(WaitUntil([&] { return Streaming(device); }, kDeviceWaitMs)) << "no stream to begin with";
    }

    // Hangs the device until its stream has stopped (two slow frames); the window answers all along.
    void StallUntilTheStreamStops(Device device) {
        ASSERT_EQ(Devices().SetUnresponsive(device, true), 1);
        EXPECT_LT(LongestStallDuring(5000), kAnswerMs) << "the window waited for the stalled device";
        // Stopped: at most a probe now and then reaches the device.
        EXPECT_LE(FramesDuring(device, 2000), 1u) << "the stream goes on into a stalled device";
    }
};

TEST_F(StalledDeviceJourney, LightingComesBackWhenTheKeyboardAnswersAgainOnTheCable) {
    ASSERT_NO_FATAL_FAILURE(StreamAudioLighting(Device::KeyboardWired));
    ASSERT_NO_FATAL_FAILURE(StallUntilTheStreamStops(Device::KeyboardWired));

    // The keyboard answers again on the same cable: the stream starts again by itself.
    ASSERT_EQ(Devices().SetUnresponsive(Device::KeyboardWired, false), 1);
    EXPECT_TRUE(WaitUntil([&] { return Streaming(Device::KeyboardWired); }, 8000 * kSlowdown))
        << "the lighting stays off after the keyboard answers again";

    // Stalled again, then unplugged and plugged again: the lighting is back once connected.
    ASSERT_NO_FATAL_FAILURE(StallUntilTheStreamStops(Device::KeyboardWired));
    ASSERT_EQ(Devices().Unplug(Device::KeyboardWired), 1);
    ASSERT_TRUE(WaitUntil([this] { return !Shown("light_combo_modeSelect"); }, kDeviceWaitMs));
    ASSERT_EQ(Devices().SetUnresponsive(Device::KeyboardWired, false), 1);
    PlugAndWait(Device::KeyboardWired);
    EXPECT_TRUE(WaitUntil([&] { return Streaming(Device::KeyboardWired); }, 1500 * kSlowdown))
        << "the lighting stays off after the cable was plugged again";
    Screenshot("stalled_keyboard_streams_again.png");
}

TEST_F(StalledDeviceJourney, TheWindowAnswersWhileTheReceiverHangs) {
    PlugAndWait(Device::KeyboardReceiver);
    ShowDevicePage(Device::KeyboardReceiver);

    // The receiver takes every report and answers none: each presence query and power reading
    // waits for the whole wireless time-out (5 s), again and again.
    ASSERT_EQ(Devices().SetUnresponsive(Device::KeyboardReceiver, true), 1);
    QElapsedTimer hung;
    hung.start();
    // Clicks are handled at once while the page is still shown.
    for (const char* tab : {"deng_Op_tab", "system_Op_tab", "deng_Op_tab"}) {
        QElapsedTimer click;
        click.start();
        ASSERT_TRUE(Click(tab));
        EXPECT_LT(click.elapsed(), kAnswerMs) << tab;
        EXPECT_LT(LongestStallDuring(300), kAnswerMs);
    }
    // The keyboard asks for its settings to be reread (a change made on the device): the reads
    // wait too, and the window does not.
    ASSERT_EQ(Devices().Notify(Device::KeyboardReceiver, 0x401), 1);
    // Over several rounds of the wireless watch the window never stops turning.
    qint64 longest = 0;
    while (hung.elapsed() < 14000) longest = std::max(longest, LongestStallDuring(1000));
    EXPECT_LT(longest, kAnswerMs) << "the window waited for the hung receiver";
    // The page was given up on: the receiver's device does not answer.
    EXPECT_TRUE(Shown("No_device_Link"));
    Screenshot("hung_receiver_window_answers.png");

    // The receiver answers again: the keyboard comes back.
    ASSERT_EQ(Devices().SetUnresponsive(Device::KeyboardReceiver, false), 1);
    EXPECT_TRUE(WaitUntil([this] { return !Shown("No_device_Link"); }, 12000 * kSlowdown))
        << "the keyboard did not come back after the receiver answered again";
}

}  // namespace
}  // namespace journeys
