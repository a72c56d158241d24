#include "devices/protocol/MouseSettingsBlock.h"

#include <algorithm>

using vx::link::BuildMouseBlock;
using vx::link::ModeCodeToIndex;
using vx::link::MouseBlock;
using vx::link::ParseMouseBlock;
using vx::link::kBlockLightFields;
using vx::profiles::CorrectInfo;

MouseBlock BuildMouseSettingsBlock(const MouseBlockSource& source, std::span<const uint8_t> modeTable) {
    MouseSettings settings;
    settings.profile = 0;
    settings.light = source.light;
    settings.reportRateStage = static_cast<uint8_t>(source.system.reportStage);
    settings.activeStage = static_cast<uint8_t>(source.activeStage);
    const size_t stages = std::min(source.stages.size(), kMouseDpiStages);
    std::copy_n(source.stages.begin(), stages, settings.stages.begin());
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
    record.block[1] = static_cast<uint8_t>(ModeCodeToIndex(modeTable, record.block[1]));
    record.block[9] = 0;
    return record;
}

LightInfo LightFromReadBlock(const MouseSettingsRecord& record, const LightInfo& previous) {
    // The record holds the mode index already; an empty mode table leaves it as it is.
    const MouseSettings read = ParseMouseBlock(record.block, {});
    LightInfo light = previous;
    vx::records::CopyFields(kBlockLightFields, read.light, light);
    return light;
}
