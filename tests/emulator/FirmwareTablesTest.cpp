// What the virtual devices report about themselves: capability record, key tables, LED map and
// status record, read the way the program's connection sequence reads them.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FrameHelpers.h"
#include "devices/tables/KeyboardFactoryKeys.h"
#include "devices/tables/MouseFactoryKeys.h"
#include "emulator/VirtualFirmware.h"

using vx::emulator::FirmwareKind;
using vx::emulator::SlotFunction;
using vx::emulator::Transport;
using vx::emulator::VirtualFirmware;
using vx::emulator::kStatusOk;
using vx::emulator::kStatusOutOfRange;
using vx::emulator::kStatusRejected;

using namespace vx::device_tables;

namespace {

std::vector<KeyFunction> Records(const std::vector<uint8_t>& table) {
    std::vector<KeyFunction> records;
    for (size_t i = 0; i + 2 < table.size(); i += 3)
        records.push_back({table[i], table[i + 1], table[i + 2]});
    return records;
}

// The program's identification: the first slot whose record equals the factory function.
int SlotOf(const std::vector<KeyFunction>& slots, const KeyFunction& function) {
    const auto it = std::find(slots.begin(), slots.end(), function);
    return it == slots.end() ? 255 : static_cast<int>(it - slots.begin());
}

TEST(FirmwareTables, CapabilityRecordThroughReceiverTakesTwoFrames) {
    VirtualFirmware mouse(FirmwareKind::Mouse);
    const auto first = Transact(mouse, RequestFrame(0x03, 24, 0), Transport::Receiver);
    const auto second = Transact(mouse, RequestFrame(0x03, 10, 24), Transport::Receiver);
    ASSERT_EQ(first[7], kStatusOk);
    ASSERT_EQ(second[7], kStatusOk);
    std::vector<uint8_t> record(first.begin() + 8, first.begin() + 32);
    record.insert(record.end(), second.begin() + 8, second.begin() + 18);
    const auto expected = mouse.Capability();
    EXPECT_TRUE(std::equal(record.begin(), record.end(), expected.begin()));

    EXPECT_EQ(record[9] | (record[10] << 8), 0x3325);  // sensor with the two-slope DPI scale
    EXPECT_EQ(record[11], 100);                        // DPI step
    const int sliderMax = record[12] | (record[13] << 8);
    const int base = record[14] | (record[15] << 8);
    EXPECT_EQ(base, 100);
    // Top of the slider on that sensor: step x 48 + position x 200 + base - 9600.
    EXPECT_EQ(100 * 48 + sliderMax * 200 + base - 9600, 24900);
    EXPECT_GT(record[6], 0);  // macro memory
}

TEST(FirmwareTables, KeyboardKeyTableIdentifiesEveryListedKey) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const size_t slots = keyboard.Capability()[5];
    ASSERT_LE(slots, 170u);
    const auto table = ChunkedRead(keyboard, 0x07, slots * 3, 0, 56);
    ASSERT_EQ(table.size(), slots * 3);
    const auto records = Records(table);

    std::set<int> usedSlots;
    for (size_t key = 0; key < kKeyboardLogicalKeyCount; ++key) {
        const int slot = SlotOf(records, KeyboardFactoryKeys()[key]);
        if (IsKeyboardKeyListed(key)) {
            ASSERT_NE(slot, 255) << "logical key " << key;
            EXPECT_TRUE(usedSlots.insert(slot).second) << "two keys on slot " << slot;
        } else {
            EXPECT_EQ(slot, 255) << "unlisted key " << key << " found a slot";
        }
    }
    // The device's own order is not the program's numbering.
    EXPECT_NE(SlotOf(records, KeyboardFactoryKeys()[1]), 1);

    // Reading the whole 512-byte default block runs off the end of the table.
    EXPECT_EQ(ChunkedRead(keyboard, 0x07, 512, 0, 56), std::vector<uint8_t>{});
}

