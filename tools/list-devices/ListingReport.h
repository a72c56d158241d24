#pragma once
// Text and JSON renderings of a device listing.

#include <string>

#include "DeviceListing.h"

// The udev rules file that grants the logged-in user access to the supported devices.
constexpr const char* kUdevRulesName = "70-vexor-umbrel.rules";

std::string RenderListingText(const Listing& listing);
std::string RenderListingJson(const Listing& listing);
// 0: listed; 1: enumeration failed; 2: some device present but not permitted.
int ListingExitCode(const Listing& listing);
