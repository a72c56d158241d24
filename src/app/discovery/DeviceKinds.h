#pragma once
// The device kinds (one device page and one selector entry each) and their page layouts. A kind is
// identified by (vendor, product, type code, variant); the variant tells the hard mousepad (0)
// from the soft one (1).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

class InterfaceSlotTable;

struct DeviceKind {
    std::string_view entryLayout;  // selector entry
    std::string_view entryGroup;   // option group of the entries: one selected at a time
    std::string_view powerTab;     // tab layout holding the power indicators
    std::string_view kindName;     // shown on the entry; data folder and factory-profile stem
    int pageArgument;              // the page's light-table index
    uint16_t vendorId;
    uint16_t productId;
    uint16_t typeCode;
    uint16_t variant;
};

struct DevicePage {
    std::string_view pageLayout;
    std::string_view lightNamePrefix;
    // Handed to the page in this order by index; the third is 1 only for a page that shows its
    // power indicator.
    std::array<int, 4> pageValues;
};

constexpr size_t kDeviceKindCount = 4;
constexpr int kKindMouse = 0;
constexpr int kKindKeyboard = 1;
constexpr int kKindMousePad = 2;
constexpr int kKindHeadset = 3;

extern const std::array<DeviceKind, kDeviceKindCount> kDeviceKinds;
extern const std::array<DevicePage, kDeviceKindCount> kDevicePages;

constexpr std::string_view kPowerIndicatorLayout = "XML\\CustomControlXML\\MpDevicePower.xml";

// The first kind with these four values; -1 when none.
int FindDeviceKind(uint16_t vendorId, uint16_t productId, uint16_t typeCode, uint16_t variant);

// The kind of the device behind a slot: its wired type code looked up with the identity slot's
// vendor and product (a receiver slot with a twin is found under its wired twin). -1 when none.
int DeviceKindOfSlot(const InterfaceSlotTable& slots, size_t index, uint16_t variant = 0);

// The command slot a kind's page is created for before any device is seen; -1 when none.
int PlaceholderSlotIndex(const InterfaceSlotTable& slots, int kind);
