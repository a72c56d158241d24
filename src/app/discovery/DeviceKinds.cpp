#include "app/discovery/DeviceKinds.h"

#include "app/discovery/InterfaceSlotTable.h"

namespace vx::discovery {

using vx::link::DeviceModel;
using vx::link::WiredTypeCodeOf;
using vx::link::kRoleCommand;

int FindDeviceKind(const InterfaceSlotTable& slots, uint16_t vendorId, uint16_t productId, uint16_t typeCode,
                   uint16_t variant) {
    const std::vector<DeviceModel>& models = slots.Models();
    for (size_t i = 0; i < models.size(); ++i) {
        const DeviceModel& m = models[i];
        if (m.vendorId == vendorId && m.productId == productId &&
            WiredTypeCodeOf(m.deviceClass) == typeCode && m.variant == variant)
            return static_cast<int>(i);
    }
    return -1;
}

int DeviceKindOfSlot(const InterfaceSlotTable& slots, size_t index, uint16_t variant) {
    const int identity = slots.IdentitySlotIndex(index);
    if (identity < 0) return -1;
    const InterfaceSlot slot = slots.Slot(index);
    const InterfaceSlot identitySlot = slots.Slot(static_cast<size_t>(identity));
    return FindDeviceKind(slots, identitySlot.vendorId, identitySlot.productId, WiredTypeCode(slot.typeCode),
                          variant);
}

const DeviceModel* ModelOfKind(const InterfaceSlotTable& slots, int kind) {
    if (kind < 0 || static_cast<size_t>(kind) >= slots.Models().size()) return nullptr;
    return &slots.Models()[static_cast<size_t>(kind)];
}

int PlaceholderSlotIndex(const InterfaceSlotTable& slots, int kind) {
    const DeviceModel* model = ModelOfKind(slots, kind);
    if (model == nullptr) return -1;
    return slots.FindSlot(model->vendorId, model->productId, WiredTypeCodeOf(model->deviceClass),
                          kRoleCommand);
}

}  // namespace vx::discovery
