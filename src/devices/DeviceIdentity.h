#pragma once
// The identity record of the device a page serves: a copy of the interface slot that discovery
// bound it to (for a device with a twin, always the wired command slot) plus the kind's variant.

#include <cstdint>
#include <string>

namespace vx::devices {

struct DeviceIdentity {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t typeCode = 0;  // 1 keyboard, 2 mouse, 3 mousepad, 7 headset (9 and 6 through a receiver)
    uint16_t role = 0;      // 0 command interface, 0xFF notification interface
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t variant = 0;  // mousepad: 0 hard, 1 soft
    std::string path;

    // Two records name the same interface when everything but the path and the variant agrees.
    bool SameInterface(const DeviceIdentity& other) const {
        return vendorId == other.vendorId && productId == other.productId &&
               interfaceNumber == other.interfaceNumber && collectionNumber == other.collectionNumber &&
               typeCode == other.typeCode && role == other.role && usagePage == other.usagePage &&
               usage == other.usage;
    }
};

// Device type codes as discovery reports them.
constexpr uint16_t kTypeKeyboard = 1;
constexpr uint16_t kTypeMouse = 2;
constexpr uint16_t kTypeMousePad = 3;
constexpr uint16_t kTypeMouseReceiver = 6;
constexpr uint16_t kTypeHeadset = 7;
constexpr uint16_t kTypeKeyboardReceiver = 9;

}  // namespace vx::devices
