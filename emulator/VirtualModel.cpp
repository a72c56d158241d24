#include "emulator/VirtualModel.h"

namespace {

// clang-format off
constexpr std::array<VirtualModelInfo, kVirtualModelCount> kModels = {{
    // model                         name                 node                     vendor  product version if firmware                transport
    {VirtualModel::KeyboardWired,    "keyboard-wired",    "keyboard-wired-if1",    0x320F, 0x5055, 0x0100, 1, FirmwareKind::Keyboard, Transport::Cable},
    {VirtualModel::KeyboardReceiver, "keyboard-receiver", "keyboard-receiver-if1", 0x320F, 0x5001, 0x0100, 1, FirmwareKind::Keyboard, Transport::Receiver},
    {VirtualModel::MouseWired,       "mouse-wired",       "mouse-wired-if1",       0x320F, 0x221C, 0x0100, 1, FirmwareKind::Mouse,    Transport::Cable},
    {VirtualModel::MouseReceiver,    "mouse-receiver",    "mouse-receiver-if1",    0x320F, 0x221D, 0x0100, 1, FirmwareKind::Mouse,    Transport::Receiver},
    {VirtualModel::Mousepad,         "mousepad",          "mousepad-if1",          0x320F, 0x1004, 0x0100, 1, FirmwareKind::Mousepad, Transport::Cable},
    {VirtualModel::Headset,          "headset",           "headset-if3",           0x0C76, 0x1630, 0x0100, 3, FirmwareKind::Headset,  Transport::Cable},
}};
// clang-format on

}  // namespace

const std::array<VirtualModelInfo, kVirtualModelCount>& VirtualModels() {
    return kModels;
}

const VirtualModelInfo& ModelInfo(VirtualModel model) {
    return kModels[static_cast<size_t>(model)];
}

std::optional<VirtualModel> ParseVirtualModel(std::string_view name) {
    for (const VirtualModelInfo& info : kModels) {
        if (info.name == name) return info.model;
    }
    return std::nullopt;
}
