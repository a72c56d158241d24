// Parser and report decoder on descriptors written for the purpose, one item per line.

#include <gtest/gtest.h>

#include "link/ReportDescriptor.h"

using vx::link::BuildUsageTable;
using vx::link::FormatHexBytes;
using vx::link::HidCapability;
using vx::link::HidCollectionInfo;
using vx::link::HidReportKind;
using vx::link::HidUsageData;
using vx::link::ParseHexBytes;
using vx::link::ReportDescriptor;
using vx::link::ReportDescriptorStatus;
using vx::link::UnpackReportInto;
using vx::link::kHidMaxUsageTableRoom;
using vx::link::kHidMaxUsages;
using vx::link::kHidStatusInvalidReportLength;
using vx::link::kHidStatusSuccess;
using vx::link::kHidStatusValueOutOfRange;

namespace {

ReportDescriptor ParseOk(const std::vector<uint8_t>& bytes) {
    ReportDescriptor d;
    EXPECT_EQ(d.Parse(bytes), ReportDescriptorStatus::Ok) << "error at offset " << d.ErrorOffset();
    return d;
}

// Two top-level collections of one interface, as a device of this family shows them: a consumer
// collection for notifications and a vendor collection for the command channel.
const std::vector<uint8_t> kConsumerAndVendor = {
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x02,  //   Logical Maximum (767)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x02,  //   Usage Maximum (767)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x02,        //   Report Count (2)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
    0x06, 0x1C, 0xFF,  // Usage Page (Vendor 0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x09, 0x01,        //   Usage (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

TEST(ReportDescriptorParse, TwoCollectionsWithTheirOwnReportIds) {
    const ReportDescriptor d = ParseOk(kConsumerAndVendor);
    ASSERT_EQ(d.Collections().size(), 2u);
    const HidCollectionInfo& consumer = d.Collections()[0];
    EXPECT_EQ(consumer.number, 1);
    EXPECT_EQ(consumer.usagePage, 0x0C);
    EXPECT_EQ(consumer.usage, 0x01);
    EXPECT_TRUE(consumer.usesReportIds);
    EXPECT_EQ(consumer.reportIds[0], std::vector<uint8_t>{3});
    EXPECT_EQ(consumer.reportLength[0], 5);
    EXPECT_EQ(consumer.reportLength[1], 0);
    EXPECT_EQ(consumer.ButtonCapCount(HidReportKind::Input), 1u);
    const HidCollectionInfo& vendor = d.Collections()[1];
    EXPECT_EQ(vendor.number, 2);
    EXPECT_EQ(vendor.usagePage, 0xFF1C);
    EXPECT_EQ(vendor.usage, 0x92);
    EXPECT_EQ(vendor.reportLength[0], 65);
    EXPECT_EQ(vendor.reportLength[1], 65);
    EXPECT_EQ(vendor.reportIds[1], std::vector<uint8_t>{4});
    EXPECT_EQ(vendor.ValueCapCount(HidReportKind::Input), 1u);
    EXPECT_EQ(vendor.caps[0].reportCount, 64);
}

TEST(ReportDescriptorParse, PushAndPopRestoreTheGlobals) {
    const std::vector<uint8_t> bytes = {
        0x05, 0x01,  // Usage Page (Generic Desktop)
        0x09, 0x02,  // Usage (Mouse)
        0xA1, 0x01,  // Collection (Application)
        0x75, 0x08,  //   Report Size (8)
        0x95, 0x01,  //   Report Count (1)
        0x15, 0x81,  //   Logical Minimum (-127)
        0x25, 0x7F,  //   Logical Maximum (127)
        0xA4,        //   Push
        0x05, 0x09,  //     Usage Page (Button)
        0x75, 0x01,  //     Report Size (1)
        0x95, 0x03,  //     Report Count (3)
        0x15, 0x00,  //     Logical Minimum (0)
        0x25, 0x01,  //     Logical Maximum (1)
        0x19, 0x01,  //     Usage Minimum (1)
        0x29, 0x03,  //     Usage Maximum (3)
        0x81, 0x02,  //     Input (Data, Variable, Absolute): 3 buttons
        0x95, 0x05,  //     Report Count (5)
        0x81, 0x01,  //     Input (Constant): padding
        0xB4,        //   Pop: page Generic Desktop, size 8, count 1, -127..127 again
        0x09, 0x30,  //   Usage (X)
        0x81, 0x06,  //   Input (Data, Variable, Relative)
        0xC0,        // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    ASSERT_EQ(d.Collections().size(), 1u);
    const HidCollectionInfo& c = d.Collections()[0];
    EXPECT_FALSE(c.usesReportIds);
    EXPECT_EQ(c.reportLength[0], 3);  // 1 id byte + buttons byte + X
    ASSERT_EQ(c.caps.size(), 2u);
    const HidCapability& x = c.caps[1];
    EXPECT_EQ(x.usagePage, 0x01);
    EXPECT_EQ(x.usageMin, 0x30);
    EXPECT_EQ(x.bitSize, 8);
    EXPECT_EQ(x.bitPosition, 8u);
    EXPECT_EQ(x.logicalMin, -127);
    EXPECT_EQ(x.logicalMax, 127);
    EXPECT_FALSE(x.isAbsolute);
    EXPECT_FALSE(x.isButton);
    EXPECT_TRUE(c.caps[0].isButton);
    EXPECT_TRUE(c.caps[0].isRange);
}

TEST(ReportDescriptorParse, LongItemsAreSkipped) {
    const std::vector<uint8_t> bytes = {
        0x06, 0x00, 0xFF,              // Usage Page (Vendor 0xFF00)
        0x09, 0x01,                    // Usage (1)
        0xFE, 0x03, 0x10, 0xAA, 0xBB,  // Long item: 3 data bytes, tag 0x10, first two shown
        0xCC,                          //   (third data byte of the long item)
        0xA1, 0x01,                    // Collection (Application)
        0x75, 0x08,                    //   Report Size (8)
        0x95, 0x04,                    //   Report Count (4)
        0x09, 0x01,                    //   Usage (1)
        0x81, 0x02,                    //   Input (Data, Variable, Absolute)
        0xC0,                          // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    ASSERT_EQ(d.Collections().size(), 1u);
    EXPECT_EQ(d.Collections()[0].usagePage, 0xFF00);
    EXPECT_EQ(d.Collections()[0].reportLength[0], 5);
}

TEST(ReportDescriptorParse, OneReportIdInTwoCollections) {
    const std::vector<uint8_t> bytes = {
        0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
        0x09, 0x01,        // Usage (1)
        0xA1, 0x01,        // Collection (Application)
        0x85, 0x07,        //   Report ID (7)
        0x75, 0x08,        //   Report Size (8)
        0x95, 0x02,        //   Report Count (2)
        0x09, 0x01,        //   Usage (1)
        0x81, 0x02,        //   Input (Data, Variable, Absolute)
        0xC0,              // End Collection
        0x09, 0x02,        // Usage (2)
        0xA1, 0x01,        // Collection (Application): Report ID 7 still in force
        0x95, 0x05,        //   Report Count (5)
        0x09, 0x02,        //   Usage (2)
        0x81, 0x02,        //   Input (Data, Variable, Absolute)
        0xC0,              // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    ASSERT_EQ(d.Collections().size(), 2u);
    // Each collection counts its own fields of the shared id: positions start again at 0.
    EXPECT_EQ(d.Collections()[0].reportLength[0], 3);
    EXPECT_EQ(d.Collections()[1].reportLength[0], 6);
    EXPECT_EQ(d.Collections()[1].reportIds[0], std::vector<uint8_t>{7});
    EXPECT_EQ(d.Collections()[1].caps[0].bitPosition, 0u);
}

TEST(ReportDescriptorParse, NestedCollectionsFormTheLinkTree) {
    const std::vector<uint8_t> bytes = {
        0x05, 0x01,  // Usage Page (Generic Desktop)
        0x09, 0x02,  // Usage (Mouse)
        0xA1, 0x01,  // Collection (Application)
        0x09, 0x01,  //   Usage (Pointer)
        0xA1, 0x00,  //   Collection (Physical)
        0x09, 0x30,  //     Usage (X)
        0x75, 0x08,  //     Report Size (8)
        0x95, 0x01,  //     Report Count (1)
        0x81, 0x02,  //     Input (Data, Variable, Absolute)
        0xC0,        //   End Collection
        0x09, 0x38,  //   Usage (Wheel)
        0xA1, 0x02,  //   Collection (Logical)
        0x09, 0x38,  //     Usage (Wheel)
        0x81, 0x02,  //     Input (Data, Variable, Absolute)
        0xC0,        //   End Collection
        0xC0,        // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    const HidCollectionInfo& c = d.Collections().at(0);
    ASSERT_EQ(c.links.size(), 3u);
    EXPECT_EQ(c.links[0].numberOfChildren, 2);
    EXPECT_EQ(c.links[0].firstChild, 1);
    EXPECT_EQ(c.links[1].nextSibling, 2);
    EXPECT_EQ(c.links[1].parent, 0);
    EXPECT_EQ(c.links[1].usage, 0x01);
    EXPECT_EQ(c.links[2].collectionType, 2);
    EXPECT_EQ(c.caps[0].linkCollection, 1);
    EXPECT_EQ(c.caps[1].linkCollection, 2);
    EXPECT_EQ(c.caps[1].bitPosition, 8u);
}

TEST(ReportDescriptorParse, BrokenDescriptorsFailClearly) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        ReportDescriptorStatus status;
    };
    const std::vector<Case> cases = {
        {"empty", {}, ReportDescriptorStatus::Empty},
        {"two-byte item cut after one byte", {0x05, 0x01, 0x06, 0x00}, ReportDescriptorStatus::Truncated},
        {"long item longer than the rest", {0xFE, 0x20, 0x10, 0x00}, ReportDescriptorStatus::Truncated},
        {"pop without push", {0x05, 0x01, 0xB4}, ReportDescriptorStatus::StackUnderflow},
        {"end collection without collection", {0xC0}, ReportDescriptorStatus::StackUnderflow},
        {"collection never closed",
         {0x09, 0x01, 0xA1, 0x01, 0x75, 0x08},
         ReportDescriptorStatus::UnclosedCollection},
        {"input outside any collection",
         {0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
         ReportDescriptorStatus::MainOutsideCollection},
        {"only globals", {0x05, 0x01, 0x75, 0x08}, ReportDescriptorStatus::NoCollection},
        {"report id 0", {0x09, 0x01, 0xA1, 0x01, 0x85, 0x00, 0xC0}, ReportDescriptorStatus::BadReportSize},
        {"report of 4 G bits",
         {0x09, 0x01, 0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0x7F, 0x97, 0xFF, 0xFF, 0xFF, 0x7F, 0x81, 0x02,
          0xC0},
         ReportDescriptorStatus::BadReportSize},
    };
    for (const Case& c : cases) {
        ReportDescriptor d;
        EXPECT_EQ(d.Parse(c.bytes), c.status) << c.what;
        EXPECT_TRUE(d.Collections().empty()) << c.what;
    }
    std::vector<uint8_t> deepPush(40, 0xA4);
    ReportDescriptor d;
    EXPECT_EQ(d.Parse(deepPush), ReportDescriptorStatus::StackOverflow);
}

TEST(ReportDescriptorParse, GarbageNeverCrashes) {
    // Deterministic pseudo-random bytes; the parser must bound every fetch whatever it reads.
    uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bytes(1 + round % 97);
        for (auto& b : bytes) {
            state = state * 1103515245u + 12345u;
            b = static_cast<uint8_t>(state >> 16);
        }
        ReportDescriptor d;
        const ReportDescriptorStatus s = d.Parse(bytes);
        if (s == ReportDescriptorStatus::Ok) {
            EXPECT_FALSE(d.Collections().empty());
        } else {
            EXPECT_TRUE(d.Collections().empty());
        }
        EXPECT_LE(d.ErrorOffset(), bytes.size());
    }
}

TEST(HexBytes, ParsesAndRejects) {
    std::vector<uint8_t> b;
    EXPECT_TRUE(ParseHexBytes("05 01 0x09,ff\nA1", &b));
    EXPECT_EQ(b, (std::vector<uint8_t>{0x05, 0x01, 0x09, 0xFF, 0xA1}));
    EXPECT_FALSE(ParseHexBytes("05 1g", &b));
    EXPECT_FALSE(ParseHexBytes("051", &b));
    EXPECT_EQ(FormatHexBytes(b.data(), 0), "");
    const uint8_t r[] = {0x04, 0xAB, 0x00};
    EXPECT_EQ(FormatHexBytes(r, 3), "04 ab 00");
}

// The keyboard notification layout: consumer array with two slots, plus a vendor value with a
// physical range for scaling.
const std::vector<uint8_t> kUnpackDescriptor = {
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x15, 0x01,        //   Logical Minimum (1)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x19, 0x01,        //   Usage Minimum (1)
    0x29, 0xFF,        //   Usage Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x02,        //   Report Count (2)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0x85, 0x05,        //   Report ID (5)
    0x05, 0x09,        //   Usage Page (Button)
    0x19, 0x01,        //   Usage Minimum (1)
    0x29, 0x04,        //   Usage Maximum (4)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x04,        //   Report Count (4)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x05, 0x01,        //   Usage Page (Generic Desktop)
    0x09, 0x30,        //   Usage (X)
    0x09, 0x31,        //   Usage (Y)
    0x15, 0xF8,        //   Logical Minimum (-8)
    0x25, 0x07,        //   Logical Maximum (7)
    0x35, 0x00,        //   Physical Minimum (0)
    0x45, 0x64,        //   Physical Maximum (100)
    0x75, 0x04,        //   Report Size (4)
    0x95, 0x02,        //   Report Count (2)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0xC0,              // End Collection
};

TEST(UnpackReport, ButtonsAndValues) {
    const ReportDescriptor d = ParseOk(kUnpackDescriptor);
    const HidCollectionInfo& c = d.Collections().at(0);
    auto table = BuildUsageTable(c, HidReportKind::Input);
    // Consumer array entry, button entry, then X and Y.
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0].maxUsageListLength, 2u);
    EXPECT_EQ(table[1].maxUsageListLength, 4u);
    EXPECT_EQ(table[2].usage, 0x30);
    EXPECT_EQ(table[3].usage, 0x31);

    const uint8_t consumer[] = {0x03, 0xE9, 0x00};  // volume up pressed, second slot empty
    ASSERT_TRUE(
        UnpackReportInto(c, consumer, sizeof consumer, HidReportKind::Input, table.data(), table.size()));
    EXPECT_EQ(table[0].usages, (std::vector<uint16_t>{0xE9, 0}));
    EXPECT_EQ(table[0].dataSet, 1);
    EXPECT_EQ(table[1].dataSet, 0);  // other report id: untouched

    // Buttons 2 and 4 in bits 0-3, X = 1 in bits 4-7, Y = -1 in the low nibble of the next byte.
    const uint8_t buttons[] = {0x05, 0x1A, 0x0F};
    ASSERT_TRUE(
        UnpackReportInto(c, buttons, sizeof buttons, HidReportKind::Input, table.data(), table.size()));
    EXPECT_EQ(table[1].usages, (std::vector<uint16_t>{2, 4, 0, 0}));
    EXPECT_EQ(table[2].rawValue, 1u);
    EXPECT_EQ(table[2].scaledValue, 60);  // (1 - -8) * 100 / 15
    EXPECT_EQ(table[2].status, kHidStatusSuccess);
    EXPECT_EQ(table[3].rawValue, 0xFu);
    EXPECT_EQ(table[3].scaledValue, 46);  // (-1 - -8) * 100 / 15
    // The consumer entry keeps what the earlier report left.
    EXPECT_EQ(table[0].usages, (std::vector<uint16_t>{0xE9, 0}));

    // A later report with fewer buttons on must not leave the earlier ones behind.
    const uint8_t fewer[] = {0x05, 0x11, 0x00};
    ASSERT_TRUE(UnpackReportInto(c, fewer, sizeof fewer, HidReportKind::Input, table.data(), table.size()));
    EXPECT_EQ(table[1].usages, (std::vector<uint16_t>{1, 0, 0, 0}));
}

TEST(UnpackReport, UnknownReportIdLeavesTableUnchanged) {
    const ReportDescriptor d = ParseOk(kUnpackDescriptor);
    auto table = BuildUsageTable(d.Collections().at(0), HidReportKind::Input);
    const auto before = table;
    const uint8_t other[] = {0x09, 0xFF, 0xFF};
    ASSERT_TRUE(UnpackReportInto(d.Collections()[0], other, sizeof other, HidReportKind::Input, table.data(),
                                 table.size()));
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].dataSet, before[i].dataSet);
        EXPECT_EQ(table[i].usages, before[i].usages);
        EXPECT_EQ(table[i].rawValue, before[i].rawValue);
    }
}

