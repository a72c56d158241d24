// Same-mode lighting: the counter step, the tables, the effect steps at their pace, leaving the
// synchronised state, and the worker's stop bound and idle behaviour.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "devices/lighting/LightingSync.h"
#include "devices/lighting/LightingClock.h"

using vx::lighting::CLightingSync;
using vx::lighting::ILightingSyncTarget;
using vx::lighting::SharedEffect;
using vx::lighting::SyncEffectState;

using vx::lighting::sync::Rgb;
using vx::lighting::sync::SyncKind;
using vx::lighting::ManualLightingClock;
using vx::lighting::SteadyLightingClock;

namespace {

// A page as the worker sees it: link flags and a frame of packed entries, all atomics.
class FakeTarget : public vx::lighting::ILightingSyncTarget {
public:
    explicit FakeTarget(int lights = 15) : m_lights(lights) {}
    bool IsLinkConnected() const override { return connected.load(); }
    bool IsLinkHeld() const override { return held.load(); }
    void SetLinkHeld(bool value) override { held.store(value); }
    void SetLight(int index, Rgb colour, uint8_t brightness) override {
        if (index < 0 || index >= m_lights) return;
        frame[index].store(uint32_t{colour.red} | uint32_t{colour.green} << 8 | uint32_t{colour.blue} << 16 |
                           uint32_t{brightness} << 24);
        writes.fetch_add(1);
    }
    uint32_t Entry(int index) const { return frame[index].load(); }

    std::atomic<bool> connected{true};
    std::atomic<bool> held{true};
    std::atomic<int> writes{0};
    std::array<std::atomic<uint32_t>, 171> frame{};

private:
    int m_lights;
};

uint32_t Pack(Rgb c, uint8_t bright) {
    return uint32_t{c.red} | uint32_t{c.green} << 8 | uint32_t{c.blue} << 16 | uint32_t{bright} << 24;
}

SharedEffect Effect(uint8_t type, uint8_t brightness, uint8_t speed, uint8_t multicolour = 0,
                    Rgb colour = {10, 20, 30}, uint8_t direction = 1) {
    SharedEffect e;
    e.type = type;
    e.brightness = brightness;
    e.speed = speed;
    e.multicolour = multicolour;
    e.colour = colour;
    e.direction = direction;
    return e;
}

// One synchronised target driven by hand with a manual clock (no worker).
struct Rig {
    ManualLightingClock clock{1000};
    CLightingSync sync{clock};
    FakeTarget target;
    int slot = sync.AddTarget(&target, SyncKind::Mouse, 15);

    Rig() { sync.Enter(slot); }
    // Runs the effect for ms milliseconds of the clock, in 1 ms steps as the worker's passes.
    void Run(uint32_t ms) {
        for (uint32_t i = 0; i < ms; ++i) {
            clock.Advance(1);
            sync.Advance(clock.NowMs());
        }
    }
};

}  // namespace

TEST(LightingSyncRules, CounterStepWrapsBothWaysIn8Bits) {
    EXPECT_EQ(CLightingSync::CounterStep(5, 128, 1, true), 6);
    EXPECT_EQ(CLightingSync::CounterStep(127, 128, 1, true), 0);
    EXPECT_EQ(CLightingSync::CounterStep(0, 128, 1, false), 127);
    EXPECT_EQ(CLightingSync::CounterStep(10, 128, 1, false), 9);
    EXPECT_EQ(CLightingSync::CounterStep(176, 192, 16, true), 0);
    EXPECT_EQ(CLightingSync::CounterStep(160, 192, 16, true), 176);
    // 8-bit: 250 + 16 wraps to 10, which is below the limit.
    EXPECT_EQ(CLightingSync::CounterStep(250, 255, 16, true), 10);
    EXPECT_EQ(CLightingSync::CounterStep(3, 192, 16, false), 176);
}

