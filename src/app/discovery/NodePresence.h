#pragma once
// Whether the node behind a device path is still the one that was claimed, found without opening
// the device: a hidraw node is named by its sysfs link, which carries the HID device's instance
// number (a new one for every plug, even when the hidraw number is reused); a virtual node by its
// record and socket files, which the player makes anew on every plug.

#include <string>
#include <string_view>

namespace vx::discovery {

// A text that stays the same while the node stays plugged; empty when it is gone.
std::string NodePresenceToken(std::string_view path);

}  // namespace vx::discovery
