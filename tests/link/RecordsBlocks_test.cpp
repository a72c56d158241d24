#include "link/SettingsBlocks.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using vx::link::BuildKeyboardBlock;
using vx::link::BuildMouseBlock;
using vx::link::BuildPadBlock;
using vx::link::KeyboardBlock;
using vx::link::ModeCodeToIndex;
using vx::link::ModeIndexToCode;
using vx::link::MouseBlock;
using vx::link::PadBlock;
using vx::link::ParseKeyboardBlock;
using vx::link::ParseMouseBlock;
using vx::link::ParsePadBlock;
using vx::link::SpeedFromDevice;
using vx::link::SpeedToDevice;
using vx::link::kHeadsetModeLimit;
using vx::link::kKeyboardModeLimit;
using vx::link::kMouseBlockReadLength;
using vx::link::kMouseModeLimit;

namespace {

// A light-mode table whose codes differ from their indexes, so that a missed translation shows.
const std::vector<uint8_t> kModeTable = {
    0x20, 0x21, 0x05, 0x07, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C,
    0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D};

TEST(SpeedAndModeTranslationTest, SpeedIsInvertedBothWaysAndKeptInRange) {
    EXPECT_EQ(SpeedToDevice(0), 4);
    EXPECT_EQ(SpeedToDevice(1), 3);
    EXPECT_EQ(SpeedToDevice(4), 0);
    EXPECT_EQ(SpeedFromDevice(0), 4);
    EXPECT_EQ(SpeedFromDevice(3), 1);
    // A corrupt profile or device byte must not wrap into 0xFF or a negative level.
    EXPECT_EQ(SpeedToDevice(7), 0);
    EXPECT_EQ(SpeedToDevice(-2), 4);
    EXPECT_EQ(SpeedFromDevice(200), 0);
}

TEST(SpeedAndModeTranslationTest, ModeIndexBeyondTableOrLimitUsesEntryZero) {
    EXPECT_EQ(ModeIndexToCode(kModeTable, 2), 0x05);
    EXPECT_EQ(ModeIndexToCode(kModeTable, 40), 0x20);
    EXPECT_EQ(ModeIndexToCode(kModeTable, -1), 0x20);
    EXPECT_EQ(ModeIndexToCode(kModeTable, 30, kKeyboardModeLimit), 0x4A);
    EXPECT_EQ(ModeIndexToCode(kModeTable, 31, kKeyboardModeLimit), 0x20);
    EXPECT_EQ(ModeIndexToCode(kModeTable, 12, kMouseModeLimit), 0x20);
    EXPECT_EQ(ModeIndexToCode({}, 3), 0);
}

TEST(SpeedAndModeTranslationTest, ModeCodeFindsFirstEntryOrStaysUnchanged) {
    const std::vector<uint8_t> table = {0x10, 0x11, 0x10, 0x12};
    EXPECT_EQ(ModeCodeToIndex(table, 0x10), 0);
    EXPECT_EQ(ModeCodeToIndex(table, 0x12), 3);
    EXPECT_EQ(ModeCodeToIndex(table, 0x99), 0x99);
}

KeyboardSettings SampleKeyboard() {
    KeyboardSettings s;
    s.light = {3, 4, 1, 2, 1, 0xAA, 0xBB, 0xCC};
    s.light.zzccLedMode = 0x09;
    s.system.wFlag = 0x0101;  // only the low byte travels
    s.system.key6Flag = 1;
    s.system.winFlag = 1;
    s.system.pollingRate = 3;
    s.light.customGroup = 2;
    return s;
}

TEST(KeyboardBlockTest, BytesAtTheirPlacesAndEverythingElseZero) {
    const KeyboardBlock block = BuildKeyboardBlock(SampleKeyboard(), kModeTable);
    std::array<uint8_t, 64> expected{};
    expected[1] = 0x07;  // entry 3
    expected[2] = 4;
    expected[3] = 3;  // 4 - 1
    expected[4] = 2;
    expected[5] = 1;
    expected[6] = 0xAA;
    expected[7] = 0xBB;
    expected[8] = 0xCC;
    expected[18] = 0x09;
    expected[19] = 0x01;
    expected[20] = 1;
    expected[21] = 1;
    expected[22] = 3;
    expected[25] = 2;
    EXPECT_EQ(block, expected);
}

TEST(KeyboardBlockTest, ModeIndexFortyCarriesEntryZero) {
    KeyboardSettings s = SampleKeyboard();
    s.light.selectItem = 40;
    EXPECT_EQ(BuildKeyboardBlock(s, kModeTable)[1], 0x20);
    // Index 32 exists in this table, yet the keyboard never has more than 31 modes.
    s.light.selectItem = 32;
    EXPECT_EQ(BuildKeyboardBlock(s, kModeTable)[1], 0x20);
}

TEST(KeyboardBlockTest, ParseUndoesTranslation) {
    KeyboardBlock block = BuildKeyboardBlock(SampleKeyboard(), kModeTable);
    block[0] = 2;
    const KeyboardSettings back = ParseKeyboardBlock(block, kModeTable);
    EXPECT_EQ(back.profile, 2);
    EXPECT_EQ(back.light.selectItem, 3);
    EXPECT_EQ(back.light.speed, 1);
    EXPECT_EQ(back.light.blue, 0xCC);
    EXPECT_EQ(back.light.zzccLedMode, 0x09);
    EXPECT_EQ(back.system.pollingRate, 3);
    EXPECT_EQ(back.light.customGroup, 2);
    // A short read leaves the missing fields zero instead of reading past the buffer.
    const std::vector<uint8_t> shortBlock(block.begin(), block.begin() + 9);
    EXPECT_EQ(ParseKeyboardBlock(shortBlock, kModeTable).light.customGroup, 0);
}

TEST(MouseBlockTest, StagesScreenAndCorrectionAtTheirPlaces) {
    MouseSettings s;
    s.light = {1, 3, 4, 0, 0, 1, 2, 3};
    s.reportRateStage = 2;
    s.activeStage = 1;
    s.stages[0] = {1, 0, 800, 800, 0xFF, 0, 0};
    s.stages[4] = {1, 1, 0x1234, 0x0640, 0, 0xFF, 0x10};
    s.screenWidth = 2560;
    s.screenHeight = 1440;
    s.correctMinSq = 7;
    s.correctPixThresh = 9;
    const MouseBlock block = BuildMouseBlock(s, kModeTable);
    ASSERT_EQ(block.size(), 66u);
    EXPECT_EQ(block[1], 0x21);
    EXPECT_EQ(block[3], 0);
    EXPECT_EQ(block[9], 0);
    EXPECT_EQ(block[11], 2);
    EXPECT_EQ(block[12], 1);
    const std::array<uint8_t, 9> stage0 = {1, 0, 0x20, 0x03, 0x20, 0x03, 0xFF, 0, 0};
    const std::array<uint8_t, 9> stage4 = {1, 1, 0x34, 0x12, 0x40, 0x06, 0, 0xFF, 0x10};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(block[14 + i], stage0[i]) << i;
        EXPECT_EQ(block[14 + 36 + i], stage4[i]) << i;
    }
    for (size_t i = 23; i < 50; ++i) EXPECT_EQ(block[i], 0) << "absent stage byte " << i;
    EXPECT_EQ(block[59], 1);
    EXPECT_EQ(block[60], 0x00);
    EXPECT_EQ(block[61], 0x0A);
    EXPECT_EQ(block[62], 0xA0);
    EXPECT_EQ(block[63], 0x05);
    EXPECT_EQ(block[64], 7);
    EXPECT_EQ(block[65], 9);

