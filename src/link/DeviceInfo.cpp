#include "link/DeviceInfo.h"

#include <algorithm>

namespace vx::link {

DeviceInfo::DeviceInfo(std::span<const uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), kLength), m_bytes.begin());
}

}  // namespace vx::link