TEST(LightingSyncRules, LevelsFollowTheirTables) {
    EXPECT_EQ(CLightingSync::BrightnessOf(2), 120);
    EXPECT_EQ(CLightingSync::StepThreshold(vx::lighting::sync::kBreathing, 0), 28);
    EXPECT_EQ(CLightingSync::StepThreshold(vx::lighting::sync::kFlash, 4), 7);
    for (int level = 5; level < 20; ++level)
        EXPECT_EQ(CLightingSync::StepThreshold(vx::lighting::sync::kStatic, level), 0);
}

TEST(LightingSyncRules, EffectNumbersTranslateBetweenKinds) {
    // A mouse in "off" puts keyboards into 28 and mousepads into 8.
    const int off = CLightingSync::SharedTypeOf(SyncKind::Mouse, 10);
    EXPECT_EQ(off, vx::lighting::sync::kOff);
    EXPECT_EQ(CLightingSync::EffectNumberOf(SyncKind::Keyboard, off), 28);
    EXPECT_EQ(CLightingSync::EffectNumberOf(SyncKind::Mousepad, off), 8);
    EXPECT_EQ(CLightingSync::SharedTypeOf(SyncKind::Keyboard, 23), vx::lighting::sync::kFlash);
    EXPECT_EQ(CLightingSync::SharedTypeOf(SyncKind::Keyboard, 4), vx::lighting::sync::kColourCycle);
    // The headset reads the mousepad's column: its 8 is "off", its 10 is nothing.
    EXPECT_EQ(CLightingSync::SharedTypeOf(SyncKind::Headset, 8), vx::lighting::sync::kOff);
    EXPECT_EQ(CLightingSync::SharedTypeOf(SyncKind::Headset, 10), -1);
    // Modes without a shared equivalent.
    EXPECT_EQ(CLightingSync::SharedTypeOf(SyncKind::Mouse, 6), -1);
    EXPECT_EQ(CLightingSync::SharedTypeOf(SyncKind::Keyboard, 0), -1);
}

TEST(LightingSyncSteps, PaceFollowsTheSpeedTable) {
    Rig rig;
    // Speed level 4: 7 counted ticks of 2 ms between steps.
    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 4, 4));
    rig.Run(140);
    EXPECT_EQ(rig.sync.Steps(), 10u);

    // Levels 5 and above: a step on every counted tick.
    Rig fast;
    fast.sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 4, 9));
    fast.Run(100);
    EXPECT_EQ(fast.sync.Steps(), 50u);

    // Catching up after a long wait gives the same steps as waking every millisecond.
    Rig batched;
    batched.sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 4, 4));
    batched.sync.Advance(batched.clock.NowMs());
    batched.clock.Advance(140);
    batched.sync.Advance(batched.clock.NowMs());
    EXPECT_EQ(batched.sync.Steps(), 10u);
}

TEST(LightingSyncSteps, StaticAndOffWriteEveryLightInStep) {
    Rig rig;
    FakeTarget keyboard(170);
    const int kb = rig.sync.AddTarget(&keyboard, SyncKind::Keyboard, 170);
    rig.sync.Enter(kb);
    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 3, 9, 0, {200, 100, 50}));
    rig.Run(4);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(rig.target.Entry(i), Pack({200, 100, 50}, 180)) << i;
    for (int i = 0; i < 170; ++i) EXPECT_EQ(keyboard.Entry(i), Pack({200, 100, 50}, 180)) << i;

    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kOff, 4, 9, 0, {200, 100, 50}));
    rig.Run(4);
    EXPECT_EQ(rig.target.Entry(7), 0u);
    EXPECT_EQ(keyboard.Entry(169), 0u);
}

TEST(LightingSyncSteps, BrightnessLevelZeroDarkensEveryEffect) {
    for (uint8_t type = 0; type < vx::lighting::sync::kSharedTypes; ++type) {
        Rig rig;
        rig.sync.SetSharedEffect(Effect(type, 0, 9, 1, {255, 255, 255}));
        for (int step = 0; step < 300; ++step) {
            rig.Run(2);
            ASSERT_EQ(rig.target.Entry(0) >> 24, 0u) << "type " << int(type) << " step " << step;
        }
    }
}

