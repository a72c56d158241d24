#pragma once
// Same-mode lighting: one effect shown by every synchronised device in step. The UI thread sets
// the shared effect and marks pages; one worker computes a colour and a brightness per effect step
// and writes them to every light of every synchronised page.
//
// The worker keeps the pace of a loop that waits 1 ms per pass and counts a tick whenever the
// clock has moved on by more than 1 ms (so a tick every 2 ms), with an effect step every
// speed-table-entry ticks. It does not wake every millisecond: it sleeps until the next step is
// due and then runs every tick that fell due meanwhile, each at its own clock value, so the steps
// come out as with 1 ms waits. While a synchronised page's device is away it looks once a second;
// while no page is synchronised at all it sleeps until a page is marked or the effect changes.
//
// Sharing: targets are appended on the UI thread to a fixed array published by an atomic count,
// never removed or moved; the synchronised flags and the shared effect's fields are atomics (a
// step may mix fields from before and after an adoption, which is harmless).
//
// A page leaves the synchronised state when its command link's `held` flag has been cleared (the
// page reread its settings from the device, so the device runs its own lighting again) or when
// the UI thread takes it out (Leave).

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "devices/lighting/LightingSyncTables.h"

namespace vx::lighting {

class LightingClock;

// One synchronisable page as the worker sees it. Every operation may be called from the worker.
class ILightingSyncTarget {
public:
    virtual ~ILightingSyncTarget() = default;
    virtual bool IsLinkConnected() const = 0;
    virtual bool IsLinkHeld() const = 0;
    virtual void SetLinkHeld(bool held) = 0;
    virtual void SetLight(int index, sync::Rgb colour, uint8_t brightness) = 0;
};

struct SharedEffect {
    uint8_t type = sync::kStatic;
    uint8_t brightness = 4;
    uint8_t speed = 2;
    // Non-zero counts the breathing position up.
    uint8_t direction = 1;
    uint8_t multicolour = 0;
    sync::Rgb colour{255, 255, 255};
    bool operator==(const SharedEffect&) const = default;
};

// The worker's effect state (thread only; readable by tests while the worker is not running).
struct SyncEffectState {
    uint8_t breathPosition = 0;
    uint8_t breathColourPosition = 0;
    uint8_t cyclePosition = 0;
    bool flashOn = false;
    uint8_t flashColourPosition = 0;
    uint32_t lastFlashToggleMs = 0;
};

class CLightingSync {
public:
    static constexpr int kMaxTargets = 32;
    static constexpr int kTickMs = 2;
    static constexpr int kIdleSleepMs = 1000;
    // The worker's wait with no page synchronised: until Enter, SetSharedEffect or Stop wakes it.
    static constexpr uint32_t kWaitForWake = 0;
    static constexpr uint32_t kMinWakeMs = 10;
    static constexpr uint32_t kMaxWakeMs = 50;
    static constexpr int kFlashUnitMs = 200;
    // A worker that was starved (a suspended machine) drops the backlog beyond this instead of
    // replaying seconds of effect in one burst.
    static constexpr uint32_t kMaxBacklogMs = 500;

    explicit CLightingSync(const LightingClock& clock);
    ~CLightingSync();
    CLightingSync(const CLightingSync&) = delete;
    CLightingSync& operator=(const CLightingSync&) = delete;

    // ---- UI thread ----
    // Appends a target (not owned; it must outlive the worker). Returns its slot, or -1 when the
    // table is full or the target is null.
    int AddTarget(ILightingSyncTarget* target, sync::SyncKind kind, int lightCount);
    int FindTarget(const ILightingSyncTarget* target) const;
    int TargetCount() const { return m_count.load(std::memory_order_acquire); }
    ILightingSyncTarget* Target(int slot) const;
    sync::SyncKind Kind(int slot) const;
    void SetLightCount(int slot, int count);
    int LightCount(int slot) const;

    // Marks the slot synchronised (and wakes an idle worker).
    void Enter(int slot);
    // Takes the slot out and gives the page its own lighting back (its held flag is cleared).
    void Leave(int slot);
    bool IsSynchronised(int slot) const;

    void SetSharedEffect(const SharedEffect& effect);
    SharedEffect GetSharedEffect() const;

    // ---- the worker ----
    void Start();
    // Signals the worker and waits up to boundMs. 1 ended within the bound, 0 late (it is still
    // joined, since a step is short), -1 none running.
    int Stop(int boundMs = 1000);
    bool Running() const { return m_thread.joinable(); }

    // Runs every tick due up to nowMs, as the worker does after each wait; true when a target is
    // synchronised and connected. Called by the worker only; tests call it with the worker not
    // running to step the effect deterministically.
    bool Advance(uint32_t nowMs);
    // Milliseconds until the next effect step is due (at least 1).
    uint32_t MsUntilNextStep(uint32_t nowMs) const;
    const SyncEffectState& EffectState() const { return m_state; }
    uint64_t Steps() const { return m_steps.load(std::memory_order_acquire); }
    uint64_t Wakeups() const { return m_wakeups.load(std::memory_order_acquire); }

    // ---- the rules ----
    // 8-bit counter step: up -> v + s, or 0 when that is not below n; down -> v - s, or n - s when
    // that is not below n.
    static uint8_t CounterStep(uint8_t value, uint8_t limit, uint8_t step, bool up);
    // The shared type of a kind's effect number, or -1 when it has none. A headset reads the
    // mousepad's column.
    static int SharedTypeOf(sync::SyncKind kind, int effectNumber);
    static int EffectNumberOf(sync::SyncKind kind, int sharedType);
    // Ticks between two steps for an effect type and speed level (levels past the table: 0).
    static int StepThreshold(int type, int speed);
    static uint8_t BrightnessOf(int level);

    // One step of the effect: the colour and brightness every light shows next.
    void RunEffectStep(const SharedEffect& effect, uint32_t nowMs, sync::Rgb& colour,
                       uint8_t& brightness);

private:
    struct Slot {
        ILightingSyncTarget* target = nullptr;
        sync::SyncKind kind = sync::SyncKind::Keyboard;
        std::atomic<int> lightCount{0};
        std::atomic<bool> synchronised{false};
    };

    void Run();
    // ms == kWaitForWake waits without a time-out.
    bool WaitStop(uint32_t ms);
    bool AnySynchronised() const;
    bool AnyActive();
    void WriteAll(sync::Rgb colour, uint8_t brightness);

    const LightingClock& m_clock;
    std::array<Slot, kMaxTargets> m_slots;
    std::atomic<int> m_count{0};

    std::atomic<uint8_t> m_type{sync::kStatic};
    std::atomic<uint8_t> m_brightness{4};
    std::atomic<uint8_t> m_speed{2};
    std::atomic<uint8_t> m_direction{1};
    std::atomic<uint8_t> m_multicolour{0};
    std::atomic<uint8_t> m_red{255};
    std::atomic<uint8_t> m_green{255};
    std::atomic<uint8_t> m_blue{255};

    // Worker state.
    SyncEffectState m_state;
    uint32_t m_lastTickMs = 0;
    int m_counter = 0;
    bool m_idle = true;
    std::atomic<uint64_t> m_steps{0};
    std::atomic<uint64_t> m_wakeups{0};

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_ended;
    bool m_stop = false;
    bool m_kick = false;
    bool m_finished = false;
};

}  // namespace vx::lighting
