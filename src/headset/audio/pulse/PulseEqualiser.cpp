#include "headset/audio/pulse/PulseEqualiser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace vx::headset::pulse {

// Where a LADSPA host looks for plugins when LADSPA_PATH does not say otherwise.
bool EqualiserPluginInstalled() {
    std::vector<std::filesystem::path> folders;
    if (const char* path = std::getenv("LADSPA_PATH")) {
        std::string rest = path;
        size_t start = 0;
        while (start <= rest.size()) {
            const size_t colon = rest.find(':', start);
            folders.emplace_back(rest.substr(start, colon - start));
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
    }
    for (const char* f : {"/usr/lib/ladspa", "/usr/local/lib/ladspa", "/usr/lib/x86_64-linux-gnu/ladspa",
                          "/usr/lib/aarch64-linux-gnu/ladspa"}) {
        folders.emplace_back(f);
    }
    std::error_code error;
    return std::any_of(folders.begin(), folders.end(), [&error](const auto& folder) {
        return std::filesystem::exists(folder / "mbeq_1197.so", error);
    });
}

// The plugin's fifteen bands (50 Hz to 20 kHz) each take the gain of the nearest of the ten
// bands the program sets (31 Hz to 16 kHz, an octave apart), in decibels. The plugin's lowest
// band shelves everything below it, so it takes the mean of the two lowest bands: the 31 Hz
// band, nearest to none of the plugin's, still counts.
std::string EqControls(const std::array<int32_t, kBands>& gains) {
    constexpr double kPluginBands[15] = {50, 100, 156, 220, 311, 440, 622, 880, 1250, 1750, 2500, 3500, 5000, 10000, 20000};
    constexpr double kOurBands[kBands] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    std::string controls;
    for (double f : kPluginBands) {
        int32_t gain;
        if (f == kPluginBands[0]) {
            gain = static_cast<int32_t>(std::lround((gains[0] + gains[1]) / 2.0));
        } else {
            int nearest = 0;
            for (int i = 1; i < kBands; ++i) {
                if (std::fabs(std::log(f / kOurBands[i])) < std::fabs(std::log(f / kOurBands[nearest]))) nearest = i;
            }
            gain = gains[nearest];
        }
        if (!controls.empty()) controls += ',';
        controls += std::to_string(std::clamp(gain, -70, 30));
    }
    return controls;
}

}  // namespace vx::headset::pulse
