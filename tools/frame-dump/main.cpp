// vx-frame-dump: look at a lighting effect without a device (see --help).
#include <iostream>
#include <string>
#include <vector>

#include "tools/frame-dump/FrameDump.h"
#include "tools/frame-dump/FrameDumpOptions.h"
#include "tools/frame-dump/FrameStrip.h"

int main(int argc, char** argv) {
    using namespace vx::framedump;
    const std::vector<std::string> args(argv + 1, argv + argc);
    FrameDumpOptions options;
    std::string error;
    const int parsed = ParseFrameDumpOptions(args, options, error);
    if (parsed == 0) {
        std::cout << FrameDumpUsage();
        return 0;
    }
    if (parsed < 0) {
        std::cerr << "vx-frame-dump: " << error << "\n" << FrameDumpUsage();
        return 2;
    }
    FrameDump dump(options);
    const auto frames = dump.Run();
    for (const auto& frame : frames) FrameDump::WriteJsonLine(std::cout, frame);
    if (!options.ppmPath.empty() && FrameStrip::WritePpm(options.ppmPath, options.device, frames) != 1) {
        std::cerr << "vx-frame-dump: cannot write " << options.ppmPath << "\n";
        return 1;
    }
    return 0;
}