TEST(FirmwareTables, LedMapGivesEverySlotItsOwnLed) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const size_t slots = keyboard.Capability()[5];
    const auto map = ChunkedRead(keyboard, 0x1B, slots, 0, 24, Transport::Receiver);
    ASSERT_EQ(map.size(), slots);
    std::set<uint8_t> leds(map.begin(), map.end());
    EXPECT_EQ(leds.size(), slots);
    EXPECT_LT(*leds.rbegin(), slots);
}

TEST(FirmwareTables, KeyboardWithMissingKeys) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const size_t slots = keyboard.Capability()[5];
    keyboard.SetMissingKeys({13, 110});
    EXPECT_EQ(keyboard.Capability()[5], slots);
    const auto records = Records(ChunkedRead(keyboard, 0x07, slots * 3, 0, 56));
    EXPECT_EQ(SlotOf(records, KeyboardFactoryKeys()[13]), 255);
    EXPECT_EQ(SlotOf(records, KeyboardFactoryKeys()[kKeyboardFnKey]), 255);
    EXPECT_NE(SlotOf(records, KeyboardFactoryKeys()[14]), 255);
}

TEST(FirmwareTables, MouseKeyTableHoldsTheElevenButtons) {
    VirtualFirmware mouse(FirmwareKind::Mouse);
    const size_t slots = mouse.Capability()[5];
    const auto records = Records(ChunkedRead(mouse, 0x07, slots * 3, 0, 24, Transport::Receiver));
    ASSERT_EQ(records.size(), slots);
    std::set<int> used;
    for (const KeyFunction& button : MouseFactoryKeys()) {
        const int slot = SlotOf(records, button);
        ASSERT_NE(slot, 255);
        used.insert(slot);
    }
    EXPECT_EQ(used.size(), kMouseLogicalButtonCount);
    // The mouse has no LED map command.
    EXPECT_EQ(Transact(mouse, RequestFrame(0x1B, 12, 0))[7], kStatusRejected);
}

TEST(FirmwareTables, KeyTableWritesLandAndStayInBounds) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const size_t slots = keyboard.Capability()[5];
    auto table = keyboard.KeyTable();
    // Slot 0 becomes macro slot 2 (type 0x70, first parameter = macro slot).
    table[0] = 0x70;
    table[1] = 0x02;
    table[2] = 0x00;
    ASSERT_EQ(ChunkedWrite(keyboard, 0x09, table, 0, 24, Transport::Receiver), 0);
    EXPECT_EQ(keyboard.KeySlot(0), (SlotFunction{0x70, 0x02, 0x00}));
    EXPECT_EQ(keyboard.KeyTable(), table);

    std::vector<uint8_t> extra(6, 0x20);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x09, 6, static_cast<uint16_t>(slots * 3 - 3), extra))[7],
              kStatusOutOfRange);
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x09, 6, 512, extra))[7], kStatusOutOfRange);  // bank 1
    EXPECT_EQ(keyboard.KeyTable(), table);
}

TEST(FirmwareTables, StatusRecordCarriesBattery) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    keyboard.SetBattery(42, 1);
    const auto reply = Transact(keyboard, RequestFrame(0x1A, 6, 0), Transport::Receiver);
    ASSERT_EQ(reply[7], kStatusOk);
    EXPECT_EQ(reply[8], 42);
    EXPECT_EQ(reply[9], 1);
    EXPECT_EQ(reply[8 + 3], 1);  // reached through the receiver
    EXPECT_EQ(Transact(keyboard, RequestFrame(0x1A, 6, 0), Transport::Cable)[8 + 3], 0);
    keyboard.SetBattery(250, 0);
    EXPECT_EQ(keyboard.Status()[0], 100);
}

TEST(FirmwareTables, ResetToFactoryForgetsWhatWasWritten) {
    VirtualFirmware keyboard(FirmwareKind::Keyboard);
    const auto factory = keyboard.Config();
    std::vector<uint8_t> block(24, 0x11);
    block[0] = 0;
    ASSERT_EQ(ChunkedWrite(keyboard, 0x06, block, 0, 56), 0);
    ASSERT_NE(keyboard.Config(), factory);
    keyboard.ResetToFactory();
    EXPECT_EQ(keyboard.Config(), factory);
}

}  // namespace
