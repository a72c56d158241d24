// Every field a settings block carries comes back from the block it was written into. The records
// are filled with values that differ from their defaults and from each other, so that a field the
// builder writes but the parser skips (or the other way round) shows as a difference.

#include <gtest/gtest.h>

#include <vector>

#include "link/SettingsBlocks.h"

using vx::link::BuildKeyboardBlock;
using vx::link::BuildMouseBlock;
using vx::link::ParseKeyboardBlock;
using vx::link::ParseMouseBlock;
using vx::link::kMouseBlockReadLength;

namespace {

// Codes differ from their indexes, so that a missed translation in either direction shows.
const std::vector<uint8_t> kModeTable = {0x20, 0x21, 0x05, 0x07, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36};

LightInfo CarriedLight() {
    LightInfo light;
    light.selectItem = 6;
    light.light = 3;
    light.speed = 1;
    light.fx = 1;
    light.multiColor = 1;
    light.red = 0x11;
    light.green = 0x22;
    light.blue = 0x33;
    return light;
}

TEST(SettingsRecordRoundTrip, KeyboardBlockGivesBackEveryCarriedField) {
    KeyboardSettings settings;
    settings.profile = 3;
    settings.light = CarriedLight();
    settings.light.zzccLedMode = 7;
    settings.light.customGroup = 4;
    settings.system = {0, 0, 0x02, 0x03, 0x04, 0x05};

    KeyboardSettings back = ParseKeyboardBlock(BuildKeyboardBlock(settings, kModeTable), kModeTable);
    EXPECT_EQ(back, settings);

    // What the block does not carry (repeat rate and delay, the previous mode, the light-list
    // bytes) is not invented on the way back.
    settings.system.repeat = 9;
    settings.system.repeatDelay = 300;
    settings.light.oldLedmode = 2;
    settings.light.present = 1;
    back = ParseKeyboardBlock(BuildKeyboardBlock(settings, kModeTable), kModeTable);
    EXPECT_EQ(back.system.repeat, 0);
    EXPECT_EQ(back.system.repeatDelay, 0);
    EXPECT_EQ(back.light.oldLedmode, 0);
    EXPECT_EQ(back.light.present, 0);
}

TEST(SettingsRecordRoundTrip, MouseBlockGivesBackEveryField) {
    MouseSettings settings;
    settings.profile = 2;
    settings.light = CarriedLight();
    settings.reportRateStage = 3;
    settings.activeStage = 4;
    for (size_t i = 0; i < kMouseDpiStages; ++i) {
        const auto n = static_cast<uint8_t>(i + 1);
        settings.stages[i] = {n,
                              uint8_t(0x70 + n),
                              uint16_t(0x0100 * n + 0x10),
                              uint16_t(0x0200 * n + 0x20),
                              uint8_t(0x40 + n),
                              uint8_t(0x50 + n),
                              uint8_t(0x60 + n)};
    }
    settings.screenFlag = 5;
    settings.screenWidth = 0x0A00;
    settings.screenHeight = 0x05A0;
    settings.correctMinSq = 7;
    settings.correctPixThresh = 9;

    std::vector<uint8_t> read;
    for (uint8_t byte : BuildMouseBlock(settings, kModeTable)) read.push_back(byte);
    read.resize(kMouseBlockReadLength, 0xEE);  // the device's own bytes after the written ones
    EXPECT_EQ(ParseMouseBlock(read, kModeTable), settings);
}

}  // namespace
