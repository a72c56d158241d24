#include "devices/lighting/LedFrame.h"

namespace vx::lighting {

void LedFrame::SetCount(int count) {
    if (count < 0) count = 0;
    if (count > kCapacity) count = kCapacity;
    m_count.store(count, std::memory_order_release);
    Clear();
}

void LedFrame::Clear() {
    for (auto& e : m_entries) e.store(0, std::memory_order_relaxed);
}

void LedFrame::Set(int index, LedEntry entry) { SetRaw(index, entry.Pack()); }

LedEntry LedFrame::Get(int index) const { return LedEntry::Unpack(GetRaw(index)); }

void LedFrame::SetRaw(int index, uint32_t packed) {
    if (index < 0 || index >= Count()) return;
    m_entries[index].store(packed, std::memory_order_relaxed);
}

uint32_t LedFrame::GetRaw(int index) const {
    if (index < 0 || index >= Count()) return 0;
    return m_entries[index].load(std::memory_order_relaxed);
}

}  // namespace vx::lighting
