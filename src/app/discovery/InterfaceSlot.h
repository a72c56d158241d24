#pragma once
// One row of the interface slot table: a supported interface and, while it is bound to a present
// HID interface, that interface's path. Also the identity record a device page keeps of the device
// it serves.

#include <cstdint>
#include <string>

#include "devices/DeviceIdentity.h"
#include "link/DeviceCatalog.h"

namespace vx::discovery {

struct InterfaceSlot {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t typeCode = 0;
    uint16_t role = vx::link::kRoleCommand;
    uint16_t connected = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t hasTwin = 0;
    uint16_t twinIndex = 0;
    std::string path;

    static InterfaceSlot FromSupported(const vx::link::SupportedInterface& row);

    bool IsFree() const { return connected == 0 && path.empty(); }
    bool IsCommand() const { return role == vx::link::kRoleCommand; }
    bool IsWireless() const;
};

// Device type codes (kTypeKeyboard ... kTypeKeyboardReceiver) are shared with the device pages.

bool IsWirelessType(uint16_t typeCode);
// 6 -> 2, 9 -> 1; every other code is its own wired code.
uint16_t WiredTypeCode(uint16_t typeCode);

// Identity records are equal when vendor, product, interface, collection, type, role, usage page
// and usage are; the connected flag, the twin fields and the path do not count.
bool SameIdentity(const InterfaceSlot& a, const InterfaceSlot& b);

// The match of a listed path against the table before anything is opened.
bool SameLocation(const InterfaceSlot& slot, uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                  uint16_t collectionNumber);

}  // namespace vx::discovery