TEST(LightingSyncSteps, BreathingFollowsTheCurveAndTurnsTheWheelAtTheWrap) {
    Rig rig;
    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kBreathing, 4, 9, 1));
    std::vector<uint8_t> colourPositions;
    for (int step = 0; step < 256; ++step) {
        rig.Run(2);
        const SyncEffectState& s = rig.sync.EffectState();
        const uint8_t expected =
            static_cast<uint8_t>(255 * vx::lighting::kBreathingCurve[s.breathPosition] / 256);
        ASSERT_EQ(rig.target.Entry(0) >> 24, expected) << step;
        ASSERT_EQ(rig.target.Entry(0) & 0xFFFFFF, Pack(vx::lighting::kColourWheel[s.breathColourPosition], 0))
            << step;
        colourPositions.push_back(s.breathColourPosition);
    }
    // Positions 1 and 0 both turn the wheel by 16; a breath that went through them twice (the
    // first step reaches 1, then 0 and 1 again after 128 steps) turned it three times.
    EXPECT_EQ(colourPositions[0], 16);
    EXPECT_EQ(colourPositions[1], 16);
    EXPECT_EQ(colourPositions[126], 16);
    EXPECT_EQ(colourPositions[127], 32);
    EXPECT_EQ(colourPositions[128], 48);
    EXPECT_EQ(colourPositions[129], 48);
}

TEST(LightingSyncSteps, FlashAtSpeedZeroTogglesEvery5600Ms) {
    Rig rig;
    rig.clock.Set(100000);
    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kFlash, 4, 0, 0, {1, 2, 3}));
    std::vector<uint32_t> toggles;
    bool lastOn = false;
    for (int ms = 0; ms < 20000; ++ms) {
        rig.Run(1);
        const SyncEffectState& s = rig.sync.EffectState();
        if (s.flashOn != lastOn) {
            toggles.push_back(s.lastFlashToggleMs);
            lastOn = s.flashOn;
        }
        const uint32_t expected = s.flashOn ? Pack({1, 2, 3}, 255) : 0u;
        ASSERT_EQ(rig.target.Entry(0), expected) << ms;
    }
    ASSERT_GE(toggles.size(), 3u);
    // Steps come every 56 ms at this speed, so a toggle lands on the first step at or after
    // 5600 ms.
    for (size_t i = 1; i < toggles.size(); ++i) {
        EXPECT_GE(toggles[i] - toggles[i - 1], 5600u);
        EXPECT_LT(toggles[i] - toggles[i - 1], 5600u + 56u);
    }
}

TEST(LightingSyncSteps, ColourCycleWalksTheWheel) {
    Rig rig;
    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kColourCycle, 2, 9));
    for (int step = 1; step <= 400; ++step) {
        rig.Run(2);
        ASSERT_EQ(rig.target.Entry(3), Pack(vx::lighting::kColourWheel[step % 192], 120)) << step;
    }
}

TEST(LightingSyncState, AReadPageLeavesAndLeaveGivesTheLightingBack) {
    Rig rig;
    FakeTarget pad;
    const int padSlot = rig.sync.AddTarget(&pad, SyncKind::Mousepad, 15);
    rig.sync.Enter(padSlot);
    rig.sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 4, 9, 0, {9, 9, 9}));
    rig.Run(4);
    EXPECT_EQ(pad.Entry(0), Pack({9, 9, 9}, 255));

    // The pad rereads its settings: the device clears its held flag.
    pad.held = false;
    pad.frame[0] = 0;
    const int before = pad.writes.load();
    rig.Run(20);
    EXPECT_FALSE(rig.sync.IsSynchronised(padSlot));
    EXPECT_EQ(pad.writes.load(), before);
    EXPECT_EQ(pad.Entry(0), 0u);
    EXPECT_TRUE(rig.sync.IsSynchronised(rig.slot));

    // A user change on the mouse takes it out and hands its lighting back.
    rig.sync.Leave(rig.slot);
    EXPECT_FALSE(rig.sync.IsSynchronised(rig.slot));
    EXPECT_FALSE(rig.target.held.load());
    EXPECT_FALSE(rig.sync.Advance(rig.clock.NowMs()));
}

