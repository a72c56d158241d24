#pragma once
// The settings blocks of the keyboard and the mousepad as the pages fill them. The link layer's
// block types share names with the profile records (and its headers use words that Qt reserves),
// so the pages reach them only through this header, which includes neither.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

struct KeyboardBlockInput {
    uint8_t profile = 0;
    int modeIndex = 0;
    uint8_t brightness = 0;
    int speedLevel = 0;
    uint8_t direction = 0;
    uint8_t multiColour = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t modeOption = 0;
    uint8_t customGroup = 0;
    uint16_t wFlag = 0;
    uint16_t key6Flag = 0;
    uint16_t winFlag = 0;
    uint16_t pollingRate = 0;
};

std::array<uint8_t, 64> EncodeKeyboardBlock(const KeyboardBlockInput& input,
                                            std::span<const uint8_t> modeTable);
// record: mode index in byte 1, speed level in byte 3; the block gets the code and the device's
// speed byte. limit: the first mode index the device cannot take.
std::array<uint8_t, 21> EncodePadBlock(const std::array<uint8_t, 21>& record,
                                       std::span<const uint8_t> modeTable, size_t limit);
// The block as read: mode code to index (the code stays when no entry matches), speed byte to level.
std::array<uint8_t, 21> DecodePadBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable);
int SpeedLevelFromDevice(uint8_t value);