    std::vector<uint8_t> read(block.begin(), block.end());
    read.resize(kMouseBlockReadLength, 0);
    const MouseSettings back = ParseMouseBlock(read, kModeTable);
    EXPECT_EQ(back.light.selectItem, 1);
    EXPECT_EQ(back.light.speed, 4);
    EXPECT_EQ(back.stages[4].dpiX, 0x1234);
    EXPECT_EQ(back.stages[4].dpiY, 0x0640);
    EXPECT_EQ(back.screenWidth, 2560);
}

TEST(MouseBlockTest, ModeIndexTwelveCarriesEntryZero) {
    MouseSettings s;
    s.light.selectItem = 12;
    EXPECT_EQ(BuildMouseBlock(s, kModeTable)[1], 0x20);
    s.light.selectItem = 11;
    EXPECT_EQ(BuildMouseBlock(s, kModeTable)[1], 0x37);
}

TEST(PadBlockTest, TranslatesModeAndSpeedAndKeepsTheRest) {
    PadBlock record{};
    for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(0x60 + i);
    record[0] = 0;
    record[1] = 2;
    record[3] = 1;
    const PadBlock block = BuildPadBlock(record, kModeTable, kHeadsetModeLimit);
    EXPECT_EQ(block[1], 0x05);
    EXPECT_EQ(block[3], 3);
    EXPECT_EQ(block[20], 0x60 + 20);
    EXPECT_EQ(block[9], 0x60 + 9);
    record[1] = 9;
    EXPECT_EQ(BuildPadBlock(record, kModeTable, kHeadsetModeLimit)[1], 0x20);

    const PadBlock back = ParsePadBlock(block, kModeTable);
    EXPECT_EQ(back[1], 2);
    EXPECT_EQ(back[3], 1);
    EXPECT_EQ(back[20], 0x60 + 20);
}

}  // namespace
