#pragma once
// What a device page needs from its power indicator: show the 6-byte status record (battery
// percent, charge state, reserved, wireless flag, forwarded byte, phone type). The indicator
// control implements it.

#include <array>
#include <cstdint>

namespace vx::devices {

class IPowerDisplay {
public:
    virtual ~IPowerDisplay() = default;
    virtual void ShowStatus(const std::array<uint8_t, 6>& status) = 0;
};

}  // namespace vx::devices
