#include "link/SettingsBlocks.h"

#include <algorithm>

namespace {

uint8_t Low(uint16_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}
uint8_t High(uint16_t value) {
    return static_cast<uint8_t>(value >> 8);
}

uint8_t At(std::span<const uint8_t> bytes, size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}
uint16_t WordAt(std::span<const uint8_t> bytes, size_t index) {
    return static_cast<uint16_t>(At(bytes, index) | (At(bytes, index + 1) << 8));
}

// Bytes 1..8 are laid out alike in every block.
void StoreLight(std::span<uint8_t> block, const LightSettings& light, std::span<const uint8_t> modeTable,
                size_t modeLimit) {
    block[1] = ModeIndexToCode(modeTable, light.modeIndex, modeLimit);
    block[2] = light.brightness;
    block[3] = SpeedToDevice(light.speedLevel);
    block[4] = light.direction;
    block[5] = light.multiColour;
    block[6] = light.red;
    block[7] = light.green;
    block[8] = light.blue;
}

LightSettings LoadLight(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    LightSettings light;
    light.modeIndex = ModeCodeToIndex(modeTable, At(block, 1));
    light.brightness = At(block, 2);
    light.speedLevel = SpeedFromDevice(At(block, 3));
    light.direction = At(block, 4);
    light.multiColour = At(block, 5);
    light.red = At(block, 6);
    light.green = At(block, 7);
    light.blue = At(block, 8);
    return light;
}

constexpr size_t kMouseStageBase = 14;
constexpr size_t kMouseStageLength = 9;

}  // namespace

uint8_t SpeedToDevice(int level) {
    return static_cast<uint8_t>(kMaxSpeedLevel - std::clamp(level, 0, kMaxSpeedLevel));
}

int SpeedFromDevice(uint8_t value) {
    return kMaxSpeedLevel - std::min<int>(value, kMaxSpeedLevel);
}

uint8_t ModeIndexToCode(std::span<const uint8_t> modeTable, int index, size_t limit) {
    if (modeTable.empty()) return 0;
    if (index < 0 || static_cast<size_t>(index) >= std::min(limit, modeTable.size())) return modeTable[0];
    return modeTable[static_cast<size_t>(index)];
}

int ModeCodeToIndex(std::span<const uint8_t> modeTable, uint8_t code) {
    const auto found = std::find(modeTable.begin(), modeTable.end(), code);
    if (found == modeTable.end()) return code;
    return static_cast<int>(found - modeTable.begin());
}

KeyboardBlock BuildKeyboardBlock(const KeyboardSettings& settings, std::span<const uint8_t> modeTable) {
    KeyboardBlock block{};
    block[0] = settings.profile;
    StoreLight(block, settings.light, modeTable, kKeyboardModeLimit);
    block[16] = 0;
    block[18] = settings.modeOption;
    block[19] = Low(settings.wFlag);
    block[20] = Low(settings.key6Flag);
    block[21] = Low(settings.winFlag);
    block[22] = Low(settings.pollingRate);
    block[25] = settings.customGroup;
    return block;
}

KeyboardSettings ParseKeyboardBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    KeyboardSettings settings;
    settings.profile = At(block, 0);
    settings.light = LoadLight(block, modeTable);
    settings.modeOption = At(block, 18);
    settings.wFlag = At(block, 19);
    settings.key6Flag = At(block, 20);
    settings.winFlag = At(block, 21);
    settings.pollingRate = At(block, 22);
    settings.customGroup = At(block, 25);
    return settings;
}

MouseBlock BuildMouseBlock(const MouseSettings& settings, std::span<const uint8_t> modeTable) {
    MouseBlock block{};
    block[0] = settings.profile;
    StoreLight(block, settings.light, modeTable, kMouseModeLimit);
    block[9] = 0;
    block[11] = settings.reportRateStage;
    block[12] = settings.activeStage;
    for (size_t i = 0; i < kMouseDpiStages; ++i) {
        const DpiStageBlock& stage = settings.stages[i];
        uint8_t* at = block.data() + kMouseStageBase + kMouseStageLength * i;
        at[0] = stage.active;
        at[1] = stage.separateAxes;
        at[2] = Low(stage.dpiX);
        at[3] = High(stage.dpiX);
        at[4] = Low(stage.dpiY);
        at[5] = High(stage.dpiY);
        at[6] = stage.red;
        at[7] = stage.green;
        at[8] = stage.blue;
    }
    block[59] = settings.screenFlag;
    block[60] = Low(settings.screenWidth);
    block[61] = High(settings.screenWidth);
    block[62] = Low(settings.screenHeight);
    block[63] = High(settings.screenHeight);
    block[64] = settings.correctMinSq;
    block[65] = settings.correctPixThresh;
    return block;
}

MouseSettings ParseMouseBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    MouseSettings settings;
    settings.profile = At(block, 0);
    settings.light = LoadLight(block, modeTable);
    settings.reportRateStage = At(block, 11);
    settings.activeStage = At(block, 12);
    for (size_t i = 0; i < kMouseDpiStages; ++i) {
        const size_t at = kMouseStageBase + kMouseStageLength * i;
        DpiStageBlock& stage = settings.stages[i];
        stage.active = At(block, at);
        stage.separateAxes = At(block, at + 1);
        stage.dpiX = WordAt(block, at + 2);
        stage.dpiY = WordAt(block, at + 4);
        stage.red = At(block, at + 6);
        stage.green = At(block, at + 7);
        stage.blue = At(block, at + 8);
    }
    settings.screenFlag = At(block, 59);
    settings.screenWidth = WordAt(block, 60);
    settings.screenHeight = WordAt(block, 62);
    settings.correctMinSq = At(block, 64);
    settings.correctPixThresh = At(block, 65);
    return settings;
}

PadBlock BuildPadBlock(const PadBlock& record, std::span<const uint8_t> modeTable, size_t modeLimit) {
    PadBlock block = record;
    block[1] = ModeIndexToCode(modeTable, record[1], modeLimit);
    block[3] = SpeedToDevice(record[3]);
    return block;
}

PadBlock ParsePadBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    PadBlock record{};
    std::copy_n(block.begin(), std::min(block.size(), record.size()), record.begin());
    record[1] = static_cast<uint8_t>(ModeCodeToIndex(modeTable, record[1]));
    record[3] = static_cast<uint8_t>(SpeedFromDevice(record[3]));
    return record;
}
