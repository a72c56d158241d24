#include "link/StatusRecord.h"

namespace vx::link {

StatusRecord StatusRecord::Parse(std::span<const uint8_t> bytes, bool throughReceiver) {
    auto at = [&](size_t i) -> uint8_t { return i < bytes.size() ? bytes[i] : 0; };
    StatusRecord record;
    record.batteryPercent = at(0);
    record.chargeState = at(1);
    record.reserved = at(2);
    record.wireless = throughReceiver ? 1 : 0;
    record.forwarded = at(4);
    record.phoneType = at(5);
    return record;
}

std::array<uint8_t, StatusRecord::kLength> StatusRecord::Bytes() const {
    return {batteryPercent, chargeState, reserved, wireless, forwarded, phoneType};
}

}  // namespace vx::link
