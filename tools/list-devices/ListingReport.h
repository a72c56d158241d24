#pragma once
// Text and JSON renderings of a device listing.

#include <string>

#include "DeviceListing.h"
#include "app/discovery/DiscoverySink.h"

namespace vx::listdevices {

// The udev rules file that grants the logged-in user access to the supported devices; the program
// names the same file when it finds a device it may not open.
constexpr const char* kUdevRulesName = vx::discovery::kUdevRulesFileName.data();

std::string RenderListingText(const Listing& listing);
std::string RenderListingJson(const Listing& listing);
// 0: listed; 1: enumeration failed; 2: some device present but not permitted.
int ListingExitCode(const Listing& listing);

}  // namespace vx::listdevices
