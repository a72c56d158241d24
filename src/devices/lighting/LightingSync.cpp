#include "devices/lighting/LightingSync.h"

#include <algorithm>
#include <chrono>

#include "devices/lighting/LightingClock.h"
#include "platform/DebugLog.h"

using vx::platform::DebugLog;

namespace vx::lighting {

using sync::Rgb;
using sync::SyncKind;

namespace {

// The worker looks for a page to drive in this order, and writes the pages in the second.
constexpr std::array<SyncKind, sync::kSyncKinds> kSearchOrder = {SyncKind::Mouse, SyncKind::Keyboard,
                                                                      SyncKind::Mousepad, SyncKind::Headset};
constexpr std::array<SyncKind, sync::kSyncKinds> kWriteOrder = {SyncKind::Mouse, SyncKind::Mousepad,
                                                                     SyncKind::Headset, SyncKind::Keyboard};

// Clock values wrap like a 32-bit tick count.
int32_t Since(uint32_t now, uint32_t then) {
    return static_cast<int32_t>(now - then);
}

}  // namespace

CLightingSync::CLightingSync(const LightingClock& clock) : m_clock(clock) {}

CLightingSync::~CLightingSync() {
    Stop();
}

// ---- targets ----

int CLightingSync::AddTarget(ILightingSyncTarget* target, SyncKind kind, int lightCount) {
    if (target == nullptr) return -1;
    const int slot = m_count.load(std::memory_order_relaxed);
    if (slot >= kMaxTargets) return -1;
    m_slots[slot].target = target;
    m_slots[slot].kind = kind;
    m_slots[slot].lightCount.store(std::max(lightCount, 0));
    m_slots[slot].synchronised.store(false);
    // Publishes the slot's plain fields to the worker.
    m_count.store(slot + 1, std::memory_order_release);
    return slot;
}

int CLightingSync::FindTarget(const ILightingSyncTarget* target) const {
    const int count = TargetCount();
    for (int i = 0; i < count; ++i) {
        if (m_slots[i].target == target) return i;
    }
    return -1;
}

ILightingSyncTarget* CLightingSync::Target(int slot) const {
    return slot >= 0 && slot < TargetCount() ? m_slots[slot].target : nullptr;
}

SyncKind CLightingSync::Kind(int slot) const {
    return slot >= 0 && slot < TargetCount() ? m_slots[slot].kind : SyncKind::Keyboard;
}

void CLightingSync::SetLightCount(int slot, int count) {
    if (slot >= 0 && slot < TargetCount()) m_slots[slot].lightCount.store(std::max(count, 0));
}

int CLightingSync::LightCount(int slot) const {
    return slot >= 0 && slot < TargetCount() ? m_slots[slot].lightCount.load() : 0;
}

void CLightingSync::Enter(int slot) {
    if (slot < 0 || slot >= TargetCount()) return;
    m_slots[slot].synchronised.store(true);
    {
        std::lock_guard lock(m_mutex);
        m_kick = true;
    }
    m_wake.notify_all();
}

void CLightingSync::Leave(int slot) {
    if (slot < 0 || slot >= TargetCount()) return;
    if (m_slots[slot].synchronised.exchange(false)) m_slots[slot].target->SetLinkHeld(false);
}

bool CLightingSync::IsSynchronised(int slot) const {
    return slot >= 0 && slot < TargetCount() && m_slots[slot].synchronised.load();
}

void CLightingSync::SetSharedEffect(const SharedEffect& effect) {
    m_type.store(effect.type);
    m_brightness.store(effect.brightness);
    m_speed.store(effect.speed);
    m_direction.store(effect.direction);
    m_multicolour.store(effect.multicolour);
    m_red.store(effect.colour.red);
    m_green.store(effect.colour.green);
    m_blue.store(effect.colour.blue);
    {
        std::lock_guard lock(m_mutex);
        m_kick = true;
    }
    m_wake.notify_all();
}

SharedEffect CLightingSync::GetSharedEffect() const {
    SharedEffect effect;
    effect.type = m_type.load();
    effect.brightness = m_brightness.load();
    effect.speed = m_speed.load();
    effect.direction = m_direction.load();
    effect.multicolour = m_multicolour.load();
    effect.colour = {m_red.load(), m_green.load(), m_blue.load()};
    return effect;
}

// ---- rules ----

uint8_t CLightingSync::CounterStep(uint8_t value, uint8_t limit, uint8_t step, bool up) {
    if (up) {
        const uint8_t next = static_cast<uint8_t>(value + step);
        return next < limit ? next : 0;
    }
    const uint8_t next = static_cast<uint8_t>(value - step);
    return next < limit ? next : static_cast<uint8_t>(limit - step);
}

int CLightingSync::SharedTypeOf(SyncKind kind, int effectNumber) {
    // A headset source reads the mousepad's column (the two columns are the same today).
    const SyncKind column = kind == SyncKind::Headset ? SyncKind::Mousepad : kind;
    for (int type = 0; type < sync::kSharedTypes; ++type) {
        if (sync::kSyncEffectNumbers[type][static_cast<int>(column)] == effectNumber) return type;
    }
    return -1;
}

int CLightingSync::EffectNumberOf(SyncKind kind, int sharedType) {
    if (sharedType < 0 || sharedType >= sync::kSharedTypes) return -1;
    return sync::kSyncEffectNumbers[sharedType][static_cast<int>(kind)];
}

int CLightingSync::StepThreshold(int type, int speed) {
    if (type < 0 || type >= sync::kSharedTypes) type = sync::kOff;
    if (speed < 0 || speed >= sync::kSpeedLevels) return 0;
    return sync::kSyncSpeed[type][speed];
}

uint8_t CLightingSync::BrightnessOf(int level) {
    // A level past the table (a hand-edited profile) shows the brightest level rather than
    // reading beyond it.
    return kBrightnessLevels[std::clamp(level, 0, sync::kBrightnessLevelCount - 1)];
}

void CLightingSync::RunEffectStep(const SharedEffect& effect, uint32_t nowMs, Rgb& colour,
                                  uint8_t& brightness) {
    const uint8_t bright = BrightnessOf(effect.brightness);
    switch (effect.type) {
        case sync::kBreathing: {
            m_state.breathPosition = CounterStep(m_state.breathPosition, 128, 1, effect.direction != 0);
            if (effect.multicolour != 0) {
                if (m_state.breathPosition < 2) {
                    m_state.breathColourPosition = CounterStep(m_state.breathColourPosition, 192, 16, true);
                }
                colour = kColourWheel[m_state.breathColourPosition % sync::kWheelSize];
            } else {
                colour = effect.colour;
            }
            brightness =
                static_cast<uint8_t>(bright * kBreathingCurve[m_state.breathPosition % 128] / 256);
            return;
        }
        case sync::kStatic:
            colour = effect.colour;
            brightness = bright;
            return;
        case sync::kFlash: {
            const uint32_t half =
                static_cast<uint32_t>(StepThreshold(effect.type, effect.speed)) * kFlashUnitMs;
            if (static_cast<uint32_t>(nowMs - m_state.lastFlashToggleMs) >= half) {
                m_state.flashOn = !m_state.flashOn;
                m_state.lastFlashToggleMs = nowMs;
                m_state.flashColourPosition = static_cast<uint8_t>(m_state.flashColourPosition + 14);
                if (m_state.flashColourPosition >= 192) m_state.flashColourPosition = 0;
            }
            if (m_state.flashOn) {
                colour = effect.multicolour != 0 ? kColourWheel[m_state.flashColourPosition]
                                                 : effect.colour;
                brightness = bright;
            } else {
                colour = {0, 0, 0};
                brightness = 0;
            }
            return;
        }
        case sync::kColourCycle:
            m_state.cyclePosition = CounterStep(m_state.cyclePosition, 192, 1, true);
            colour = kColourWheel[m_state.cyclePosition % sync::kWheelSize];
            brightness = bright;
            return;
        default:
            colour = {0, 0, 0};
            brightness = 0;
            return;
    }
}

// ---- the worker ----

bool CLightingSync::AnyActive() {
    const int count = TargetCount();
    bool found = false;
    for (SyncKind kind : kSearchOrder) {
        for (int i = 0; i < count; ++i) {
            Slot& slot = m_slots[i];
            if (slot.kind != kind || !slot.synchronised.load()) continue;
            if (!slot.target->IsLinkHeld()) {
                // The page reread its settings: its device runs its own lighting again.
                slot.synchronised.store(false);
                continue;
            }
            if (slot.target->IsLinkConnected()) found = true;
        }
    }
    return found;
}

void CLightingSync::WriteAll(Rgb colour, uint8_t brightness) {
    const int count = TargetCount();
    for (SyncKind kind : kWriteOrder) {
        for (int i = 0; i < count; ++i) {
            Slot& slot = m_slots[i];
            if (slot.kind != kind || !slot.synchronised.load()) continue;
            const int lights = slot.lightCount.load();
            for (int led = 0; led < lights; ++led) slot.target->SetLight(led, colour, brightness);
        }
    }
}

bool CLightingSync::Advance(uint32_t nowMs) {
    if (!AnyActive()) {
        m_idle = true;
        return false;
    }
    if (m_idle || Since(nowMs, m_lastTickMs) > static_cast<int32_t>(kMaxBacklogMs) ||
        Since(nowMs, m_lastTickMs) < 0) {
        // Back from idling (or starved): the first pass counts one tick, as after a long sleep.
        m_lastTickMs = nowMs - kTickMs;
        m_idle = false;
    }
    while (Since(nowMs, m_lastTickMs) >= kTickMs) {
        m_lastTickMs += kTickMs;
        const SharedEffect effect = GetSharedEffect();
        ++m_counter;
        if (m_counter < StepThreshold(effect.type, effect.speed)) continue;
        m_counter = 0;
        Rgb colour;
        uint8_t brightness = 0;
        RunEffectStep(effect, m_lastTickMs, colour, brightness);
        WriteAll(colour, brightness);
        m_steps.fetch_add(1, std::memory_order_acq_rel);
    }
    return true;
}

uint32_t CLightingSync::MsUntilNextStep(uint32_t nowMs) const {
    const SharedEffect effect = GetSharedEffect();
    const int ticksLeft = std::max(StepThreshold(effect.type, effect.speed) - m_counter, 1);
    const int32_t due = Since(m_lastTickMs + static_cast<uint32_t>(ticksLeft * kTickMs), nowMs);
    return static_cast<uint32_t>(std::max(due, 1));
}

void CLightingSync::Start() {
    Stop();
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
        m_kick = false;
        m_finished = false;
    }
    m_lastTickMs = m_clock.NowMs();
    m_counter = 0;
    m_idle = true;
    m_thread = std::thread([this] { Run(); });
}

