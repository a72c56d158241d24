#include "app/discovery/InterfaceSlotTable.h"

namespace vx::discovery {

using vx::link::DeviceModel;
using vx::link::InterfaceRowsOf;
using vx::link::SupportedInterface;

void InterfaceSlotTable::Fill(std::span<const DeviceModel> models) {
    std::vector<DeviceModel> copy(models.begin(), models.end());
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.clear();
    for (const SupportedInterface& row : InterfaceRowsOf(copy))
        m_slots.push_back(InterfaceSlot::FromSupported(row));
    m_models = std::move(copy);
}

size_t InterfaceSlotTable::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_slots.size();
}

InterfaceSlot InterfaceSlotTable::Slot(size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_slots.size() ? m_slots[index] : InterfaceSlot{};
}

std::vector<InterfaceSlot> InterfaceSlotTable::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_slots;
}

bool InterfaceSlotTable::AnyFree() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const InterfaceSlot& slot : m_slots) {
        if (slot.IsFree()) return true;
    }
    return false;
}

bool InterfaceSlotTable::HasFreeAt(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                                   uint16_t collectionNumber) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const InterfaceSlot& slot : m_slots) {
        if (slot.IsFree() && SameLocation(slot, vendorId, productId, interfaceNumber, collectionNumber))
            return true;
    }
    return false;
}

int InterfaceSlotTable::ClaimFree(const InterfaceSlot& candidate, const std::string& path) {
    if (path.empty()) return -1;  // an empty path would leave the slot looking free
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        InterfaceSlot& slot = m_slots[i];
        if (!slot.IsFree()) continue;
        if (!SameLocation(slot, candidate.vendorId, candidate.productId, candidate.interfaceNumber,
                          candidate.collectionNumber))
            continue;
        if (slot.usagePage != candidate.usagePage || slot.usage != candidate.usage) continue;
        slot.connected = 1;
        slot.path = path;
        return static_cast<int>(i);
    }
    return -1;
}

bool InterfaceSlotTable::Free(size_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_slots.size() || m_slots[index].IsFree()) return false;
    m_slots[index].connected = 0;
    m_slots[index].path.clear();
    return true;
}

std::vector<InterfaceSlotTable::ConnectedPath> InterfaceSlotTable::ConnectedPaths() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<ConnectedPath> paths;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].connected != 0) paths.push_back({i, m_slots[i].path});
    }
    return paths;
}

int InterfaceSlotTable::FindSlot(uint16_t vendorId, uint16_t productId, uint16_t typeCode,
                                 uint16_t role) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const InterfaceSlot& s = m_slots[i];
        if (s.vendorId == vendorId && s.productId == productId && s.typeCode == typeCode && s.role == role)
            return static_cast<int>(i);
    }
    return -1;
}

int InterfaceSlotTable::IdentitySlotIndex(size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return IdentitySlotIndexLocked(index);
}

bool InterfaceSlotTable::TwinConnected(size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_slots.size() || m_slots[index].hasTwin == 0) return false;
    const size_t twin = m_slots[index].twinIndex;
    return twin < m_slots.size() && m_slots[twin].connected != 0;
}

int InterfaceSlotTable::IdentitySlotIndexLocked(size_t index) const {
    if (index >= m_slots.size()) return -1;
    size_t identity = index;
    const InterfaceSlot& slot = m_slots[index];
    if (!slot.IsCommand()) {
        for (size_t i = 0; i < m_slots.size(); ++i) {
            const InterfaceSlot& s = m_slots[i];
            if (s.IsCommand() && s.vendorId == slot.vendorId && s.productId == slot.productId &&
                s.interfaceNumber == slot.interfaceNumber && s.typeCode == slot.typeCode) {
                identity = i;
                break;
            }
        }
    }
    const InterfaceSlot& command = m_slots[identity];
    if (command.IsWireless() && command.hasTwin != 0 && command.twinIndex < m_slots.size())
        identity = command.twinIndex;
    return static_cast<int>(identity);
}

}  // namespace vx::discovery
