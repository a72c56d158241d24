#include <gtest/gtest.h>

#include <array>

#include "TestEngines.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/LightingClock.h"
#include "devices/lighting/StreamBuffer.h"
#include "devices/lighting/StreamFailureRule.h"

using namespace vx::lighting;

TEST(LedFrame, SetCountClearsAndIgnoresOutOfRange) {
    LedFrame frame;
    frame.SetCount(4);
    frame.Set(3, {1, 2, 3, 4});
    frame.Set(4, {9, 9, 9, 9});
    frame.Set(-1, {9, 9, 9, 9});
    EXPECT_EQ(frame.Get(3), (LedEntry{1, 2, 3, 4}));
    EXPECT_EQ(frame.Get(4), LedEntry{});
    EXPECT_EQ(frame.Get(-5), LedEntry{});
    frame.SetCount(4);
    EXPECT_EQ(frame.Get(3), LedEntry{});
    frame.SetCount(1000);
    EXPECT_EQ(frame.Count(), LedFrame::kCapacity);
}

TEST(StreamBuffer, ScalesByBrightnessAndNeverSendsLed170) {
    LedFrame frame;
    frame.SetCount(171);
    frame.Set(0, {255, 128, 10, 128});
    frame.Set(169, {200, 200, 200, 255});
    frame.Set(170, {255, 255, 255, 255});
    StreamBuffer buffer;
    buffer.Build(frame);
    EXPECT_EQ(buffer.Data()[0], 127);
    EXPECT_EQ(buffer.Data()[1], 64);
    EXPECT_EQ(buffer.Data()[2], 5);
    EXPECT_EQ(buffer.Data()[507], 199);
    for (size_t i = 510; i < StreamBuffer::kSize; ++i) EXPECT_EQ(buffer.Data()[i], 0) << i;
    EXPECT_EQ(StreamBuffer::Length(170), 510u);
    EXPECT_EQ(StreamBuffer::Length(400), StreamBuffer::kSize);
    EXPECT_EQ(StreamBuffer::Length(-3), 0u);
}

TEST(StreamBuffer, KeyboardStreamsThroughItsKeyLedMap) {
    LedFrame frame;
    frame.SetCount(170);
    std::array<uint8_t, 170> map;
    map.fill(255);
    map[5] = 9;     // key 5 sits at device LED 9
    map[13] = 255;  // key 13 is missing from the device
    map[20] = 200;  // a garbled map entry past the buffer
    frame.Set(5, {100, 0, 0, 255});
    frame.Set(13, {0, 100, 0, 255});
    frame.Set(20, {0, 0, 100, 255});
    StreamBuffer buffer;
    buffer.Build(frame, map.data(), map.size());
    EXPECT_EQ(buffer.Data()[27], 99);
    int nonZero = 0;
    for (size_t i = 0; i < StreamBuffer::kSize; ++i) nonZero += buffer.Data()[i] != 0;
    EXPECT_EQ(nonZero, 1);
}

TEST(StreamFailureRule, SlowSlowStoppedAndFastClears) {
    ManualLightingClock clock(1000);
    StreamFailureRule rule(clock);
    int sends = 0;
    auto slow = [&] {
        ++sends;
        clock.Advance(600);
        return 0;
    };
    auto fast = [&] {
        ++sends;
        clock.Advance(20);
        return 1;
    };
    EXPECT_EQ(rule.Stream(false, slow), 0);
    EXPECT_EQ(rule.SlowFrames(false), 1u);
    EXPECT_EQ(rule.Stream(false, fast), 1);
    EXPECT_EQ(rule.SlowFrames(false), 0u);  // a fast frame in between clears the counter
    rule.Stream(false, slow);
    EXPECT_FALSE(rule.Stopped(false));
    rule.Stream(false, slow);
    EXPECT_TRUE(rule.Stopped(false));
    EXPECT_EQ(rule.SlowFrames(false), 0u);
    // Stopped: nothing is sent and the frame counts as sent.
    EXPECT_EQ(rule.Stream(false, fast), 1);
    EXPECT_EQ(sends, 4);
    // The receiver keeps its own state.
    EXPECT_FALSE(rule.Stopped(true));
    EXPECT_EQ(rule.Stream(true, fast), 1);
    EXPECT_EQ(sends, 5);
    rule.SetStopped(false, false);
    EXPECT_EQ(rule.Stream(false, fast), 1);
    EXPECT_EQ(sends, 6);
    // Exactly 500 ms is not slow.
    rule.Stream(true, [&] {
        clock.Advance(500);
        return 1;
    });
    EXPECT_EQ(rule.SlowFrames(true), 0u);
}

