#pragma once
// Where vx-hid-descriptor takes a descriptor from, and the JSON it prints for it.

#include <json/json.h>

#include <cstdint>
#include <string>
#include <vector>

#include "link/ReportDescriptor.h"

namespace vx::hiddescriptor {

enum class DescriptorLoad { Ok = 0, Unreadable, NotHex, NotFound };

// source: a hex text file ("05 01 09 06 ..."), a hidraw node ("/dev/hidraw3"), a virtual node
// ("virtual:/dir/name" or "/dir/name.node") or a device path whose node is one of those.
DescriptorLoad LoadDescriptor(const std::string& source, std::vector<uint8_t>* bytes, std::string* error);

// {"collections": [{"collection", "usage_page", "usage", "input_report_byte_length", ...}]}
Json::Value DescribeCollections(const vx::link::ReportDescriptor& descriptor);

const char* DescriptorStatusName(vx::link::ReportDescriptorStatus status);

}  // namespace vx::hiddescriptor
