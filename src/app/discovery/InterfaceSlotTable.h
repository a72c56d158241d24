#pragma once
// The interface slot table: one InterfaceSlot per supported interface, in the order of the
// supported-interface table, and the device models that table was derived from. The discovery thread claims and frees slots; the UI thread reads them.
// Every access takes the table's own lock, and readers get copies, so a reader never sees a slot
// half written. The lock is never held while calling out.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "app/discovery/InterfaceSlot.h"

namespace vx::discovery {

class InterfaceSlotTable {
public:
    InterfaceSlotTable() = default;
    InterfaceSlotTable(const InterfaceSlotTable&) = delete;
    InterfaceSlotTable& operator=(const InterfaceSlotTable&) = delete;

    // Derives the slots from the device models (the built-in catalogue unless told otherwise);
    // every slot starts free.
    void Fill(std::span<const vx::link::DeviceModel> models = vx::link::DeviceCatalog());
    // The models of the last Fill, in catalogue order: the index of a model is its kind index.
    // Not changed while the discovery thread runs.
    const std::vector<vx::link::DeviceModel>& Models() const { return m_models; }
    size_t Size() const;
    // A copy of the slot; a default (free, all zero) record for an index beyond the table.
    InterfaceSlot Slot(size_t index) const;
    std::vector<InterfaceSlot> Snapshot() const;
    bool IsValidIndex(size_t index) const { return index < Size(); }

    bool AnyFree() const;
    // A free slot sits at this vendor, product, interface and collection.
    bool HasFreeAt(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                   uint16_t collectionNumber) const;
    // Binds the first free slot that equals the candidate in vendor, product, interface,
    // collection, usage page and usage to path; its index, or -1 when there is none.
    int ClaimFree(const InterfaceSlot& candidate, const std::string& path);
    // Connected 0, path empty. False when the slot was already free.
    bool Free(size_t index);
    struct ConnectedPath {
        size_t index;
        std::string path;
    };
    std::vector<ConnectedPath> ConnectedPaths() const;

    // First slot with this vendor, product, type code and role; -1 when none.
    int FindSlot(uint16_t vendorId, uint16_t productId, uint16_t typeCode, uint16_t role) const;
    // The slot whose record a device page keeps for the device behind slot index: for a
    // notification slot the command slot of the same device; for a wireless slot with a twin, the
    // twin (the wired slot), so that one page serves both connections. -1 beyond the table.
    int IdentitySlotIndex(size_t index) const;
    // The slot has a twin (the same device on its other connection) and the twin is bound now:
    // an arrival or removal then switches the connection instead of binding or unbinding.
    bool TwinConnected(size_t index) const;

private:
    int IdentitySlotIndexLocked(size_t index) const;

    mutable std::mutex m_mutex;
    std::vector<InterfaceSlot> m_slots;
    std::vector<vx::link::DeviceModel> m_models;
};

}  // namespace vx::discovery
