#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/LightingEngine.h"
#include "devices/lighting/StepPlayer.h"
#include "tools/frame-dump/FrameDumpOptions.h"

namespace vx::framedump {

// One printed frame: the pass it followed, the clock and the packed LED entries.
struct DumpedFrame {
    int pass = 0;
    uint32_t ms = 0;
    std::vector<uint32_t> leds;
};

// Runs one device class's lighting engine pass by pass on a clock of its own, with a fixed seed,
// the way its lighting thread would, and collects every K-th frame.
class FrameDump {
public:
    explicit FrameDump(const FrameDumpOptions& options);

    std::vector<DumpedFrame> Run();
    static void WriteJsonLine(std::ostream& out, const DumpedFrame& frame);

private:
    void FeedAudio(uint32_t now);
    void FeedPresses(int pass);

    FrameDumpOptions m_options;
    lighting::AreaOverlay m_area;
    lighting::StepPlayer m_player;
    std::unique_ptr<lighting::LightingEngine> m_engine;
    uint32_t m_nextAudioMs = 0;
};

}  // namespace vx::framedump
