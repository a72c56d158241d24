#include <gtest/gtest.h>

#include <vector>

#include "link/DeviceInfo.h"
#include "link/KeyTableRecords.h"
#include "link/MacroImageBlock.h"
#include "link/StatusRecord.h"

using vx::link::BuildKeyTable;
using vx::link::BuildMacroImage;
using vx::link::DeviceInfo;
using vx::link::KeyRecord;
using vx::link::KeyTableLength;
using vx::link::LedMapLength;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::ParseKeyTable;
using vx::link::StatusRecord;

namespace {

TEST(DeviceInfoTest, FieldsAreReadLittleEndianAtTheirOffsets) {
    std::vector<uint8_t> bytes(34, 0);
    bytes[5] = 104;
    bytes[6] = 16;
    bytes[9] = 0x25;
    bytes[10] = 0x33;
    bytes[11] = 50;
    bytes[12] = 0x40;
    bytes[13] = 0x01;
    bytes[14] = 0x64;
    bytes[15] = 0x00;
    const DeviceInfo info(bytes);
    EXPECT_EQ(info.KeySlots(), 104);
    EXPECT_EQ(info.KeyTableLength(), 312);
    EXPECT_EQ(info.LedMapLength(), 104);
    EXPECT_EQ(info.MacroCapacityBytes(), 16u * 128u);
    EXPECT_EQ(info.SensorId(), 0x3325);
    EXPECT_TRUE(info.HasTwoSlopeDpi());
    EXPECT_EQ(info.DpiStep(), 50);
    EXPECT_EQ(info.DpiSliderMax(), 0x140);
    EXPECT_EQ(info.DpiBase(), 100);
    EXPECT_TRUE(info.KeySlotsValid());
}

TEST(DeviceInfoTest, ShortOrOversizedRecordsAreSafe) {
    const std::vector<uint8_t> shortBytes = {0, 0, 0, 0, 0, 171};
    const DeviceInfo info(shortBytes);
    EXPECT_EQ(info.KeySlots(), 171);
    EXPECT_FALSE(info.KeySlotsValid());
    EXPECT_GT(info.KeyTableLength(), 512);
    EXPECT_EQ(info.SensorId(), 0);
    EXPECT_EQ(DeviceInfo().KeySlots(), 0);
}

TEST(KeyTableTest, RecordsRoundTripAndIncompleteTailIsIgnored) {
    const std::vector<KeyRecord> records = {{0x10, 0x04, 0x00}, {0x70, 0x02, 0x01}, {0x20, 0x01, 0xFF}};
    const std::vector<uint8_t> bytes = BuildKeyTable(records);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x10, 0x04, 0x00, 0x70, 0x02, 0x01, 0x20, 0x01, 0xFF}));
    std::vector<uint8_t> withTail = bytes;
    withTail.push_back(0x55);
    EXPECT_EQ(ParseKeyTable(withTail), records);
    EXPECT_EQ(KeyTableLength(104), 312u);
    EXPECT_EQ(LedMapLength(312), 104u);
    EXPECT_EQ(LedMapLength(512), 170u);
}

TEST(MacroImageTest, HeaderOffsetsAndEventsAsTheFirmwareExpects) {
    const std::vector<MacroSlotEvents> macros = {
        {{0x0102, 0x01, true, 0x04}, {0x0010, 0x01, false, 0x04}},
        {},
        {{5, 0xFF, true, 0x80}},
    };
    std::vector<uint8_t> image;
    ASSERT_TRUE(BuildMacroImage(macros, &image));
    const size_t total = 16 + 6 * 3 + 4 * 3;
    ASSERT_EQ(image.size(), total);
    EXPECT_EQ(MacroImageLength(macros), total);
    const std::vector<uint8_t> header = {
        0xAA, 0x55, static_cast<uint8_t>(total), 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 16), header);
    // Offsets of the three records: after the 6-byte offset table; 4 + 8, 4 + 0 and 4 + 4 bytes long.
    EXPECT_EQ(image[16], 22);
    EXPECT_EQ(image[18], 34);
    EXPECT_EQ(image[20], 38);
    const std::vector<uint8_t> first = {2, 0, 0, 0, 0x02, 0x01, 0x81, 0x04, 0x10, 0x00, 0x01, 0x04};
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 22, image.begin() + 34), first);
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 34, image.begin() + 38),
              (std::vector<uint8_t>{0, 0, 0, 0}));
    // Type keeps its low 7 bits only; bit 7 is the "down" flag.
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 38, image.end()),
              (std::vector<uint8_t>{1, 0, 0, 0, 5, 0, 0xFF, 0x80}));
}

TEST(MacroImageTest, EmptyListAndOversizedImages) {
    std::vector<uint8_t> image = {9, 9};
    ASSERT_TRUE(BuildMacroImage({}, &image));
    EXPECT_EQ(image, (std::vector<uint8_t>{0xAA, 0x55, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    const std::vector<MacroSlotEvents> big = {MacroSlotEvents(20000)};
    EXPECT_FALSE(BuildMacroImage(big, &image));
    EXPECT_TRUE(image.empty());

    const std::vector<MacroSlotEvents> small = {MacroSlotEvents(10)};  // 16 + 6 + 40 = 62 bytes
    EXPECT_FALSE(BuildMacroImage(small, &image, 61));
    EXPECT_TRUE(BuildMacroImage(small, &image, 62));
    EXPECT_FALSE(BuildMacroImage(small, nullptr));
}

TEST(StatusRecordTest, WirelessByteIsTheProgramsOwnFlag) {
    const std::vector<uint8_t> bytes = {87, 1, 9, 0x55, 3, 2};
    const StatusRecord onReceiver = StatusRecord::Parse(bytes, true);
    EXPECT_EQ(onReceiver.batteryPercent, 87);
    EXPECT_EQ(onReceiver.chargeState, 1);
    EXPECT_EQ(onReceiver.wireless, 1);
    EXPECT_EQ(onReceiver.forwarded, 3);
    EXPECT_EQ(onReceiver.phoneType, 2);
    EXPECT_EQ(StatusRecord::Parse(bytes, false).Bytes(), (std::array<uint8_t, 6>{87, 1, 9, 0, 3, 2}));
    EXPECT_EQ(StatusRecord::Parse(std::vector<uint8_t>{50}, false).phoneType, 0);
}

}  // namespace
