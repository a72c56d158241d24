#include "tools/frame-dump/FrameDump.h"

#include <array>
#include <cstdlib>

#include "devices/lighting/KeyboardLightingEngine.h"
#include "devices/lighting/MouseLightingEngine.h"
#include "devices/lighting/MousePadLightingEngine.h"

namespace vx::framedump {

using namespace vx::lighting;

FrameDump::FrameDump(const FrameDumpOptions& options) : m_options(options) {
    switch (options.device) {
        case DeviceClass::Keyboard:
            m_engine = std::make_unique<KeyboardLightingEngine>(kKeyboardLeds, m_area, m_player);
            break;
        case DeviceClass::Mouse:
            m_engine = std::make_unique<MouseLightingEngine>(MouseLightingEngine::kLeds, m_area, m_player);
            break;
        case DeviceClass::MousePad:
            m_engine =
                std::make_unique<MousePadLightingEngine>(MousePadLightingEngine::kLeds, m_area, m_player);
            break;
    }
    m_engine->SetRandomSeed(options.seed);
    // Coming from "no mode" makes every mode, 0 included, run its mode-entry set-up.
    LightInfo none;
    none.selectItem = 255;
    m_engine->SetLightInfo(none);
    m_engine->LoadLightingState(options.light, options.lightList.data(), options.lightList.size(),
                                options.steps.data(), options.steps.size());
    if (auto* kb = dynamic_cast<KeyboardLightingEngine*>(m_engine.get())) {
        kb->SetAudioLightInfo(options.audio);
        kb->SetAudioParameters(options.companion, 6);
    }
}

void FrameDump::FeedAudio(uint32_t now) {
    auto* kb = dynamic_cast<KeyboardLightingEngine*>(m_engine.get());
    if (kb == nullptr || m_options.levels == LevelSource::None) return;
    if (static_cast<int32_t>(now - m_nextAudioMs) < 0) return;
    m_nextAudioMs = now + static_cast<uint32_t>(m_options.audioEveryMs);
    std::array<int32_t, 25> levels{};
    if (m_options.levels == LevelSource::Constant) levels.fill(m_options.constantLevel);
    if (m_options.levels == LevelSource::Sweep) {
        // A loud band that walks across the 25 bands and back, one band every 40 ms.
        const int t = static_cast<int>((now - m_options.startMs) / 40 % 48);
        const int centre = t < 25 ? t : 48 - t;
        for (int k = 0; k < 25; ++k) {
            const int level = 2400 - 450 * std::abs(k - centre);
            levels[k] = level > 0 ? level : 0;
        }
    }
    kb->OnAudioLevels(levels.data(), levels.size());
}

void FrameDump::FeedPresses(int pass) {
    auto* kb = dynamic_cast<KeyboardLightingEngine*>(m_engine.get());
    if (kb == nullptr) return;
    for (const KeyPress& p : m_options.presses) {
        if (p.pass == pass) kb->KeyPressed(p.led);
        if (p.releasePass == pass) kb->KeyReleased(p.led);
    }
}

std::vector<DumpedFrame> FrameDump::Run() {
    std::vector<DumpedFrame> frames;
    const uint32_t step =
        static_cast<uint32_t>(m_options.stepMs > 0 ? m_options.stepMs : m_engine->PassPeriodMs());
    uint32_t now = m_options.startMs;
    m_nextAudioMs = now;
    m_engine->StartTicks(now);
    for (int pass = 1; pass <= m_options.passes; ++pass) {
        now += step;
        FeedAudio(now);
        FeedPresses(pass - 1);
        m_engine->Pass(now);
        if (pass % m_options.every != 0) continue;
        DumpedFrame frame{pass, now, {}};
        const int n = m_engine->LedCount();
        frame.leds.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) frame.leds.push_back(m_engine->GetLed(i).Pack());
        frames.push_back(std::move(frame));
    }
    return frames;
}

void FrameDump::WriteJsonLine(std::ostream& out, const DumpedFrame& frame) {
    out << "{\"pass\":" << frame.pass << ",\"ms\":" << frame.ms << ",\"leds\":[";
    for (size_t i = 0; i < frame.leds.size(); ++i) {
        const LedEntry e = LedEntry::Unpack(frame.leds[i]);
        out << (i ? ",[" : "[") << int(e.red) << ',' << int(e.green) << ',' << int(e.blue) << ','
            << int(e.brightness) << ']';
    }
    out << "]}\n";
}

}  // namespace vx::framedump
