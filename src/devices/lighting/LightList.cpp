#include "devices/lighting/LightList.h"

namespace vx::lighting {

void LightList::Set(const LightListEntry* entries, std::size_t count) {
    std::lock_guard lock(m_lock);
    m_count = static_cast<int>(count < kCapacity ? count : kCapacity);
    for (int i = 0; i < m_count; ++i) m_entries[i] = entries[i];
    for (int i = m_count; i < kCapacity; ++i) m_entries[i] = LightListEntry{};
}

}  // namespace vx::lighting