int CLightingSync::Stop(int boundMs) {
    if (!m_thread.joinable()) return -1;
    bool inTime = false;
    {
        std::unique_lock lock(m_mutex);
        m_stop = true;
        m_wake.notify_all();
        inTime = m_ended.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return m_finished; });
    }
    m_thread.join();
    return inTime ? 1 : 0;
}

bool CLightingSync::AnySynchronised() const {
    const int count = TargetCount();
    for (int i = 0; i < count; ++i)
        if (m_slots[i].synchronised.load()) return true;
    return false;
}

bool CLightingSync::WaitStop(uint32_t ms) {
    std::unique_lock lock(m_mutex);
    if (ms == kWaitForWake)
        m_wake.wait(lock, [this] { return m_stop || m_kick; });
    else
        m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop || m_kick; });
    m_kick = false;
    return m_stop;
}

void CLightingSync::Run() {
    uint32_t waitMs = 1;
    for (;;) {
        if (WaitStop(waitMs)) break;
        m_wakeups.fetch_add(1, std::memory_order_relaxed);
        const uint32_t now = m_clock.NowMs();
        if (!Advance(now)) {
            // A synchronised page whose device is away is looked at once a second, so that it
            // is driven again when the device comes back. With no page synchronised at all there
            // is nothing to look at: only Enter or a new shared effect (both wake the worker)
            // can change that, so the worker sleeps until then instead of waking every second.
            waitMs = AnySynchronised() ? kIdleSleepMs : kWaitForWake;
            continue;
        }
        // Steps due closer together than kMinWakeMs run in one batch, each at its own tick:
        // the pages are painted every 50 ms, so waking for every 2 ms tick would only burn CPU.
        // The pages are re-checked (a reread, an unplugged device) at least every kMaxWakeMs.
        waitMs = std::clamp<uint32_t>(MsUntilNextStep(now), kMinWakeMs, kMaxWakeMs);
    }
    DebugLog("同步灯光线程设定退出");
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_ended.notify_all();
}

}  // namespace vx::lighting
