#pragma once
// The device kinds: one device page and one selector entry for each model of the slot table's
// catalogue, the kind index being the model's catalogue index. A kind is identified by (vendor,
// product, type code, variant); the variant tells the hard mousepad (0) from the soft one (1).

#include <cstddef>
#include <cstdint>

#include "link/DeviceCatalog.h"

namespace vx::discovery {

class InterfaceSlotTable;

// The first model of the table's catalogue with these four values (the wired type code of its
// class); -1 when none.
int FindDeviceKind(const InterfaceSlotTable& slots, uint16_t vendorId, uint16_t productId, uint16_t typeCode,
                   uint16_t variant);

// The kind of the device behind a slot: its wired type code looked up with the identity slot's
// vendor and product (a receiver slot with a twin is found under its wired twin). -1 when none.
int DeviceKindOfSlot(const InterfaceSlotTable& slots, size_t index, uint16_t variant = 0);

// The model of a kind index; nullptr beyond the catalogue.
const vx::link::DeviceModel* ModelOfKind(const InterfaceSlotTable& slots, int kind);

// The command slot a kind's page is created for before any device is seen; -1 when none.
int PlaceholderSlotIndex(const InterfaceSlotTable& slots, int kind);

}  // namespace vx::discovery
