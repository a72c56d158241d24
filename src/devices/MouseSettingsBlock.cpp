#include "devices/MouseSettingsBlock.h"

#include <algorithm>

namespace {

LightSettings LightSettingsOf(const LightInfo& light) {
    LightSettings settings;
    settings.modeIndex = light.selectItem;
    settings.brightness = light.light;
    settings.speedLevel = light.speed;
    settings.direction = light.fx;
    settings.multiColour = light.multiColor;
    settings.red = light.red;
    settings.green = light.green;
    settings.blue = light.blue;
    return settings;
}

DpiStageBlock StageBlockOf(const DpiStage& stage) {
    DpiStageBlock block;
    block.active = stage.active;
    block.separateAxes = stage.xy;
    block.dpiX = stage.dpiX;
    block.dpiY = stage.dpiY;
    block.red = stage.red;
    block.green = stage.green;
    block.blue = stage.blue;
    return block;
}

}  // namespace

MouseBlock BuildMouseSettingsBlock(const MouseBlockSource& source, std::span<const uint8_t> modeTable) {
    MouseSettings settings;
    settings.profile = 0;
    settings.light = LightSettingsOf(source.light);
    settings.reportRateStage = static_cast<uint8_t>(source.system.reportStage);
    settings.activeStage = static_cast<uint8_t>(source.activeStage);
    const size_t stages = std::min(source.stages.size(), kMouseDpiStages);
    for (size_t i = 0; i < stages; ++i) settings.stages[i] = StageBlockOf(source.stages[i]);
    settings.screenFlag = 1;
    settings.screenWidth = source.screenWidth;
    settings.screenHeight = source.screenHeight;
    // Two presets may both carry the flag in a hand-edited profile; the first one is meant.
    const auto selected = std::find_if(source.presets.begin(), source.presets.end(),
                                       [](const CorrectInfo& preset) { return preset.select != 0; });
    if (selected != source.presets.end()) {
        settings.correctMinSq = selected->minSq;
        settings.correctPixThresh = selected->pixThresh;
    }
    return BuildMouseBlock(settings, modeTable);
}

MouseSettingsRecord TranslateReadBlock(uint8_t profile, std::span<const uint8_t> deviceBlock,
                                       std::span<const uint8_t> modeTable) {
    MouseSettingsRecord record;
    record.profile = profile;
    const size_t length = std::min(deviceBlock.size(), record.block.size());
    std::copy_n(deviceBlock.begin(), length, record.block.begin());
    const int index = ModeCodeToIndex(modeTable, record.block[1]);
    record.block[1] = static_cast<uint8_t>(index);
    record.block[9] = 0;
    return record;
}

LightInfo LightFromReadBlock(const MouseSettingsRecord& record, const LightInfo& previous) {
    LightInfo light = previous;
    const MouseReadBlock& block = record.block;
    light.selectItem = block[1];
    light.light = block[2];
    light.speed = static_cast<uint8_t>(SpeedFromDevice(block[3]));
    light.fx = block[4];
    light.multiColor = block[5];
    light.red = block[6];
    light.green = block[7];
    light.blue = block[8];
    return light;
}