TEST(LightingSyncState, TargetTableIsBounded) {
    ManualLightingClock clock;
    CLightingSync sync(clock);
    std::vector<std::unique_ptr<FakeTarget>> targets;
    for (int i = 0; i < CLightingSync::kMaxTargets; ++i) {
        targets.push_back(std::make_unique<FakeTarget>());
        EXPECT_EQ(sync.AddTarget(targets.back().get(), SyncKind::Mouse, 15), i);
    }
    FakeTarget extra;
    EXPECT_EQ(sync.AddTarget(&extra, SyncKind::Mouse, 15), -1);
    EXPECT_EQ(sync.AddTarget(nullptr, SyncKind::Mouse, 15), -1);
    EXPECT_EQ(sync.FindTarget(targets[5].get()), 5);
    EXPECT_EQ(sync.FindTarget(&extra), -1);
    // Out-of-range slots change nothing.
    sync.Enter(99);
    sync.Leave(-1);
    EXPECT_FALSE(sync.IsSynchronised(99));
}

TEST(LightingSyncWorker, DrivesPagesInStepAndStopsWithinItsBound) {
    SteadyLightingClock clock;
    CLightingSync sync(clock);
    FakeTarget mouse(15);
    FakeTarget keyboard(170);
    const int a = sync.AddTarget(&mouse, SyncKind::Mouse, 15);
    const int b = sync.AddTarget(&keyboard, SyncKind::Keyboard, 170);
    sync.SetSharedEffect(Effect(vx::lighting::sync::kColourCycle, 4, 9));
    sync.Start();
    sync.Enter(a);
    sync.Enter(b);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (sync.Steps() < 50 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(sync.Steps(), 50u);
    EXPECT_TRUE(sync.Running());

    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(sync.Stop(1000), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1000));
    EXPECT_FALSE(sync.Running());
    // Both pages got the same last step.
    EXPECT_NE(mouse.Entry(0), 0u);
    EXPECT_EQ(mouse.Entry(0), keyboard.Entry(169));
    EXPECT_EQ(mouse.Entry(14), keyboard.Entry(0));
    EXPECT_EQ(sync.Stop(), -1);
}

TEST(LightingSyncWorker, IdlesWithoutBurningWakeupsAndWakesOnAdoption) {
    SteadyLightingClock clock;
    CLightingSync sync(clock);
    FakeTarget mouse(15);
    const int slot = sync.AddTarget(&mouse, SyncKind::Mouse, 15);
    sync.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    // One wake-up at start; with no page synchronised it then sleeps until woken, not once a
    // second.
    EXPECT_LE(sync.Wakeups(), 1u);
    EXPECT_EQ(mouse.writes.load(), 0);

    sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 4, 0, 0, {5, 6, 7}));
    sync.Enter(slot);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    while (mouse.Entry(0) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The first step (56 ms at speed 0) comes long before the idle sleep would have ended.
    EXPECT_EQ(mouse.Entry(0), Pack({5, 6, 7}, 255));
    const uint64_t before = sync.Wakeups();
    std::this_thread::sleep_for(std::chrono::milliseconds(560));
    // Sleeping until the next step: about one wake-up per 56 ms step, not one per millisecond.
    EXPECT_LE(sync.Wakeups() - before, 25u);
    EXPECT_EQ(sync.Stop(), 1);
}

TEST(LightingSyncWorker, ASynchronisedPageWhoseDeviceWasAwayIsDrivenWhenItComesBack) {
    SteadyLightingClock clock;
    CLightingSync sync(clock);
    FakeTarget pad(15);
    pad.connected.store(false);
    const int slot = sync.AddTarget(&pad, SyncKind::Mousepad, 15);
    sync.Start();
    sync.SetSharedEffect(Effect(vx::lighting::sync::kStatic, 4, 0, 0, {9, 8, 7}));
    sync.Enter(slot);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(pad.writes.load(), 0);
    // Nothing wakes the worker when the device comes back: its once-a-second look must.
    pad.connected.store(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    while (pad.Entry(0) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(pad.Entry(0), Pack({9, 8, 7}, 255));
    EXPECT_EQ(sync.Stop(), 1);
}
