// vx-list-devices: lists the supported devices present now (real hidraw nodes and the virtual
// nodes of $VX_VIRTUAL_HID_DIR) with their capability records.

#include <cstdio>
#include <cstring>
#include <string>

#include "DeviceListing.h"
#include "ListingReport.h"

using vx::listdevices::ListSupportedInterfaces;
using vx::listdevices::Listing;
using vx::listdevices::ListingExitCode;
using vx::listdevices::ListingOptions;
using vx::listdevices::RenderListingJson;
using vx::listdevices::RenderListingText;

namespace {

void Usage() {
    std::printf(
        "usage: vx-list-devices [--json] [--no-probe]\n"
        "  --json      machine-readable output\n"
        "  --no-probe  list the interfaces without opening them\n"
        "Virtual devices are listed from the directory named by VX_VIRTUAL_HID_DIR.\n");
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    ListingOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--no-probe") == 0) {
            options.probe = false;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage();
            return 0;
        } else {
            std::fprintf(stderr, "vx-list-devices: unknown option %s\n", argv[i]);
            Usage();
            return 64;
        }
    }
    const Listing listing = ListSupportedInterfaces(options);
    const std::string text = json ? RenderListingJson(listing) : RenderListingText(listing);
    std::fputs(text.c_str(), stdout);
    return ListingExitCode(listing);
}
