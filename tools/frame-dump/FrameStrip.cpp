#include "tools/frame-dump/FrameStrip.h"

#include <array>
#include <fstream>

#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/LedFrame.h"

namespace vx::framedump {

using namespace vx::lighting;

namespace {

constexpr int kCell = 12;
constexpr int kGap = 2;
constexpr int kFrameGap = 6;

struct Place {
    int column = -1;
    int row = -1;
};

// Where each keyboard LED is drawn: the layout map first, then the column map's extra keys.
std::array<Place, kKeyboardLeds> KeyboardPlaces() {
    std::array<Place, kKeyboardLeds> places{};
    for (int i = 0; i < kColumns; ++i) {
        for (int j = 0; j < kLayoutCells; ++j) {
            const uint8_t n = kLayoutMap[i][j];
            if (NamesLed(n) && places[n].column < 0) places[n] = {i, j};
        }
    }
    for (int i = 0; i < kColumns; ++i) {
        for (int j = 0; j < kColumnCells; ++j) {
            const uint8_t n = kColumnMap[i][j];
            if (NamesLed(n) && places[n].column < 0) places[n] = {i, kLayoutCells};
        }
    }
    return places;
}

}  // namespace

int FrameStrip::WritePpm(const std::string& path, DeviceClass device, const std::vector<DumpedFrame>& frames) {
    const bool keyboard = device == DeviceClass::Keyboard;
    const int columns = keyboard ? kColumns : 15;
    const int rows = keyboard ? kLayoutCells + 1 : 1;
    const int frameHeight = rows * kCell + kFrameGap;
    const int width = columns * kCell;
    const int height = static_cast<int>(frames.size()) * frameHeight;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3, 24);
    const auto places = KeyboardPlaces();
    for (size_t f = 0; f < frames.size(); ++f) {
        const int top = static_cast<int>(f) * frameHeight;
        for (size_t led = 0; led < frames[f].leds.size(); ++led) {
            Place p{static_cast<int>(led), 0};
            if (keyboard) p = led < places.size() ? places[led] : Place{};
            if (p.column < 0 || p.column >= columns) continue;
            const LedEntry e = LedEntry::Unpack(frames[f].leds[led]);
            const uint8_t rgb[3] = {static_cast<uint8_t>(e.red * e.brightness / 256),
                                    static_cast<uint8_t>(e.green * e.brightness / 256),
                                    static_cast<uint8_t>(e.blue * e.brightness / 256)};
            for (int y = 0; y < kCell - kGap; ++y) {
                for (int x = 0; x < kCell - kGap; ++x) {
                    const size_t at = (static_cast<size_t>(top + p.row * kCell + y) * width + p.column * kCell + x) * 3;
                    for (int c = 0; c < 3; ++c) pixels[at + c] = rgb[c];
                }
            }
        }
    }
    std::ofstream out(path, std::ios::binary);
    if (!out) return -1;
    out << "P6\n" << width << ' ' << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return out ? 1 : -1;
}

}  // namespace vx::framedump