TEST(UnpackReport, ShortReportStopsAtTheValue) {
    const ReportDescriptor d = ParseOk(kUnpackDescriptor);
    auto table = BuildUsageTable(d.Collections().at(0), HidReportKind::Input);
    const uint8_t cut[] = {0x05, 0x1A};  // Y is missing
    EXPECT_FALSE(UnpackReportInto(d.Collections()[0], cut, sizeof cut, HidReportKind::Input, table.data(),
                                  table.size()));
    EXPECT_EQ(table[2].dataSet, 1);
    EXPECT_EQ(table[3].dataSet, 0);
    EXPECT_EQ(table[3].status, kHidStatusInvalidReportLength);
}

TEST(UnpackReport, UsagesAreCompactedToTheEntryRange) {
    const std::vector<uint8_t> bytes = {
        0x05, 0x09,  // Usage Page (Button)
        0x09, 0x01,  // Usage (1)
        0xA1, 0x01,  // Collection (Application)
        0x19, 0x01,  //   Usage Minimum (1)
        0x29, 0x04,  //   Usage Maximum (4)
        0x15, 0x00,  //   Logical Minimum (0)
        0x25, 0x01,  //   Logical Maximum (1)
        0x75, 0x01,  //   Report Size (1)
        0x95, 0x04,  //   Report Count (4)
        0x81, 0x02,  //   Input (Data, Variable, Absolute): buttons 1-4
        0x19, 0x05,  //   Usage Minimum (5)
        0x29, 0x08,  //   Usage Maximum (8)
        0x81, 0x02,  //   Input (Data, Variable, Absolute): buttons 5-8
        0xC0,        // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    auto table = BuildUsageTable(d.Collections().at(0), HidReportKind::Input);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].maxUsageListLength, 8u);    // the whole page of the report
    const uint8_t report[] = {0x00, 0b0110'0101};  // buttons 1, 3, 6, 7
    ASSERT_TRUE(UnpackReportInto(d.Collections()[0], report, sizeof report, HidReportKind::Input,
                                 table.data(), table.size()));
    EXPECT_EQ(table[0].usages, (std::vector<uint16_t>{1, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(table[1].usages, (std::vector<uint16_t>{6, 7, 0, 0, 0, 0, 0, 0}));
}

TEST(UnpackReport, ArrayOfListedUsagesSelectsByPosition) {
    const std::vector<uint8_t> bytes = {
        0x05, 0x0C,  // Usage Page (Consumer)
        0x09, 0x01,  // Usage (Consumer Control)
        0xA1, 0x01,  // Collection (Application)
        0x09, 0xB5,  //   Usage (Scan Next Track)
        0x09, 0xB6,  //   Usage (Scan Previous Track)
        0x09, 0xCD,  //   Usage (Play/Pause)
        0x15, 0x01,  //   Logical Minimum (1)
        0x25, 0x03,  //   Logical Maximum (3)
        0x75, 0x02,  //   Report Size (2)
        0x95, 0x02,  //   Report Count (2)
        0x81, 0x00,  //   Input (Data, Array, Absolute)
        0x95, 0x01,  //   Report Count (1)
        0x75, 0x04,  //   Report Size (4)
        0x81, 0x01,  //   Input (Constant): padding
        0xC0,        // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    const HidCollectionInfo& c = d.Collections().at(0);
    EXPECT_EQ(c.reportLength[0], 2);
    ASSERT_EQ(c.ButtonCapCount(HidReportKind::Input), 3u);
    auto table = BuildUsageTable(c, HidReportKind::Input);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].maxUsageListLength, 6u);    // as the HID stack counts: every cap's fields
    const uint8_t report[] = {0x00, 0b0000'1110};  // field 0 = 2 (previous), field 1 = 3 (play)
    ASSERT_TRUE(UnpackReportInto(c, report, sizeof report, HidReportKind::Input, table.data(), table.size()));
    EXPECT_EQ(table[0].usages[0], 0);  // next track is not pressed
    EXPECT_EQ(table[1].usages[0], 0xB6);
    EXPECT_EQ(table[1].usages[1], 0);
    EXPECT_EQ(table[2].usages[0], 0xCD);
}

TEST(ReportDescriptorParse, VariableItemWithMoreUsagesThanFields) {
    const std::vector<uint8_t> bytes = {
        0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
        0x09, 0x01,        // Usage (1)
        0xA1, 0x01,        // Collection (Application)
        0x19, 0x10,        //   Usage Minimum (0x10)
        0x29, 0x1F,        //   Usage Maximum (0x1F): 16 usages
        0x75, 0x08,        //   Report Size (8)
        0x95, 0x04,        //   Report Count (4): but only 4 fields
        0x81, 0x02,        //   Input (Data, Variable, Absolute)
        0xC0,              // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    const HidCollectionInfo& c = d.Collections().at(0);
    ASSERT_EQ(c.caps.size(), 1u);
    EXPECT_EQ(c.caps[0].usageMax, 0x13);
    const auto table = BuildUsageTable(c, HidReportKind::Input);
    EXPECT_EQ(table.size(), 4u);  // no entry for a usage without a field
}

TEST(UnpackReport, ValueOutsideTheLogicalRange) {
    const std::vector<uint8_t> bytes = {
        0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
        0x09, 0x01,        // Usage (1)
        0xA1, 0x01,        // Collection (Application)
        0x09, 0x10,        //   Usage (0x10)
        0x15, 0x00,        //   Logical Minimum (0)
        0x25, 0x64,        //   Logical Maximum (100)
        0x75, 0x08,        //   Report Size (8)
        0x95, 0x01,        //   Report Count (1)
        0x81, 0x02,        //   Input (Data, Variable, Absolute)
        0xC0,              // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    auto table = BuildUsageTable(d.Collections().at(0), HidReportKind::Input);
    ASSERT_EQ(table.size(), 1u);
    const uint8_t inRange[] = {0x00, 50};
    ASSERT_TRUE(UnpackReportInto(d.Collections()[0], inRange, 2, HidReportKind::Input, table.data(), 1));
    EXPECT_EQ(table[0].scaledValue, 50);
    const uint8_t outOfRange[] = {0x00, 200};
    ASSERT_TRUE(UnpackReportInto(d.Collections()[0], outOfRange, 2, HidReportKind::Input, table.data(), 1));
    EXPECT_EQ(table[0].rawValue, 200u);
    EXPECT_EQ(table[0].status, kHidStatusValueOutOfRange);
}

}  // namespace

namespace {

// Usage-list room plus value entries of a built table: what it costs in memory, in entries.
size_t TableRoom(const std::vector<HidUsageData>& table) {
    size_t room = 0;
    for (const HidUsageData& e : table) room += e.isButton ? e.usages.size() : 1;
    return room;
}

// One keyboard-page collection of `items` array items, each naming `usages` single usages over
// `count` fields of `size` bits: the shape whose usage table grows with the square of the items.
std::vector<uint8_t> ArrayItems(int items, int usages, int count, int size) {
    std::vector<uint8_t> bytes = {0x05, 0x07, 0x09, 0x06, 0xA1, 0x01, 0x15, 0x00, 0x25, 0xFF};
    for (int i = 0; i < items; ++i) {
        for (int u = 0; u < usages; ++u) bytes.insert(bytes.end(), {0x09, uint8_t(u + 1)});
        bytes.insert(bytes.end(),
                     {0x75, uint8_t(size), 0x96, uint8_t(count), uint8_t(count >> 8), 0x81, 0x00});
    }
    bytes.push_back(0xC0);
    return bytes;
}

}  // namespace

TEST(ReportDescriptorBounds, HostileDescriptorsAreRefusedOrStaySmall) {
    // 2.4 KB that asked for a usage table of 367 million entries (four array items of 300 usages
    // over 255 byte fields): refused as a whole, with its own status.
    const std::vector<uint8_t> quadratic = ArrayItems(4, 300, 255, 8);
    ASSERT_LT(quadratic.size(), 2600u);
    ReportDescriptor refused;
    EXPECT_EQ(refused.Parse(quadratic), ReportDescriptorStatus::TooManyUsages);
    EXPECT_TRUE(refused.Collections().empty());

    // Whatever the shape, a descriptor is refused or its table stays within the bound.
    for (int items : {1, 2, 4, 16}) {
        for (int usages : {1, 8, 64, 120}) {
            for (int count : {1, 6, 255}) {
                ReportDescriptor d;
                const ReportDescriptorStatus status = d.Parse(ArrayItems(items, usages, count, 8));
                if (status == ReportDescriptorStatus::TooManyUsages ||
                    status == ReportDescriptorStatus::BadReportSize)
                    continue;
                ASSERT_EQ(status, ReportDescriptorStatus::Ok) << items << " " << usages << " " << count;
                const auto table = BuildUsageTable(d.Collections().at(0), HidReportKind::Input);
                EXPECT_LE(TableRoom(table), kHidMaxUsageTableRoom) << items << " " << usages << " " << count;
            }
        }
    }

    // Fields without width take no room in the report: with large counts they passed the size
    // check and became buttons of 12288 fields each. They are padding now.
    ReportDescriptor zero;
    ASSERT_EQ(zero.Parse(ArrayItems(200, 1, 12288, 0)), ReportDescriptorStatus::Ok);
    EXPECT_EQ(zero.Collections().at(0).ButtonCapCount(HidReportKind::Input), 0u);
    EXPECT_EQ(TableRoom(BuildUsageTable(zero.Collections()[0], HidReportKind::Input)), 0u);

    // The kernel's bounds: report count, report size, data items per report.
    ReportDescriptor d;
    EXPECT_EQ(d.Parse(ArrayItems(1, 1, 12289, 8)), ReportDescriptorStatus::TooManyUsages);
    std::vector<uint8_t> wide = ArrayItems(1, 1, 1, 8);
    wide.insert(wide.end() - 1, {0x76, 0x01, 0x01, 0x09, 0x01, 0x81, 0x02});  // Report Size (257)
    EXPECT_EQ(d.Parse(wide), ReportDescriptorStatus::BadReportSize);
    std::vector<uint8_t> many = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x01, 0x95, 0x01, 0x25, 0x01};
    for (int i = 0; i < 257; ++i) many.insert(many.end(), {0x09, 0x01, 0x81, 0x02});
    many.push_back(0xC0);
    EXPECT_EQ(d.Parse(many), ReportDescriptorStatus::TooManyFields);
    EXPECT_TRUE(d.Collections().empty());
    many.erase(many.end() - 5, many.end() - 1);  // 256 items: taken
    EXPECT_EQ(d.Parse(many), ReportDescriptorStatus::Ok);
    // A single usage range wider than the bound is cut, not refused, as the kernel does.
    const std::vector<uint8_t> range = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x19, 0x00, 0x2A, 0xFF,
                                        0xFF, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x00, 0xC0};
    ASSERT_EQ(d.Parse(range), ReportDescriptorStatus::Ok);
    EXPECT_EQ(d.Collections()[0].caps.at(0).usageMax, kHidMaxUsages - 1);
}

TEST(ReportDescriptorBounds, UsagePageZeroEntriesCountEveryPagesFields) {
    // A button entry of usage page 0 lists the usages of every page, so its room is all the
    // button fields of the report kind, not those of page 0 alone. Counted per page, 200 such
    // entries beside one 250-field button item passed the bound with a table of 90,250 entries.
    std::vector<uint8_t> bytes = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x25, 0x01, 0x19, 0x01,
                                  0x29, 0xFA, 0x75, 0x01, 0x95, 0xFA, 0x81, 0x02, 0x05, 0x00, 0x25, 0xFF};
    for (int i = 0; i < 200; ++i) bytes.insert(bytes.end(), {0x09, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x00});
    bytes.push_back(0xC0);
    ReportDescriptor d;
    EXPECT_EQ(d.Parse(bytes), ReportDescriptorStatus::TooManyUsages);

    // Fewer entries fit, and the table then stays within the bound.
    bytes.erase(bytes.begin() + 24 + 8 * 100, bytes.end() - 1);
    ASSERT_EQ(d.Parse(bytes), ReportDescriptorStatus::Ok);
    const auto table = BuildUsageTable(d.Collections().at(0), HidReportKind::Input);
    EXPECT_LE(TableRoom(table), kHidMaxUsageTableRoom);
    EXPECT_EQ(table.back().maxUsageListLength, 350u);
}

TEST(UnpackReport, ScalingWithThirtyTwoBitExtremesDoesNotOverflow) {
    const std::vector<uint8_t> bytes = {
        0x05, 0x01,                    // Usage Page (Generic Desktop)
        0x09, 0x30,                    // Usage (X)
        0xA1, 0x01,                    // Collection (Application)
        0x09, 0x30,                    //   Usage (X)
        0x17, 0x00, 0x00, 0x00, 0x80,  //   Logical Minimum (-2^31)
        0x27, 0xFF, 0xFF, 0xFF, 0x7F,  //   Logical Maximum (2^31 - 1)
        0x37, 0x00, 0x00, 0x00, 0x80,  //   Physical Minimum (-2^31)
        0x47, 0xFF, 0xFF, 0xFF, 0x7F,  //   Physical Maximum (2^31 - 1)
        0x75, 0x20,                    //   Report Size (32)
        0x95, 0x01,                    //   Report Count (1)
        0x81, 0x02,                    //   Input (Data, Variable, Absolute)
        0xC0,                          // End Collection
    };
    const ReportDescriptor d = ParseOk(bytes);
    const HidCollectionInfo& c = d.Collections().at(0);
    auto table = BuildUsageTable(c, HidReportKind::Input);
    ASSERT_EQ(table.size(), 1u);
    const struct {
        uint32_t raw;
        int32_t scaled;
    } cases[] = {{0x7FFFFFFF, INT32_MAX}, {0x80000000, INT32_MIN}, {0, 0}, {0xFFFFFFFF, -1}};
    for (const auto& k : cases) {
        const uint8_t report[] = {0x00, uint8_t(k.raw), uint8_t(k.raw >> 8), uint8_t(k.raw >> 16),
                                  uint8_t(k.raw >> 24)};
        ASSERT_TRUE(
            UnpackReportInto(c, report, sizeof report, HidReportKind::Input, table.data(), table.size()));
        EXPECT_EQ(table[0].status, kHidStatusSuccess) << k.raw;
        EXPECT_EQ(table[0].scaledValue, k.scaled) << k.raw;
    }
}
