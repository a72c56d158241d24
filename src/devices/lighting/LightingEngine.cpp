#include "devices/lighting/LightingEngine.h"

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/StepPlayer.h"

namespace vx::lighting {

LightingEngine::LightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player)
    : m_area(area), m_player(player) {
    m_frame.SetCount(ledCount);
}

void LightingEngine::SetLedCount(int count) {
    std::lock_guard lock(m_lock);
    m_frame.SetCount(count);
}

void LightingEngine::SetLightInfo(const LightInfo& info) {
    std::lock_guard lock(m_lock);
    m_params = info;
}

LightInfo LightingEngine::GetLightInfo() const {
    std::lock_guard lock(m_lock);
    return m_params;
}

bool LightingEngine::ApplyLightInfo(const LightInfo& info) {
    std::lock_guard lock(m_lock);
    const bool changed = info.selectItem != m_setUpMode;
    m_params = info;
    if (!changed) return false;
    m_setUpMode = info.selectItem;
    m_frame.Clear();
    OnModeChanged();
    return true;
}

uint8_t LightingEngine::SetUpMode() const {
    std::lock_guard lock(m_lock);
    return m_setUpMode;
}

bool LightingEngine::LoadLightingState(const LightInfo& info, const LightListEntry* list,
                                       std::size_t listCount, const LightStep* steps, std::size_t stepCount) {
    const bool changed = ApplyLightInfo(info);
    SetLightList(list, listCount);
    {
        std::lock_guard lock(m_lock);
        OnLightingStateLoaded();
    }
    SetCustomSteps(steps, stepCount);
    return changed;
}

void LightingEngine::SetLightList(const LightListEntry* list, std::size_t count) {
    m_lightList.Set(list, count);
    std::lock_guard lock(m_lightList.Lock());
    m_area.Initialise(m_lightList.EntriesLocked(), m_lightList.CountLocked());
}

void LightingEngine::SetCustomSteps(const LightStep* steps, std::size_t count) {
    m_steps.Set(steps, count);
}

void LightingEngine::SetRandomSeed(uint32_t seed) {
    std::lock_guard lock(m_lock);
    m_random.Seed(seed);
}

bool LightingEngine::IsSoftwareDriven() const {
    std::lock_guard lock(m_lock);
    return StreamsMode(m_params.selectItem);
}

EffectState LightingEngine::Snapshot() const {
    std::lock_guard lock(m_lock);
    return m_state;
}

void LightingEngine::StartTicks(uint32_t nowMs) {
    std::lock_guard lock(m_lock);
    m_lastCountedMs = nowMs;
    m_ticks = 0;
}

uint32_t LightingEngine::Ticks() const {
    std::lock_guard lock(m_lock);
    return m_ticks;
}

void LightingEngine::Pass(uint32_t nowMs) {
    std::lock_guard lock(m_lock);
    m_nowMs = nowMs;
    if (CountsTick(nowMs - m_lastCountedMs)) {
        m_lastCountedMs = nowMs;
        ++m_ticks;
    }
    RunModePass();
    if (LaysAreaOverlay()) {
        std::lock_guard listLock(m_lightList.Lock());
        m_area.Apply(m_lightList.EntriesLocked(), m_lightList.CountLocked(), m_frame, nowMs);
    }
}

bool LightingEngine::Due(const LevelRow& row) {
    if (m_ticks < AtLevel(row, SpeedLevel())) return false;
    m_ticks = 0;
    return true;
}

void LightingEngine::RunStepPlayer() {
    m_player.Play(m_steps, m_frame, m_nowMs);
}

int LightingEngine::Leds() const {
    const int n = m_frame.Count();
    return n < EffectState::kLeds ? n : EffectState::kLeds;
}

void LightingEngine::Paint(int led, const Rgb& colour, unsigned brightness) {
    m_frame.Set(led, {colour.red, colour.green, colour.blue, static_cast<uint8_t>(brightness)});
}

void LightingEngine::FillAll(const Rgb& colour, unsigned brightness) {
    const int n = m_frame.Count();
    for (int i = 0; i < n; ++i) Paint(i, colour, brightness);
}

uint8_t LightingEngine::Step(int direction, int limit, uint8_t value, int increment) {
    if (direction != 0) {
        const uint8_t v = static_cast<uint8_t>(value + increment);
        return v >= limit ? 0 : v;
    }
    const uint8_t v = static_cast<uint8_t>(value - increment);
    return v >= limit ? static_cast<uint8_t>(limit - increment) : v;
}