// A cable stream stopped by a stall runs again once the device answers: a probe frame goes out
// every 3 s while stopped; a slow probe keeps the stream stopped, a fast one starts it again. The
// receiver is never probed (its presence query does that).
TEST(StreamFailureRule, StoppedCableStreamIsProbedAndRunsAgainWhenTheDeviceAnswers) {
    ManualLightingClock clock(1000);
    StreamFailureRule rule(clock);
    int sends = 0;
    uint32_t takes = 600;
    auto send = [&] {
        ++sends;
        clock.Advance(takes);
        return takes <= StreamFailureRule::kSlowMs ? 1 : 0;
    };
    // The receiver first: the cable's probe time counts from its own stop.
    for (bool wireless : {true, false}) {
        rule.Stream(wireless, send);
        rule.Stream(wireless, send);
        ASSERT_TRUE(rule.Stopped(wireless));
    }
    ASSERT_EQ(sends, 4);

    // Still hung: frames before the probe time are not sent; the probe is, and is slow.
    clock.Advance(StreamFailureRule::kCableProbeMs - 1);
    EXPECT_EQ(rule.Stream(false, send), 1);
    EXPECT_EQ(sends, 4);
    clock.Advance(1);
    EXPECT_EQ(rule.Stream(false, send), 0);
    EXPECT_EQ(sends, 5);
    EXPECT_TRUE(rule.Stopped(false));
    // The next probe counts from the end of the slow one.
    clock.Advance(StreamFailureRule::kCableProbeMs - 1);
    rule.Stream(false, send);
    EXPECT_EQ(sends, 5);

    // The device answers again: the next probe starts the stream, and every frame goes out.
    takes = 20;
    clock.Advance(1);
    EXPECT_EQ(rule.Stream(false, send), 1);
    EXPECT_FALSE(rule.Stopped(false));
    EXPECT_EQ(rule.Stream(false, send), 1);
    EXPECT_EQ(sends, 7);

    // The receiver's stream stays stopped however long it waits, until it is told.
    clock.Advance(10 * StreamFailureRule::kCableProbeMs);
    rule.Stream(true, send);
    EXPECT_EQ(sends, 7);
    EXPECT_TRUE(rule.Stopped(true));
    rule.SetStopped(true, false);
    rule.Stream(true, send);
    EXPECT_EQ(sends, 8);

    // A stopped cable stream that is told to run (the cable was connected anew) runs at once.
    takes = 600;
    rule.Stream(false, send);
    rule.Stream(false, send);
    ASSERT_TRUE(rule.Stopped(false));
    rule.SetStopped(false, false);
    takes = 20;
    rule.Stream(false, send);
    EXPECT_EQ(sends, 11);
}

TEST(FrameOutput, SoftwareDrivenModesPerClass) {
    vx::lighting::test::Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    MousePadLightingEngine pad(15, shared.area, shared.player);
    for (int mode = 0; mode < 40; ++mode) {
        kb.SetLightInfo(vx::lighting::test::Info(static_cast<uint8_t>(mode)));
        pad.SetLightInfo(vx::lighting::test::Info(static_cast<uint8_t>(mode)));
        EXPECT_EQ(kb.IsSoftwareDriven(), mode == 21 || mode == 31) << mode;
        EXPECT_EQ(pad.IsSoftwareDriven(), mode == 11) << mode;
    }
}
