// vx-hid-descriptor SOURCE: prints the top-level collections of a HID report descriptor as JSON.
// SOURCE is a hex file, a hidraw node, a virtual node or a device path (see DescriptorSource.h).
// Exit status: 0 printed, 1 usage, 2 source not readable, 3 descriptor not valid.

#include <cstdio>
#include <iostream>

#include "DescriptorSource.h"

using vx::link::ReportDescriptor;
using vx::link::ReportDescriptorStatus;

using vx::hiddescriptor::DescribeCollections;
using vx::hiddescriptor::DescriptorLoad;
using vx::hiddescriptor::DescriptorStatusName;
using vx::hiddescriptor::LoadDescriptor;

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(stderr, "usage: %s FILE.hex | /dev/hidrawN | virtual:DIR/NAME | DEVICE-PATH\n", argv[0]);
        return 1;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (LoadDescriptor(argv[1], &bytes, &error) != DescriptorLoad::Ok) {
        std::fprintf(stderr, "vx-hid-descriptor: %s\n", error.c_str());
        return 2;
    }
    ReportDescriptor descriptor;
    const ReportDescriptorStatus status = descriptor.Parse(bytes);
    if (status != ReportDescriptorStatus::Ok) {
        std::fprintf(stderr, "vx-hid-descriptor: %s: %s at byte %zu\n", argv[1], DescriptorStatusName(status),
                     descriptor.ErrorOffset());
        return 3;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "   ";
    std::cout << Json::writeString(writer, DescribeCollections(descriptor)) << "\n";
    return 0;
}