void LightingEngine::EffectBreathCycle() {
    m_state.phase = Step(m_params.fx, 128, m_state.phase, 1);
    if (m_state.phase == 0) {
        m_state.colourIndex = static_cast<uint8_t>(m_state.colourIndex + 16);
        if (m_state.colourIndex > 192) m_state.colourIndex = 0;
    }
    const Rgb colour = Multi() ? kColourWheel[m_state.colourIndex] : Fixed();
    FillAll(colour, kBreathingCurve[m_state.phase & 127] * Bright() / 256);
}

void LightingEngine::EffectBreathFour() {
    m_state.phase = Step(m_params.fx, 128, m_state.phase, 1);
    if (m_state.phase == 0) {
        if (++m_state.colourIndex >= 4) m_state.colourIndex = 0;
    }
    // A colour index left by another mode may be 4 or more until the next breath ends.
    FillAll(kFourColours[m_state.colourIndex & 3], kBreathingCurve[m_state.phase & 127] * Bright() / 256);
}

void LightingEngine::EffectStatic() {
    FillAll(Fixed(), Bright());
}

void LightingEngine::EffectSpectrum() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    FillAll(kColourWheel[m_state.phase], Bright());
}

void LightingEngine::BlinkToggle(int phaseStep, int phaseLimit) {
    if (m_nowMs - m_state.lastBlinkMs < AtLevel(kBlinkPeriods, SpeedLevel()) * 200u) return;
    m_state.blinkState = !m_state.blinkState;
    m_state.lastBlinkMs = m_nowMs;
    m_state.phase = static_cast<uint8_t>(m_state.phase + phaseStep);
    if (m_state.phase >= phaseLimit) m_state.phase = 0;
}

void LightingEngine::EffectBlinkCycle() {
    BlinkToggle(16, 192);
    if (!m_state.blinkState) {
        EffectOff();
        return;
    }
    FillAll(Multi() ? kColourWheel[m_state.phase] : Fixed(), Bright());
}

void LightingEngine::EffectBlinkFour() {
    BlinkToggle(1, 4);
    if (!m_state.blinkState) {
        EffectOff();
        return;
    }
    FillAll(kFourColours[m_state.phase & 3], Bright());
}

void LightingEngine::EffectOff() {
    const int n = m_frame.Count();
    for (int i = 0; i < n; ++i) m_frame.Set(i, LedEntry{});
}

namespace {

int DecayStep(unsigned v, int mode) {
    if (mode == 0) {
        if (v >= 128) return 40;
        if (v >= 64) return 30;
        if (v >= 32) return 15;
        if (v > 16) return 8;
        return v > 0 ? 1 : 0;
    }
    if (mode == 11 || mode == 21) {
        if (v >= 144) return 45;
        if (v >= 128) return 40;
        if (v >= 112) return 35;
        if (v >= 96) return 30;
        if (v >= 80) return 25;
        if (v >= 64) return 20;
        if (v >= 32) return 10;
        if (v > 16) return 5;
        return v > 0 ? 1 : 0;
    }
    if (v >= 128) return 40;
    if (v >= 64) return 30;
    if (v >= 32) return 10;
    if (v > 16) return 8;
    return v > 0 ? 1 : 0;
}

}  // namespace

void LightingEngine::DecayIntensity(int led, int mode) {
    if (led < 0 || led >= EffectState::kLeds) return;
    uint8_t& v = m_state.intensity[led];
    v = static_cast<uint8_t>(v - DecayStep(v, mode));
}

void LightingEngine::SeedIntensity() {
    SeedRingIntensity(9);
}

void LightingEngine::SeedRingIntensity(int count) {
    if (count > EffectState::kRing) count = EffectState::kRing;
    for (int i = 0; i < count; ++i) {
        if (m_state.ring[i] != 0) m_state.intensity[i] = 255;
    }
}

void LightingEngine::RotateRing(int direction) {
    RotateRingPart(EffectState::kRing, direction);
}

void LightingEngine::RotateRingPart(int length, int direction) {
    if (length > EffectState::kRing) length = EffectState::kRing;
    if (length < 2) return;
    auto& r = m_state.ring;
    if (direction != 0) {
        const uint8_t last = r[length - 1];
        for (int i = length - 1; i > 0; --i) r[i] = r[i - 1];
        r[0] = last;
    } else {
        const uint8_t first = r[0];
        for (int i = 0; i < length - 1; ++i) r[i] = r[i + 1];
        r[length - 1] = first;
    }
}

void LightingEngine::ClearEffectState() {
    m_state.intensity.fill(0);
    m_state.ring.fill(0);
}

}  // namespace vx::lighting
