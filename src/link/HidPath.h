#pragma once
// The device-path form shared by hidraw and virtual nodes:
//   hid#vid_320f&pid_5055&mi_01&col04#/dev/hidraw3
//   hid#vid_320f&pid_5055&mi_01&col04#virtual:/run/user/1000/vexor-virtual-hid/keyboard-wired-if1
// The identity fields come first so that the parse helpers never read a node name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx::link {

constexpr std::string_view kVirtualNodePrefix = "virtual:";

struct HidPathParts {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::optional<uint16_t> interfaceNumber;  // absent when the bus does not say
    uint16_t collection = 0;                  // 0 when the node has one top-level collection
    std::string node;                         // "/dev/hidraw3" or "virtual:/dir/name"
};

std::string MakeHidPath(const HidPathParts& parts);
// The node part (after the second '#'); empty when the path does not have the form above.
std::string HidPathNode(std::string_view path);
bool IsVirtualNode(std::string_view node);

}  // namespace vx::link
