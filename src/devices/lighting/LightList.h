#pragma once

#include <array>
#include <cstddef>
#include <mutex>

#include "devices/lighting/LightingRecords.h"

namespace vx::lighting {

// A page's light list (the profile's "LightList"), written by the window thread and read by the
// lighting thread's area pass, each under the list's own lock.
class LightList {
public:
    static constexpr int kCapacity = 170;

    // Entries beyond the 170 LEDs an entry can drive are dropped.
    void Set(const LightListEntry* entries, std::size_t count);

    std::mutex& Lock() const { return m_lock; }
    // Only under Lock().
    int CountLocked() const { return m_count; }
    const LightListEntry* EntriesLocked() const { return m_entries.data(); }

private:
    mutable std::mutex m_lock;
    std::array<LightListEntry, kCapacity> m_entries{};
    int m_count = 0;
};

}  // namespace vx::lighting
