#pragma once
// The hidraw side: listing the hidraw nodes with libudev (identity from the hid and usb parents,
// report descriptor from sysfs, so that listing opens no device node) and opening one.

#include <string>
#include <vector>

#include "link/HidLink.h"
#include "link/HidTransport.h"
#include "link/LinkError.h"

namespace vx::link {

// Appends one record per hidraw node; false when udev itself cannot be used.
bool EnumerateHidrawNodes(std::vector<HidNodeRecord>* records);

// Opens "/dev/hidrawN"; identity from HIDIOCGRAWINFO, version from udev, descriptor from
// HIDIOCGRDESC. -1 with *error set on failure, and *detail (when given) naming the failing call.
int OpenHidrawNode(const std::string& node, bool read, bool write, HidNodeRecord* record,
                   HidOpenError* error, LinkError* detail = nullptr);

// Reads the descriptor of an open hidraw node; false when the node does not give it.
bool ReadHidrawDescriptor(int fd, std::vector<uint8_t>* descriptor);

// "0003:0000320F:00005055" (HID_ID of a hid device) into bus, vendor and product.
bool ParseHidId(const char* text, uint16_t* bus, uint16_t* vendor, uint16_t* product);

}  // namespace vx::link
