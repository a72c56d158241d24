#pragma once
// Finds the supported HID interfaces present now (hidraw and virtual) and, for each command
// interface, reads its capability record over the command channel.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/DeviceInfo.h"

namespace vx::listdevices {

enum class ProbeState {
    NotProbed,         // notification interface, or probing switched off
    Ok,                // capability record read
    PermissionDenied,  // the node exists but this user may not open it
    OpenFailed,        // gone between listing and opening, or not a HID node we can read
    WrongCollection,   // usage page/usage differ from the table's
    Asleep,            // the receiver is there but its device does not answer
    NoAnswer,          // the command channel returned no usable reply
};

struct ListedInterface {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    int tableRow = -1;
    uint16_t typeCode = 0;
    bool commandInterface = false;  // role 0; else the notification interface
    bool throughReceiver = false;
    ProbeState state = ProbeState::NotProbed;
    int linkCode = 0;  // the failing command's code when state is NoAnswer
    // Where the link failed, when it did ("open /dev/hidraw3: Permission denied (errno 13)").
    std::string linkError;
    std::optional<vx::link::DeviceInfo> info;
};

struct ListingOptions {
    bool probe = true;
};

struct Listing {
    bool enumerated = false;
    std::vector<ListedInterface> interfaces;
};

Listing ListSupportedInterfaces(const ListingOptions& options);

// "keyboard", "mouse", "mousepad", "headset" for the type codes of the supported table.
const char* DeviceKindName(uint16_t typeCode);
const char* ProbeStateName(ProbeState state);

}  // namespace vx::listdevices
