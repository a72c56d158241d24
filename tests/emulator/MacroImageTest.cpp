#include "emulator/MacroImage.h"

#include <gtest/gtest.h>

#include "MacroImageBuilder.h"

using vx::emulator::CheckMacroImage;
using vx::emulator::DecodeMacroImage;
using vx::emulator::MacroImageCheck;
using vx::emulator::MacroRecord;

namespace {

TEST(MacroImage, FiveMacrosOfTenEventsMake246ValidBytes) {
    std::vector<MacroRecord> records(5, KeyTap(0x04, 30, 5));
    const std::vector<uint8_t> image = BuildMacroImage(records);
    ASSERT_EQ(image.size(), 246u);
    EXPECT_EQ(CheckMacroImage(image), MacroImageCheck::Valid);
    EXPECT_EQ(CheckMacroImage(image, 5), MacroImageCheck::Valid);
    EXPECT_EQ(CheckMacroImage(image, 4), MacroImageCheck::BadCount);
}

TEST(MacroImage, DecodesEventsWithTheirDownBit) {
    MacroRecord first = {{100, 1, true, 0x29}, {250, 1, false, 0x29}};
    MacroRecord second = {{0x1234, 2, true, 0x01}};
    const auto image = BuildMacroImage({first, second});
    const auto records = DecodeMacroImage(image);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], first);
    EXPECT_EQ(records[1], second);
    EXPECT_EQ(image[16 + 4 + 4 + 2], 0x81);  // type 1 with bit 7 for "down"
}

TEST(MacroImage, EmptyImageClearsMacros) {
    EXPECT_EQ(CheckMacroImage(BuildMacroImage({})), MacroImageCheck::Valid);
}

TEST(MacroImage, RejectsEachKindOfDamage) {
    const auto good = BuildMacroImage({KeyTap(0x05, 10, 2), KeyTap(0x06, 10, 1)});
    ASSERT_EQ(CheckMacroImage(good), MacroImageCheck::Valid);

    EXPECT_EQ(CheckMacroImage(std::span(good).first(15)), MacroImageCheck::TooShort);

    auto badMark = good;
    badMark[1] = 0x56;
    EXPECT_EQ(CheckMacroImage(badMark), MacroImageCheck::BadMark);

    auto shorter = good;
    shorter.pop_back();
    EXPECT_EQ(CheckMacroImage(shorter), MacroImageCheck::LengthMismatch);

    auto headerJunk = good;
    headerJunk[9] = 1;
    EXPECT_EQ(CheckMacroImage(headerJunk), MacroImageCheck::BadHeader);

    auto hugeCount = good;
    hugeCount[4] = 0xFF;
    EXPECT_EQ(CheckMacroImage(hugeCount), MacroImageCheck::BadCount);

    auto wrongOffset = good;
    wrongOffset[18] += 4;  // second record's offset points into the first record's events
    EXPECT_EQ(CheckMacroImage(wrongOffset), MacroImageCheck::BadOffset);

    auto spareByte = good;
    spareByte[20 + 2] = 1;  // first record's spare bytes
    EXPECT_EQ(CheckMacroImage(spareByte), MacroImageCheck::BadRecord);

    auto tooManyEvents = good;
    tooManyEvents[20 + 4 + 16] = 9;  // second record claims 9 events
    EXPECT_EQ(CheckMacroImage(tooManyEvents), MacroImageCheck::BadRecord);

    // One record fewer in the count, same bytes: the last record becomes trailing garbage and
    // the offset table no longer lines up.
    auto fewerRecords = good;
    fewerRecords[4] = 1;
    EXPECT_NE(CheckMacroImage(fewerRecords), MacroImageCheck::Valid);
    EXPECT_TRUE(DecodeMacroImage(fewerRecords).empty());
}

}  // namespace
