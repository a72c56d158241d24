// The slot table, the device-kind and device-page tables and the identity rules that let one
// device page serve a device on its cable and behind its receiver.

#include <gtest/gtest.h>

#include "app/discovery/DeviceKinds.h"
#include "app/discovery/InterfaceSlotTable.h"

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

TEST(SlotTable, FillCopiesTheSupportedRowsInOrderAllFree) {
    InterfaceSlotTable table;
    EXPECT_EQ(table.Size(), 0u);
    table.Fill();
    ASSERT_EQ(table.Size(), 11u);
    for (size_t i = 0; i < table.Size(); ++i) {
        const InterfaceSlot s = table.Slot(i);
        EXPECT_TRUE(s.IsFree()) << i;
        EXPECT_EQ(s.productId, kSupportedInterfaces[i].productId) << i;
        EXPECT_EQ(s.collectionNumber, kSupportedInterfaces[i].collectionNumber) << i;
        EXPECT_EQ(s.role, kSupportedInterfaces[i].role) << i;
        EXPECT_EQ(s.twinIndex, kSupportedInterfaces[i].twinIndex) << i;
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

TEST(DeviceKinds, LookupByVendorProductTypeAndVariant) {
    EXPECT_EQ(FindDeviceKind(0x320F, 0x221C, 2, 0), kKindMouse);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x5055, 1, 0), kKindKeyboard);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x1004, 3, 0), kKindMousePad);
    EXPECT_EQ(FindDeviceKind(0x0C76, 0x1630, 7, 0), kKindHeadset);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x1004, 3, 1), -1);  // no soft-pad row
    EXPECT_EQ(FindDeviceKind(0x320F, 0x221D, 6, 0), -1);  // receivers are found under the wired row
    EXPECT_EQ(FindDeviceKind(0x320F, 0x5055, 2, 0), -1);

    EXPECT_EQ(kDeviceKinds[kKindMouse].kindName, "mouse");
    EXPECT_EQ(kDeviceKinds[kKindKeyboard].kindName, "keyboard");
    EXPECT_EQ(kDeviceKinds[kKindMousePad].kindName, "MousePad");
    EXPECT_EQ(kDeviceKinds[kKindHeadset].kindName, "HD");
    const int pageArguments[4] = {1, 0, 2, 3};
    for (size_t k = 0; k < kDeviceKindCount; ++k) {
        EXPECT_EQ(kDeviceKinds[k].pageArgument, pageArguments[k]);
        EXPECT_EQ(kDeviceKinds[k].entryLayout, "XML\\CustomControlXML\\DeviceOption.xml");
        EXPECT_EQ(kDeviceKinds[k].entryGroup, "tab_header_device");
        EXPECT_EQ(kDeviceKinds[k].powerTab, "device_power_switch");
        EXPECT_EQ(kDevicePages[k].lightNamePrefix, "qorin_light");
        EXPECT_EQ(kDevicePages[k].pageValues[3], -1);
        // Only the mouse page shows its battery.
        EXPECT_EQ(kDevicePages[k].pageValues[2], k == size_t(kKindMouse) ? 1 : 0);
    }
    EXPECT_EQ(kDevicePages[kKindMouse].pageLayout, "XML\\DeviceXml\\mousedevice.xml");
    EXPECT_EQ(kDevicePages[kKindHeadset].pageLayout, "XML\\DeviceXml\\ru6533device.xml");
    EXPECT_EQ((kDevicePages[kKindKeyboard].pageValues), (std::array<int, 4>{0xAA, 0xAA, 0, -1}));
    EXPECT_EQ((kDevicePages[kKindMouse].pageValues), (std::array<int, 4>{0x0F, 0x0B, 1, -1}));
}

TEST(DeviceKinds, EverySlotFindsItsKindAndPlaceholdersSitOnTheWiredCommandSlots) {
    InterfaceSlotTable table;
    table.Fill();
    // slot:                    0  1  2  3  4  5  6  7  8  9  10
    const int expected[11] = {1, 1, 1, 1, 0, 0, 0, 0, 2, 2, 3};
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(DeviceKindOfSlot(table, i), expected[i]) << "slot " << i;
    EXPECT_EQ(DeviceKindOfSlot(table, 8, 1), -1);
    EXPECT_EQ(DeviceKindOfSlot(table, 42), -1);

    EXPECT_EQ(PlaceholderSlotIndex(table, kKindMouse), 4);
    EXPECT_EQ(PlaceholderSlotIndex(table, kKindKeyboard), 0);
    EXPECT_EQ(PlaceholderSlotIndex(table, kKindHeadset), 10);
    EXPECT_EQ(PlaceholderSlotIndex(table, 4), -1);

    EXPECT_EQ(WiredTypeCode(kTypeMouseReceiver), kTypeMouse);
    EXPECT_EQ(WiredTypeCode(kTypeKeyboardReceiver), kTypeKeyboard);
    EXPECT_EQ(WiredTypeCode(kTypeHeadset), kTypeHeadset);
    EXPECT_TRUE(table.Slot(7).IsWireless());
    EXPECT_FALSE(table.Slot(4).IsWireless());
}

}  // namespace
