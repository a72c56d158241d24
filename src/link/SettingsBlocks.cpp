#include "link/SettingsBlocks.h"

#include <algorithm>

namespace vx::link {

namespace {

using vx::records::Member;

uint8_t At(std::span<const uint8_t> bytes, size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}

// What a codec needs besides the value: the light-mode table and the first index it cannot take.
struct Translation {
    std::span<const uint8_t> modeTable;
    size_t modeLimit = SIZE_MAX;
};

template <class Record, size_t N>
void Store(std::span<uint8_t> block, size_t base, const std::array<BlockField<Record>, N>& table,
           const Record& record, const Translation& t) {
    for (const BlockField<Record>& entry : table) {
        int64_t value = entry.field.get(record);
        if (entry.codec == BlockCodec::ModeCode)
            value = ModeIndexToCode(t.modeTable, static_cast<int>(value), t.modeLimit);
        else if (entry.codec == BlockCodec::Speed)
            value = SpeedToDevice(static_cast<int>(value));
        for (size_t i = 0; i < entry.width; ++i)
            block[base + entry.offset + i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    }
}

// Bytes beyond the end of `block` read as 0, so that a short read cannot reach past the buffer.
template <class Record, size_t N>
void Load(std::span<const uint8_t> block, size_t base, const std::array<BlockField<Record>, N>& table,
          Record& record, const Translation& t) {
    for (const BlockField<Record>& entry : table) {
        int64_t value = 0;
        for (size_t i = 0; i < entry.width; ++i)
            value |= int64_t(At(block, base + entry.offset + i)) << (8 * i);
        if (entry.codec == BlockCodec::ModeCode)
            value = ModeCodeToIndex(t.modeTable, static_cast<uint8_t>(value));
        else if (entry.codec == BlockCodec::Speed)
            value = SpeedFromDevice(static_cast<uint8_t>(value));
        entry.field.set(record, value);
    }
}

// ---- keyboard: 64 bytes ----

constexpr std::array<BlockField<KeyboardSettings>, 1> kKeyboardFields{{
    {0, 1, BlockCodec::Plain, Member<&KeyboardSettings::profile>()},
}};

// Only the low byte of each flag travels.
constexpr std::array<BlockField<KeyboardSystemStages>, 4> kKeyboardSystemFields{{
    {19, 1, BlockCodec::Plain, Member<&KeyboardSystemStages::wFlag>()},
    {20, 1, BlockCodec::Plain, Member<&KeyboardSystemStages::key6Flag>()},
    {21, 1, BlockCodec::Plain, Member<&KeyboardSystemStages::winFlag>()},
    {22, 1, BlockCodec::Plain, Member<&KeyboardSystemStages::pollingRate>()},
}};

// ---- mouse: 66 bytes written, 71 read ----

constexpr std::array<BlockField<MouseSettings>, 8> kMouseFields{{
    {0, 1, BlockCodec::Plain, Member<&MouseSettings::profile>()},
    {11, 1, BlockCodec::Plain, Member<&MouseSettings::reportRateStage>()},
    {12, 1, BlockCodec::Plain, Member<&MouseSettings::activeStage>()},
    {59, 1, BlockCodec::Plain, Member<&MouseSettings::screenFlag>()},
    {60, 2, BlockCodec::Plain, Member<&MouseSettings::screenWidth>()},
    {62, 2, BlockCodec::Plain, Member<&MouseSettings::screenHeight>()},
    {64, 1, BlockCodec::Plain, Member<&MouseSettings::correctMinSq>()},
    {65, 1, BlockCodec::Plain, Member<&MouseSettings::correctPixThresh>()},
}};

// Five stages of nine bytes from byte 14.
constexpr size_t kMouseStageBase = 14;
constexpr size_t kMouseStageLength = 9;
constexpr std::array<BlockField<DpiStage>, 7> kDpiStageFields{{
    {0, 1, BlockCodec::Plain, Member<&DpiStage::active>()},
    {1, 1, BlockCodec::Plain, Member<&DpiStage::xy>()},
    {2, 2, BlockCodec::Plain, Member<&DpiStage::dpiX>()},
    {4, 2, BlockCodec::Plain, Member<&DpiStage::dpiY>()},
    {6, 1, BlockCodec::Plain, Member<&DpiStage::red>()},
    {7, 1, BlockCodec::Plain, Member<&DpiStage::green>()},
    {8, 1, BlockCodec::Plain, Member<&DpiStage::blue>()},
}};

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
    const Translation t{modeTable, kKeyboardModeLimit};
    Store(block, 0, kKeyboardFields, settings, t);
    Store(block, 0, kBlockLightFields, settings.light, t);
    Store(block, 0, kKeyboardBlockLightExtras, settings.light, t);
    Store(block, 0, kKeyboardSystemFields, settings.system, t);
    return block;
}

KeyboardSettings ParseKeyboardBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    KeyboardSettings settings;
    const Translation t{modeTable};
    Load(block, 0, kKeyboardFields, settings, t);
    Load(block, 0, kBlockLightFields, settings.light, t);
    Load(block, 0, kKeyboardBlockLightExtras, settings.light, t);
    Load(block, 0, kKeyboardSystemFields, settings.system, t);
    return settings;
}

MouseBlock BuildMouseBlock(const MouseSettings& settings, std::span<const uint8_t> modeTable) {
    MouseBlock block{};
    const Translation t{modeTable, kMouseModeLimit};
    Store(block, 0, kMouseFields, settings, t);
    Store(block, 0, kBlockLightFields, settings.light, t);
    for (size_t i = 0; i < kMouseDpiStages; ++i)
        Store(block, kMouseStageBase + kMouseStageLength * i, kDpiStageFields, settings.stages[i], t);
    return block;
}

MouseSettings ParseMouseBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable) {
    MouseSettings settings;
    const Translation t{modeTable};
    Load(block, 0, kMouseFields, settings, t);
    Load(block, 0, kBlockLightFields, settings.light, t);
    for (size_t i = 0; i < kMouseDpiStages; ++i)
        Load(block, kMouseStageBase + kMouseStageLength * i, kDpiStageFields, settings.stages[i], t);
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

}  // namespace vx::link
