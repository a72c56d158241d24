#pragma once
// The HID interfaces this program drives: one row per interface it claims (the command interface
// and the notification interface of each device and connection). Discovery matches present
// interfaces against it; the udev rules that give the seat user access are generated from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct SupportedInterface {
    uint16_t vendorId;
    uint16_t productId;
    uint16_t interfaceNumber;   // "&mi_" field
    uint16_t collectionNumber;  // "&col" field, 0 for an interface with one collection
    uint16_t typeCode;  // 1 keyboard, 9 keyboard by receiver, 2 mouse, 6 mouse by receiver, 3 pad, 7 headset
    uint16_t role;      // kRoleCommand or kRoleNotification
    uint16_t usagePage;
    uint16_t usage;
    uint16_t hasTwin;    // 1 when the device also exists under the other connection
    uint16_t twinIndex;  // row of the twin (same role, other connection)
};

constexpr uint16_t kRoleCommand = 0;
constexpr uint16_t kRoleNotification = 0xFF;

constexpr size_t kSupportedInterfaceCount = 11;
extern const std::array<SupportedInterface, kSupportedInterfaceCount> kSupportedInterfaces;

// The distinct vendor/product pairs of the table, in table order.
std::vector<std::pair<uint16_t, uint16_t>> SupportedVendorProducts();

// The udev rules file: uaccess for the hidraw nodes of every supported device.
std::string SupportedDevicesUdevRules();
