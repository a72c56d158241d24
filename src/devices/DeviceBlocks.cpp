#include "devices/DeviceBlocks.h"

#include "link/SettingsBlocks.h"

std::array<uint8_t, 64> EncodeKeyboardBlock(const KeyboardBlockInput& input,
                                            std::span<const uint8_t> modeTable) {
    KeyboardSettings settings;
    settings.profile = input.profile;
    settings.light.modeIndex = input.modeIndex;
    settings.light.brightness = input.brightness;
    settings.light.speedLevel = input.speedLevel;
    settings.light.direction = input.direction;
    settings.light.multiColour = input.multiColour;
    settings.light.red = input.red;
    settings.light.green = input.green;
    settings.light.blue = input.blue;
    settings.modeOption = input.modeOption;
    settings.customGroup = input.customGroup;
    settings.wFlag = input.wFlag;
    settings.key6Flag = input.key6Flag;
    settings.winFlag = input.winFlag;
    settings.pollingRate = input.pollingRate;
    return BuildKeyboardBlock(settings, modeTable);
}

std::array<uint8_t, 21> EncodePadBlock(const std::array<uint8_t, 21>& record,
                                       std::span<const uint8_t> modeTable, size_t limit) {
    return BuildPadBlock(record, modeTable, limit);
}

std::array<uint8_t, 21> DecodePadBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    return ParsePadBlock(block, modeTable);
}

int SpeedLevelFromDevice(uint8_t value) {
    return SpeedFromDevice(value);
}
