#include "tools/frame-dump/FrameDumpOptions.h"

#include <cstdlib>
#include <sstream>

namespace vx::framedump {

namespace {

bool ToInt(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 0);
    return end != nullptr && *end == '\0' && value >= low && value <= high;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

// "RRGGBB" in hex.
bool ToColour(const std::string& text, uint8_t& r, uint8_t& g, uint8_t& b) {
    if (text.size() != 6) return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (end == nullptr || *end != '\0') return false;
    r = static_cast<uint8_t>(v >> 16);
    g = static_cast<uint8_t>(v >> 8);
    b = static_cast<uint8_t>(v);
    return true;
}

// FROM[-TO]:TYPE:SPEED:BRIGHTNESS:RRGGBB[:multi]
bool ParseArea(const std::string& text, std::vector<LightListEntry>& list) {
    const auto parts = Split(text, ':');
    if (parts.size() < 5 || parts.size() > 6) return false;
    const auto range = Split(parts[0], '-');
    long long from, to, type, speed, bright, multi = 0;
    if (range.empty() || range.size() > 2 || !ToInt(range[0], 0, 169, from)) return false;
    to = from;
    if (range.size() == 2 && !ToInt(range[1], from, 169, to)) return false;
    if (!ToInt(parts[1], 0, 255, type) || !ToInt(parts[2], 0, 4, speed) || !ToInt(parts[3], 0, 4, bright))
        return false;
    if (parts.size() == 6 && !ToInt(parts[5], 0, 1, multi)) return false;
    LightListEntry e;
    if (!ToColour(parts[4], e.red, e.green, e.blue)) return false;
    e.selectItem = static_cast<uint8_t>(type);
    e.speed = static_cast<uint8_t>(speed);
    e.light = static_cast<uint8_t>(bright);
    e.multiColor = static_cast<uint8_t>(multi);
    e.present = 1;
    if (list.size() < static_cast<size_t>(to) + 1) list.resize(static_cast<size_t>(to) + 1);
    for (long long i = from; i <= to; ++i) list[static_cast<size_t>(i)] = e;
    return true;
}

// EFFECT:TIME:SPEED:BRIGHTNESS:RRGGBB[:multi[:fx]]
bool ParseStep(const std::string& text, std::vector<LightStep>& steps) {
    const auto parts = Split(text, ':');
    if (parts.size() < 5 || parts.size() > 7) return false;
    long long effect, time, speed, bright, multi = 0, fx = 0;
    if (!ToInt(parts[0], 0, 255, effect) || !ToInt(parts[1], 0, INT32_MAX, time) ||
        !ToInt(parts[2], 0, 4, speed) || !ToInt(parts[3], 0, 4, bright))
        return false;
    if (parts.size() >= 6 && !ToInt(parts[5], 0, 1, multi)) return false;
    if (parts.size() == 7 && !ToInt(parts[6], 0, 1, fx)) return false;
    LightStep s;
    if (!ToColour(parts[4], s.light.red, s.light.green, s.light.blue)) return false;
    s.light.selectItem = static_cast<uint8_t>(effect);
    s.light.speed = static_cast<uint8_t>(speed);
    s.light.light = static_cast<uint8_t>(bright);
    s.light.multiColor = static_cast<uint8_t>(multi);
    s.light.fx = static_cast<uint8_t>(fx);
    s.time = static_cast<int32_t>(time);
    steps.push_back(s);
    return true;
}

// LED:PASS[:RELEASEPASS]
bool ParsePress(const std::string& text, std::vector<KeyPress>& presses) {
    const auto parts = Split(text, ':');
    if (parts.size() < 2 || parts.size() > 3) return false;
    long long led, pass, release = -1;
    if (!ToInt(parts[0], 0, 169, led) || !ToInt(parts[1], 0, INT32_MAX, pass)) return false;
    if (parts.size() == 3 && !ToInt(parts[2], pass, INT32_MAX, release)) return false;
    presses.push_back({static_cast<int>(led), static_cast<int>(pass), static_cast<int>(release)});
    return true;
}

}  // namespace

const char* FrameDumpUsage() {
    return "usage: vx-frame-dump [options]\n"
           "Runs one device class's software lighting without a device and prints each LED frame as\n"
           "one JSON line: {\"pass\":N,\"ms\":T,\"leds\":[[r,g,b,brightness],...]}.\n"
           "  --device keyboard|mouse|mousepad   device class (keyboard)\n"
           "  --mode N --brightness 0-4 --speed 0-4 --direction 0|1 --multi 0|1\n"
           "  --colour RRGGBB --option N         lighting parameters (mode 0, level 4, 4, 1, 0, ffffff)\n"
           "  --audio-style N --fg RRGGBB --bg RRGGBB --seven 0|1   keyboard audio lighting (mode 21)\n"
           "  --levels silence|sweep|N           audio band levels, handed over every --audio-every MS (20)\n"
           "  --companion R,G,B                  mode 31's colour\n"
           "  --area FROM[-TO]:TYPE:SPEED:BRIGHT:RRGGBB[:multi]   light-list entries (repeatable)\n"
           "  --step EFFECT:TIME:SPEED:BRIGHT:RRGGBB[:multi[:fx]]   custom light steps (repeatable)\n"
           "  --press LED:PASS[:RELEASE]         a key press fed to the key-reaction modes (repeatable)\n"
           "  --passes N (200) --step-ms MS (the class's pass period) --start-ms MS --seed N (1)\n"
           "  --every K                          print every K-th frame (1)\n"
           "  --ppm FILE                         also draw the printed frames as a strip (binary PPM)\n"
           "Example, diamond ripple from the G key, every 12th pass as a picture:\n"
           "  vx-frame-dump --mode 8 --speed 4 --multi 1 --press 68:0 --passes 144 --step-ms 2 \\\n"
           "      --every 12 --ppm ripple.ppm > ripple.jsonl && convert ripple.ppm ripple.png\n";
}

int ParseFrameDumpOptions(const std::vector<std::string>& args, FrameDumpOptions& o, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") return 0;
        if (i + 1 >= args.size()) {
            error = "missing value after " + name;
            return -1;
        }
        const std::string& value = args[++i];
        long long n = 0;
        bool ok = true;
        auto byte = [&](uint8_t& field, long long high) {
            ok = ToInt(value, 0, high, n);
            if (ok) field = static_cast<uint8_t>(n);
        };
        auto integer = [&](int& field, long long low, long long high) {
            ok = ToInt(value, low, high, n);
            if (ok) field = static_cast<int>(n);
        };
        if (name == "--device") {
            if (value == "keyboard")
                o.device = DeviceClass::Keyboard;
            else if (value == "mouse")
                o.device = DeviceClass::Mouse;
            else if (value == "mousepad")
                o.device = DeviceClass::MousePad;
            else
                ok = false;
        } else if (name == "--mode")
            byte(o.light.selectItem, 255);
        else if (name == "--brightness")
            byte(o.light.light, 255);
        else if (name == "--speed")
            byte(o.light.speed, 255);
        else if (name == "--direction")
            byte(o.light.fx, 255);
        else if (name == "--multi")
            byte(o.light.multiColor, 1);
        else if (name == "--option")
            byte(o.light.zzccLedMode, 255);
        else if (name == "--colour")
            ok = ToColour(value, o.light.red, o.light.green, o.light.blue);
        else if (name == "--audio-style")
            byte(o.audio.audioMode, 255);
        else if (name == "--seven")
            byte(o.audio.sevenColorFlags, 1);
        else if (name == "--fg")
            ok = ToColour(value, o.audio.fgRed, o.audio.fgGreen, o.audio.fgBlue);
        else if (name == "--bg")
            ok = ToColour(value, o.audio.bkRed, o.audio.bkGreen, o.audio.bkBlue);
        else if (name == "--levels") {
            if (value == "silence")
                o.levels = LevelSource::Silence;
            else if (value == "sweep")
                o.levels = LevelSource::Sweep;
            else if ((ok = ToInt(value, INT32_MIN, INT32_MAX, n))) {
                o.levels = LevelSource::Constant;
                o.constantLevel = static_cast<int32_t>(n);
            }
        } else if (name == "--audio-every")
            integer(o.audioEveryMs, 1, 100000);
        else if (name == "--companion") {
            const auto parts = Split(value, ',');
            ok = parts.size() == 3;
            for (size_t k = 0; ok && k < 3; ++k) {
                ok = ToInt(parts[k], INT32_MIN, INT32_MAX, n);
                o.companion[k] = static_cast<int32_t>(n);
            }
        } else if (name == "--area")
            ok = ParseArea(value, o.lightList);
        else if (name == "--step")
            ok = ParseStep(value, o.steps);
        else if (name == "--press")
            ok = ParsePress(value, o.presses);
        else if (name == "--passes")
            integer(o.passes, 0, 10000000);
        else if (name == "--step-ms")
            integer(o.stepMs, 0, 100000);
        else if (name == "--every")
            integer(o.every, 1, 10000000);
        else if (name == "--start-ms") {
            ok = ToInt(value, 0, UINT32_MAX, n);
            o.startMs = static_cast<uint32_t>(n);
        } else if (name == "--seed") {
            ok = ToInt(value, 0, UINT32_MAX, n);
            o.seed = static_cast<uint32_t>(n);
        } else if (name == "--ppm")
            o.ppmPath = value;
        else {
            error = "unknown option " + name;
            return -1;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return -1;
        }
    }
    return 1;
}

}  // namespace vx::framedump
