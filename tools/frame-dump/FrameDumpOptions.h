#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/lighting/LightingRecords.h"

namespace vx::framedump {

enum class DeviceClass { Keyboard, Mouse, MousePad };
enum class LevelSource { None, Silence, Constant, Sweep };

struct KeyPress {
    int led = 0;
    int pass = 0;
    int releasePass = -1;  // -1: held
};

// Everything one run of the frame dump needs; parsed from the command line.
struct FrameDumpOptions {
    FrameDumpOptions() {
        light.light = 4;
        light.speed = 4;
        light.fx = 1;
        light.red = light.green = light.blue = 255;
    }

    DeviceClass device = DeviceClass::Keyboard;
    LightInfo light;
    AudioLightInfo audio;
    LevelSource levels = LevelSource::None;
    int32_t constantLevel = 0;
    int audioEveryMs = 20;
    int32_t companion[6] = {0, 0, 0, 0, 0, 0};
    std::vector<LightListEntry> lightList;
    std::vector<LightStep> steps;
    std::vector<KeyPress> presses;
    int passes = 200;
    int stepMs = 0;  // 0: the device class's pass period
    uint32_t startMs = 100000;
    uint32_t seed = 1;
    int every = 1;
    std::string ppmPath;  // also write the printed frames as a picture strip
};

// Parses the arguments (without the program name). Returns 1 on success, 0 when help was asked
// for, -1 on a bad argument with the reason in error.
int ParseFrameDumpOptions(const std::vector<std::string>& args, FrameDumpOptions& options,
                          std::string& error);
const char* FrameDumpUsage();

}  // namespace vx::framedump
