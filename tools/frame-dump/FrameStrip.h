#pragma once

#include <string>
#include <vector>

#include "tools/frame-dump/FrameDump.h"
#include "tools/frame-dump/FrameDumpOptions.h"

namespace vx::framedump {

// Draws frames one below the other as a binary PPM: keyboard LEDs where the layout map puts
// them (keys only in the column map on an extra bottom row), mouse and mousepad LEDs in a row.
// Each LED shows its colour scaled by its brightness.
class FrameStrip {
public:
    // Returns 1 when written, -1 when the file could not be written.
    static int WritePpm(const std::string& path, DeviceClass device, const std::vector<DumpedFrame>& frames);
};

}  // namespace vx::framedump
