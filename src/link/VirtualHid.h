#pragma once
// The host side of the virtual interface directory (docs/virtual-devices.md): listing the nodes
// that a player publishes there and connecting to one of them.

#include <string>
#include <vector>

#include "link/HidLink.h"
#include "link/HidTransport.h"
#include "link/LinkError.h"

namespace vx::link {

// The directory named by VX_VIRTUAL_HID_DIR; empty when unset.
std::string VirtualHidDirectory();

// Appends one record per well-formed "NAME.node" in dir (sorted by name); a missing or unreadable
// directory adds nothing. Each record's node is "virtual:<dir>/<NAME>".
void EnumerateVirtualNodes(const std::string& dir, std::vector<HidNodeRecord>* records);

// Reads "<base>.node" (base = node without the prefix); false when missing or malformed.
bool ReadVirtualNodeRecord(const std::string& base, HidNodeRecord* record, std::string* socketPath);

// Connects to the node's socket; -1 with *error set on failure, and *detail (when given) naming
// the failing call.
int ConnectVirtualNode(const std::string& node, HidNodeRecord* record, HidOpenError* error,
                       LinkError* detail = nullptr);

}  // namespace vx::link
