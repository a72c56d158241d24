#pragma once
// The virtual devices: every supported interface of the product line, with the identity the
// program matches it by. The models and their identities come from the device catalogue (one
// virtual device per connection of each catalogue entry); what the firmware answers is the
// emulator's own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::emulator {

// A virtual device by its index in VirtualModels(). The named ones are the built-in catalogue's;
// a model added to the catalogue is reached by its index or its name.
enum class VirtualModel : size_t {
    KeyboardWired = 0,
    KeyboardReceiver,
    MouseWired,
    MouseReceiver,
    Mousepad,
    Headset
};

// Which firmware answers: the keyboard on its cable and behind its receiver is one keyboard.
enum class FirmwareKind { Keyboard = 0, Mouse, Mousepad, Headset };

constexpr size_t kFirmwareKindCount = 4;

enum class Transport { Cable, Receiver };

struct VirtualModelInfo {
    VirtualModel model;
    std::string name;      // command-line name, e.g. "keyboard-wired"
    std::string nodeName;  // node of the virtual interface directory
    uint16_t vendor;
    uint16_t product;
    uint16_t version;
    uint16_t interfaceNumber;
    FirmwareKind firmware;
    Transport transport;
};

// In the order of the interface slot table: each device on its cable, then through its receiver.
const std::vector<VirtualModelInfo>& VirtualModels();
const VirtualModelInfo& ModelInfo(VirtualModel model);
std::optional<VirtualModel> ParseVirtualModel(std::string_view name);

}  // namespace vx::emulator
