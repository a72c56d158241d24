#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "TestEngines.h"
#include "devices/lighting/LightingClock.h"
#include "devices/lighting/LightingThread.h"

using namespace std::chrono_literals;
using namespace vx::lighting;
using namespace vx::lighting::test;

namespace {

std::vector<uint32_t> FrameOf(const LightingEngine& engine) {
    std::vector<uint32_t> frame;
    for (int i = 0; i < engine.LedCount(); ++i) frame.push_back(engine.GetLed(i).Pack());
    return frame;
}

template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

TEST(LightingThread, StopsWellWithinItsBound) {
    Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    kb.ApplyLightInfo(Info(1, 4, 4, 1, 1));
    SteadyLightingClock clock;
    LightingThread thread(kb, clock, {});
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() > 20; }));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(thread.Stop(1000), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1000ms);
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(thread.Stop(), -1);
}

TEST(LightingThread, ReplaysDuePassesExactlyLikeOneMillisecondPasses) {
    // The thread runs engine A; engine B gets the same passes by hand. With a manual clock the
    // thread must run one pass per millisecond of the clock, each at its own time.
    Shared sharedA;
    Shared sharedB;
    KeyboardLightingEngine a(170, sharedA.area, sharedA.player);
    KeyboardLightingEngine b(170, sharedB.area, sharedB.player);
    for (KeyboardLightingEngine* e : {&a, &b}) {
        e->ApplyLightInfo(Info(10, 4, 2, 1, 1));
        e->SetRandomSeed(77);
    }
    ManualLightingClock clock(5000);
    LightingThread thread(a, clock, {});
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() == 1; }));
    clock.Advance(180);
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() == 181; }));
    clock.Advance(120);
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() == 301; }));
    EXPECT_EQ(thread.Stop(), 1);

    b.StartTicks(5000);
    for (uint32_t t = 5000; t <= 5300; ++t) b.Pass(t);
    EXPECT_EQ(FrameOf(a), FrameOf(b));
    EXPECT_NE(FrameOf(b), std::vector<uint32_t>(170, 0));
}

TEST(LightingThread, HeldFlagFreezesTheFrame) {
    Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    kb.ApplyLightInfo(Info(1, 4, 4, 1, 1));
    ManualLightingClock clock(0);
    std::atomic<bool> held{false};
    std::atomic<int> heldSeen{0};
    LightingThread thread(kb, clock, {nullptr, [&] {
                                          const bool h = held.load();
                                          if (h) ++heldSeen;
                                          return h;
                                      }});
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() == 1; }));
    clock.Advance(40);
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() == 41; }));
    held = true;
    // Twice: the thread is then idling in its held loop.
    ASSERT_TRUE(WaitFor([&] { return heldSeen.load() >= 2; }));
    const uint64_t passesAtHold = thread.Passes();
    const auto frozen = FrameOf(kb);
    clock.Advance(500);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(thread.Passes(), passesAtHold);
    EXPECT_EQ(FrameOf(kb), frozen);
    // Released: the held time is not replayed, the effect simply goes on.
    held = false;
    clock.Advance(10);
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() > passesAtHold; }));
    EXPECT_LE(thread.Passes(), passesAtHold + 11);
    ASSERT_TRUE(WaitFor([&] { return FrameOf(kb) != frozen; }));
    EXPECT_EQ(thread.Stop(), 1);
}

TEST(LightingThread, IdlesWhileNotConnected) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    pad.ApplyLightInfo(Info(1));
    SteadyLightingClock clock;
    std::atomic<bool> connected{false};
    LightingThread thread(pad, clock, {[&] { return connected.load(); }, nullptr});
    thread.Start();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(thread.Passes(), 0u);
    connected = true;
    ASSERT_TRUE(WaitFor([&] { return thread.Passes() > 10; }));
    // Stopping while it idles is just as quick.
    connected = false;
    std::this_thread::sleep_for(30ms);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(thread.Stop(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1000ms);
}

TEST(LightingThread, WindowThreadChangesWhileTheThreadRuns) {
    // The window thread's operations race the lighting thread; the sanitizer build checks them.
    Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    SteadyLightingClock clock;
    LightingThread thread(kb, clock, {}, LightingThread::Options{2, 250});
    thread.Start();
    std::vector<LightListEntry> list(170);
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].selectItem = static_cast<uint8_t>(i % 5);
        list[i].speed = 4;
        list[i].light = 3;
        list[i].present = 1;
    }
    const std::vector<LightStep> steps = {{Info(kStepWave, 4, 4, 0, 1), 3, 0}, {Info(kStepBlink), 2, 0}};
    const int32_t levels[25] = {2000, 1500, 1000, 500,  0,    2000, 1500, 1000, 500,  0,    2000, 1500, 1000,
                                500,  0,    2000, 1500, 1000, 500,  0,    2000, 1500, 1000, 500,  0};
    uint64_t sum = 0;
    const auto end = std::chrono::steady_clock::now() + 300ms;
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
        const uint8_t mode = static_cast<uint8_t>(round % 32);
        kb.LoadLightingState(Info(mode, round % 5, round % 5, round % 2, round % 3 == 0), list.data(),
                             round % 4 == 0 ? 0 : list.size(), steps.data(), steps.size());
        AudioLightInfo audio;
        audio.audioMode = static_cast<uint8_t>(round % 8);
        kb.SetAudioLightInfo(audio);
        kb.OnAudioLevels(levels, 25);
        kb.SetAudioParameters(levels, 6);
        kb.KeyPressed(round % 170);
        kb.KeyReleased((round + 3) % 170);
        for (int i = 0; i < kb.LedCount(); ++i) sum += kb.GetLed(i).Pack();
        if (round % 50 == 0) kb.SetLedCount(170);
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(thread.Stop(), 1);
    EXPECT_GT(thread.Passes(), 50u);
    (void)sum;
}
