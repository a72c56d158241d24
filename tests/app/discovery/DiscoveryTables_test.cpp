// The slot table and the device kinds derived from the device catalogue, and the identity rules that let one
// device page serve a device on its cable and behind its receiver.

#include <gtest/gtest.h>

#include "app/discovery/DeviceKinds.h"
#include "app/discovery/InterfaceSlotTable.h"

using vx::link::DeviceModel;
using vx::devices::kTypeHeadset;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeKeyboardReceiver;
using vx::devices::kTypeMouse;
using vx::devices::kTypeMouseReceiver;
using vx::discovery::DeviceKindOfSlot;
using vx::discovery::FindDeviceKind;
using vx::discovery::InterfaceSlot;
using vx::discovery::InterfaceSlotTable;
using vx::discovery::ModelOfKind;
using vx::discovery::PlaceholderSlotIndex;
using vx::discovery::SameIdentity;
using vx::discovery::WiredTypeCode;

namespace {

InterfaceSlot CandidateLike(const InterfaceSlot& slot) {
    InterfaceSlot c;
    c.vendorId = slot.vendorId;
    c.productId = slot.productId;
    c.interfaceNumber = slot.interfaceNumber;
    c.collectionNumber = slot.collectionNumber;
    c.usagePage = slot.usagePage;
    c.usage = slot.usage;
    return c;
}

TEST(SlotTable, FillDerivesTheProductSheetRowsInOrderAllFree) {
    InterfaceSlotTable table;
    EXPECT_EQ(table.Size(), 0u);
    table.Fill();
    // The product sheet's supported-interface table, which the catalogue entries must give back
    // row for row: vendor, product, interface, collection, type, role, usage page, usage, has
    // twin, twin.
    const uint16_t sheet[11][10] = {
        {0x320F, 0x5055, 1, 4, 1, 0x00, 0xFF1C, 0x92, 1, 2}, {0x320F, 0x5055, 1, 3, 1, 0xFF, 0x0C, 0x01, 1, 3},
        {0x320F, 0x5001, 1, 4, 9, 0x00, 0xFF1C, 0x92, 1, 0}, {0x320F, 0x5001, 1, 3, 9, 0xFF, 0x0C, 0x01, 1, 1},
        {0x320F, 0x221C, 1, 4, 2, 0x00, 0xFF1C, 0x92, 1, 6}, {0x320F, 0x221C, 1, 3, 2, 0xFF, 0x0C, 0x01, 1, 7},
        {0x320F, 0x221D, 1, 4, 6, 0x00, 0xFF1C, 0x92, 1, 4}, {0x320F, 0x221D, 1, 3, 6, 0xFF, 0x0C, 0x01, 1, 5},
        {0x320F, 0x1004, 1, 4, 3, 0x00, 0xFF1C, 0x92, 0, 0}, {0x320F, 0x1004, 1, 3, 3, 0xFF, 0x0C, 0x01, 0, 0},
        {0x0C76, 0x1630, 3, 0, 7, 0x00, 0x0C, 0x01, 0, 0},
    };
    ASSERT_EQ(table.Size(), 11u);
    for (size_t i = 0; i < table.Size(); ++i) {
        const InterfaceSlot s = table.Slot(i);
        EXPECT_TRUE(s.IsFree()) << i;
        const uint16_t got[10] = {s.vendorId, s.productId, s.interfaceNumber, s.collectionNumber, s.typeCode,
                                  s.role,     s.usagePage, s.usage,           s.hasTwin,          s.twinIndex};
        for (size_t f = 0; f < 10; ++f) EXPECT_EQ(got[f], sheet[i][f]) << "slot " << i << " field " << f;
    }
    // Two rows read straight from the product sheet: the keyboard receiver's command interface
    // and the headset.
    const InterfaceSlot receiver = table.Slot(2);
    EXPECT_EQ(receiver.vendorId, 0x320F);
    EXPECT_EQ(receiver.productId, 0x5001);
    EXPECT_EQ(receiver.typeCode, 9);
    EXPECT_EQ(receiver.usagePage, 0xFF1C);
    EXPECT_EQ(receiver.usage, 0x92);
    EXPECT_EQ(receiver.hasTwin, 1);
    EXPECT_EQ(receiver.twinIndex, 0);
    const InterfaceSlot headset = table.Slot(10);
    EXPECT_EQ(headset.vendorId, 0x0C76);
    EXPECT_EQ(headset.interfaceNumber, 3);
    EXPECT_EQ(headset.collectionNumber, 0);
    EXPECT_EQ(headset.usagePage, 0x0C);
    // Refilling frees whatever was claimed.
    ASSERT_GE(table.ClaimFree(CandidateLike(table.Slot(0)), "p"), 0);
    table.Fill();
    EXPECT_TRUE(table.Slot(0).IsFree());
    // Beyond the table: a free default record, never a crash.
    EXPECT_TRUE(table.Slot(11).IsFree());
    EXPECT_FALSE(table.IsValidIndex(11));
}

TEST(SlotTable, ClaimNeedsLocationUsagePageAndUsageAndAFreeSlot) {
    InterfaceSlotTable table;
    table.Fill();
    InterfaceSlot keyboardCommand = CandidateLike(table.Slot(0));
    EXPECT_TRUE(table.HasFreeAt(0x320F, 0x5055, 1, 4));
    EXPECT_FALSE(table.HasFreeAt(0x320F, 0x5055, 1, 1));  // the plain keyboard collection
    EXPECT_FALSE(table.HasFreeAt(0x320F, 0x5055, 0, 4));
    EXPECT_FALSE(table.HasFreeAt(0x1234, 0x5055, 1, 4));

    InterfaceSlot wrongPage = keyboardCommand;
    wrongPage.usagePage = 0x01;
    EXPECT_EQ(table.ClaimFree(wrongPage, "a"), -1);
    InterfaceSlot wrongUsage = keyboardCommand;
    wrongUsage.usage = 0x06;
    EXPECT_EQ(table.ClaimFree(wrongUsage, "a"), -1);
    EXPECT_EQ(table.ClaimFree(keyboardCommand, ""), -1);
    EXPECT_TRUE(table.AnyFree());

    EXPECT_EQ(table.ClaimFree(keyboardCommand, "path-a"), 0);
    const InterfaceSlot claimed = table.Slot(0);
    EXPECT_EQ(claimed.connected, 1);
    EXPECT_EQ(claimed.path, "path-a");
    EXPECT_FALSE(table.HasFreeAt(0x320F, 0x5055, 1, 4));
    // A second keyboard on the same location finds no free slot.
    EXPECT_EQ(table.ClaimFree(keyboardCommand, "path-b"), -1);
    ASSERT_EQ(table.ConnectedPaths().size(), 1u);
    EXPECT_EQ(table.ConnectedPaths()[0].path, "path-a");

    EXPECT_TRUE(table.Free(0));
    EXPECT_FALSE(table.Free(0));
    EXPECT_FALSE(table.Free(99));
    EXPECT_TRUE(table.Slot(0).IsFree());
    EXPECT_EQ(table.ClaimFree(keyboardCommand, "path-b"), 0);

    // With every slot taken there is nothing left to scan for.
    for (size_t i = 1; i < table.Size(); ++i)
        ASSERT_EQ(table.ClaimFree(CandidateLike(table.Slot(i)), "p" + std::to_string(i)), int(i));
    EXPECT_FALSE(table.AnyFree());
}

TEST(SlotTable, IdentityIgnoresConnectionTwinAndPathButEveryOtherField) {
    InterfaceSlotTable table;
    table.Fill();
    const InterfaceSlot base = table.Slot(4);
    InterfaceSlot same = base;
    same.connected = 1;
    same.path = "elsewhere";
    same.hasTwin = 0;
    same.twinIndex = 9;
    EXPECT_TRUE(SameIdentity(base, same));

    using Field = uint16_t InterfaceSlot::*;
    const Field fields[] = {&InterfaceSlot::vendorId,        &InterfaceSlot::productId,
                            &InterfaceSlot::interfaceNumber, &InterfaceSlot::collectionNumber,
                            &InterfaceSlot::typeCode,        &InterfaceSlot::role,
                            &InterfaceSlot::usagePage,       &InterfaceSlot::usage};
    for (Field f : fields) {
        InterfaceSlot other = base;
        other.*f = static_cast<uint16_t>(other.*f + 1);
        EXPECT_FALSE(SameIdentity(base, other));
    }
}

TEST(SlotTable, IdentitySlotIsTheWiredCommandSlotOfTheDevice) {
    InterfaceSlotTable table;
    table.Fill();
    // slot:                    0  1  2  3  4  5  6  7  8  9  10
    const int expected[11] = {0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 10};
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(table.IdentitySlotIndex(i), expected[i]) << "slot " << i;
    EXPECT_EQ(table.IdentitySlotIndex(11), -1);
    // Cable and receiver of one mouse: each sees the other once it is bound.
    EXPECT_FALSE(table.TwinConnected(4));
    ASSERT_EQ(table.ClaimFree(CandidateLike(table.Slot(6)), "receiver"), 6);
    EXPECT_TRUE(table.TwinConnected(4));
    EXPECT_FALSE(table.TwinConnected(6));
    ASSERT_EQ(table.ClaimFree(CandidateLike(table.Slot(4)), "cable"), 4);
    EXPECT_TRUE(table.TwinConnected(6));
    EXPECT_FALSE(table.TwinConnected(5));  // the notification slots are twins of each other only
    ASSERT_EQ(table.ClaimFree(CandidateLike(table.Slot(8)), "pad"), 8);
    EXPECT_FALSE(table.TwinConnected(8));  // no twin: its row's twin index 0 means nothing
    ASSERT_EQ(table.ClaimFree(CandidateLike(table.Slot(0)), "keyboard"), 0);
    EXPECT_FALSE(table.TwinConnected(8));
    EXPECT_FALSE(table.TwinConnected(99));
    // The record a page keeps is the same whichever connection is present.
    EXPECT_TRUE(SameIdentity(table.Slot(size_t(table.IdentitySlotIndex(6))), table.Slot(4)));
}

// The device-kind and device-page tables of the product sheet, read back from the catalogue by
// kind index: mouse, keyboard, mousepad, headset.
TEST(DeviceKinds, LookupByVendorProductTypeAndVariant) {
    InterfaceSlotTable table;
    table.Fill();
    EXPECT_EQ(FindDeviceKind(table, 0x320F, 0x221C, 2, 0), 0);
    EXPECT_EQ(FindDeviceKind(table, 0x320F, 0x5055, 1, 0), 1);
    EXPECT_EQ(FindDeviceKind(table, 0x320F, 0x1004, 3, 0), 2);
    EXPECT_EQ(FindDeviceKind(table, 0x0C76, 0x1630, 7, 0), 3);
    EXPECT_EQ(FindDeviceKind(table, 0x320F, 0x1004, 3, 1), -1);  // no soft-pad row
    EXPECT_EQ(FindDeviceKind(table, 0x320F, 0x221D, 6, 0), -1);  // receivers are found under the wired row
    EXPECT_EQ(FindDeviceKind(table, 0x320F, 0x5055, 2, 0), -1);

    struct Sheet {
        const char* kindName;
        int pageArgument;
        const char* layout;
        int ledCount, keyCount;
        bool power;
        bool inAdvance;
    };
    const Sheet sheet[4] = {{"mouse", 1, "mousedevice.xml", 0x0F, 0x0B, true, true},
                            {"keyboard", 0, "keyboarddevice.xml", 0xAA, 0xAA, false, true},
                            {"MousePad", 2, "mousepaddevice.xml", 0x0F, 0, false, false},
                            {"HD", 3, "ru6533device.xml", 0x0D, 0, false, false}};
    ASSERT_EQ(table.Models().size(), 4u);
    for (int k = 0; k < 4; ++k) {
        const DeviceModel* m = ModelOfKind(table, k);
        ASSERT_NE(m, nullptr);
        SCOPED_TRACE(sheet[k].kindName);
        EXPECT_EQ(m->kindName, sheet[k].kindName);
        EXPECT_EQ(m->lightTableIndex, sheet[k].pageArgument);
        EXPECT_EQ(m->pageLayout, sheet[k].layout);
        EXPECT_EQ(m->lightNamePrefix, "qorin_light");
        EXPECT_EQ(m->ledCount, sheet[k].ledCount);
        EXPECT_EQ(m->keyCount, sheet[k].keyCount);
        EXPECT_EQ(m->showsPower, sheet[k].power);
        EXPECT_EQ(m->createdInAdvance, sheet[k].inAdvance);
        EXPECT_EQ(m->selectedLed, -1);
        // No layout path in the catalogue: the window layer places the file in its skin.
        EXPECT_EQ(m->pageLayout.find('\\'), std::string_view::npos);
    }
    EXPECT_EQ(ModelOfKind(table, 4), nullptr);
    EXPECT_EQ(ModelOfKind(table, -1), nullptr);
}

TEST(DeviceKinds, EverySlotFindsItsKindAndPlaceholdersSitOnTheWiredCommandSlots) {
    InterfaceSlotTable table;
    table.Fill();
    // slot:                    0  1  2  3  4  5  6  7  8  9  10
    const int expected[11] = {1, 1, 1, 1, 0, 0, 0, 0, 2, 2, 3};
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(DeviceKindOfSlot(table, i), expected[i]) << "slot " << i;
    EXPECT_EQ(DeviceKindOfSlot(table, 8, 1), -1);
    EXPECT_EQ(DeviceKindOfSlot(table, 42), -1);

    EXPECT_EQ(PlaceholderSlotIndex(table, 0), 4);   // mouse
    EXPECT_EQ(PlaceholderSlotIndex(table, 1), 0);   // keyboard
    EXPECT_EQ(PlaceholderSlotIndex(table, 3), 10);  // headset
    EXPECT_EQ(PlaceholderSlotIndex(table, 4), -1);

    EXPECT_EQ(WiredTypeCode(kTypeMouseReceiver), kTypeMouse);
    EXPECT_EQ(WiredTypeCode(kTypeKeyboardReceiver), kTypeKeyboard);
    EXPECT_EQ(WiredTypeCode(kTypeHeadset), kTypeHeadset);
    EXPECT_TRUE(table.Slot(7).IsWireless());
    EXPECT_FALSE(table.Slot(4).IsWireless());
}

}  // namespace
