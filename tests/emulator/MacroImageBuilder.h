#pragma once
// Builds macro and shoot images in the program's layout, for tests.

#include <cstdint>
#include <vector>

#include "emulator/MacroImage.h"

inline std::vector<uint8_t> BuildMacroImage(const std::vector<vx::emulator::MacroRecord>& records) {
    size_t total = 16 + 2 * records.size();
    for (const vx::emulator::MacroRecord& record : records) total += 4 + 4 * record.size();
    std::vector<uint8_t> image(16, 0);
    image[0] = 0xAA;
    image[1] = 0x55;
    image[2] = static_cast<uint8_t>(total & 0xFF);
    image[3] = static_cast<uint8_t>(total >> 8);
    image[4] = static_cast<uint8_t>(records.size() & 0xFF);
    image[5] = static_cast<uint8_t>(records.size() >> 8);
    size_t offset = 16 + 2 * records.size();
    for (const vx::emulator::MacroRecord& record : records) {
        image.push_back(static_cast<uint8_t>(offset & 0xFF));
        image.push_back(static_cast<uint8_t>(offset >> 8));
        offset += 4 + 4 * record.size();
    }
    for (const vx::emulator::MacroRecord& record : records) {
        image.push_back(static_cast<uint8_t>(record.size() & 0xFF));
        image.push_back(static_cast<uint8_t>(record.size() >> 8));
        image.push_back(0);
        image.push_back(0);
        for (const vx::emulator::MacroImageEvent& event : record) {
            image.push_back(static_cast<uint8_t>(event.delay & 0xFF));
            image.push_back(static_cast<uint8_t>(event.delay >> 8));
            image.push_back(static_cast<uint8_t>((event.type & 0x7F) | (event.down ? 0x80 : 0)));
            image.push_back(event.button);
        }
    }
    return image;
}

inline vx::emulator::MacroRecord KeyTap(uint8_t key, uint16_t delay, size_t taps) {
    vx::emulator::MacroRecord record;
    for (size_t i = 0; i < taps; ++i) {
        record.push_back({delay, 1, true, key});
        record.push_back({delay, 1, false, key});
    }
    return record;
}
