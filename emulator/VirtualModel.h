#pragma once
// The six virtual devices: every supported interface of the real product line, with the identity
// the program matches it by.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

enum class VirtualModel { KeyboardWired = 0, KeyboardReceiver, MouseWired, MouseReceiver, Mousepad, Headset };

constexpr size_t kVirtualModelCount = 6;

// Which firmware answers: the keyboard on its cable and behind its receiver is one keyboard.
enum class FirmwareKind { Keyboard = 0, Mouse, Mousepad, Headset };

constexpr size_t kFirmwareKindCount = 4;

enum class Transport { Cable, Receiver };

struct VirtualModelInfo {
    VirtualModel model;
    std::string_view name;      // command-line name, e.g. "keyboard-wired"
    std::string_view nodeName;  // node of the virtual interface directory
    uint16_t vendor;
    uint16_t product;
    uint16_t version;
    uint16_t interfaceNumber;
    FirmwareKind firmware;
    Transport transport;
};

const std::array<VirtualModelInfo, kVirtualModelCount>& VirtualModels();
const VirtualModelInfo& ModelInfo(VirtualModel model);
std::optional<VirtualModel> ParseVirtualModel(std::string_view name);
