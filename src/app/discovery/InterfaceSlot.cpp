#include "app/discovery/InterfaceSlot.h"

using vx::devices::kTypeKeyboard;
using vx::devices::kTypeKeyboardReceiver;
using vx::devices::kTypeMouse;
using vx::devices::kTypeMouseReceiver;

namespace vx::discovery {

using vx::link::SupportedInterface;

InterfaceSlot InterfaceSlot::FromSupported(const SupportedInterface& row) {
    InterfaceSlot slot;
    slot.vendorId = row.vendorId;
    slot.productId = row.productId;
    slot.interfaceNumber = row.interfaceNumber;
    slot.collectionNumber = row.collectionNumber;
    slot.typeCode = row.typeCode;
    slot.role = row.role;
    slot.usagePage = row.usagePage;
    slot.usage = row.usage;
    slot.hasTwin = row.hasTwin;
    slot.twinIndex = row.twinIndex;
    return slot;
}

bool InterfaceSlot::IsWireless() const {
    return IsWirelessType(typeCode);
}

bool IsWirelessType(uint16_t typeCode) {
    return typeCode == kTypeMouseReceiver || typeCode == kTypeKeyboardReceiver;
}

uint16_t WiredTypeCode(uint16_t typeCode) {
    if (typeCode == kTypeMouseReceiver) return kTypeMouse;
    if (typeCode == kTypeKeyboardReceiver) return kTypeKeyboard;
    return typeCode;
}

bool SameIdentity(const InterfaceSlot& a, const InterfaceSlot& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId && a.interfaceNumber == b.interfaceNumber &&
           a.collectionNumber == b.collectionNumber && a.typeCode == b.typeCode && a.role == b.role &&
           a.usagePage == b.usagePage && a.usage == b.usage;
}

bool SameLocation(const InterfaceSlot& slot, uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                  uint16_t collectionNumber) {
    return slot.vendorId == vendorId && slot.productId == productId &&
           slot.interfaceNumber == interfaceNumber && slot.collectionNumber == collectionNumber;
}

}  // namespace vx::discovery
