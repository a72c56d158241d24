#include "app/discovery/DeviceKinds.h"

#include "app/discovery/InterfaceSlotTable.h"

namespace {
constexpr std::string_view kEntryLayout = "XML\\CustomControlXML\\DeviceOption.xml";
constexpr std::string_view kEntryGroup = "tab_header_device";
constexpr std::string_view kPowerTab = "device_power_switch";
}  // namespace

// clang-format off
const std::array<DeviceKind, kDeviceKindCount> kDeviceKinds = {{
    // entry layout  entry group  power tab  kind name    page arg  vendor  product type variant
    {kEntryLayout, kEntryGroup, kPowerTab, "mouse",    1, 0x320F, 0x221C, 2, 0},  // 0
    {kEntryLayout, kEntryGroup, kPowerTab, "keyboard", 0, 0x320F, 0x5055, 1, 0},  // 1
    {kEntryLayout, kEntryGroup, kPowerTab, "MousePad", 2, 0x320F, 0x1004, 3, 0},  // 2
    {kEntryLayout, kEntryGroup, kPowerTab, "HD",       3, 0x0C76, 0x1630, 7, 0},  // 3
}};

const std::array<DevicePage, kDeviceKindCount> kDevicePages = {{
    // page layout                            light name prefix  page values
    {"XML\\DeviceXml\\mousedevice.xml",    "qorin_light", {0x0F, 0x0B, 1, -1}},  // mouse
    {"XML\\DeviceXml\\keyboarddevice.xml", "qorin_light", {0xAA, 0xAA, 0, -1}},  // keyboard
    {"XML\\DeviceXml\\mousepaddevice.xml", "qorin_light", {0x0F, 0,    0, -1}},  // mousepad
    {"XML\\DeviceXml\\ru6533device.xml",   "qorin_light", {0x0D, 0,    0, -1}},  // headset
}};
// clang-format on

int FindDeviceKind(uint16_t vendorId, uint16_t productId, uint16_t typeCode, uint16_t variant) {
    for (size_t i = 0; i < kDeviceKinds.size(); ++i) {
        const DeviceKind& k = kDeviceKinds[i];
        if (k.vendorId == vendorId && k.productId == productId && k.typeCode == typeCode &&
            k.variant == variant)
            return static_cast<int>(i);
    }
    return -1;
}

int DeviceKindOfSlot(const InterfaceSlotTable& slots, size_t index, uint16_t variant) {
    const int identity = slots.IdentitySlotIndex(index);
    if (identity < 0) return -1;
    const InterfaceSlot slot = slots.Slot(index);
    const InterfaceSlot identitySlot = slots.Slot(static_cast<size_t>(identity));
    return FindDeviceKind(identitySlot.vendorId, identitySlot.productId, WiredTypeCode(slot.typeCode),
                          variant);
}

int PlaceholderSlotIndex(const InterfaceSlotTable& slots, int kind) {
    if (kind < 0 || kind >= static_cast<int>(kDeviceKinds.size())) return -1;
    const DeviceKind& k = kDeviceKinds[static_cast<size_t>(kind)];
    return slots.FindSlot(k.vendorId, k.productId, k.typeCode, kRoleCommand);
}
