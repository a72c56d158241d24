#include "DeviceListing.h"

#include <algorithm>
#include <mutex>

#include "link/DeviceLink.h"
#include "link/HidLink.h"
#include "link/SupportedDevices.h"

using vx::link::DeviceInfo;
using vx::link::DeviceLink;
using vx::link::HidLink;
using vx::link::HidOpenError;
using vx::link::ParseCollectionNumber;
using vx::link::ParseInterfaceNumber;
using vx::link::ParseProductId;
using vx::link::ParseVendorId;
using vx::link::SupportedInterface;
using vx::link::SupportedInterfaces;
using vx::link::kLinkModeWired;
using vx::link::kLinkModeWireless;
using vx::link::kLinkOk;
using vx::link::kLinkWirelessAbsent;
using vx::link::kRoleCommand;

namespace vx::listdevices {

namespace {

constexpr uint16_t kTypeKeyboardReceiver = 9;
constexpr uint16_t kTypeMouseReceiver = 6;
constexpr uint16_t kTypeHeadset = 7;

ListedInterface Describe(const std::string& path, int row) {
    const SupportedInterface& entry = SupportedInterfaces()[static_cast<size_t>(row)];
    ListedInterface listed;
    listed.path = path;
    listed.vendorId = ParseVendorId(path);
    listed.productId = ParseProductId(path);
    listed.interfaceNumber = ParseInterfaceNumber(path);
    listed.collectionNumber = ParseCollectionNumber(path);
    listed.tableRow = row;
    listed.typeCode = entry.typeCode;
    listed.commandInterface = entry.role == kRoleCommand;
    listed.throughReceiver = entry.typeCode == kTypeKeyboardReceiver || entry.typeCode == kTypeMouseReceiver;
    return listed;
}

int FindRow(const std::string& path) {
    const uint16_t vendor = ParseVendorId(path);
    const uint16_t product = ParseProductId(path);
    const uint16_t interfaceNumber = ParseInterfaceNumber(path);
    const uint16_t collection = ParseCollectionNumber(path);
    for (size_t i = 0; i < SupportedInterfaces().size(); ++i) {
        const SupportedInterface& entry = SupportedInterfaces()[i];
        if (entry.vendorId == vendor && entry.productId == product &&
            entry.interfaceNumber == interfaceNumber && entry.collectionNumber == collection) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Opens the interface the way discovery does and reads the capability record in a configuration
// session. The headset has no capability record; opening it is the whole check.
void Probe(ListedInterface& listed) {
    const SupportedInterface& entry = SupportedInterfaces()[static_cast<size_t>(listed.tableRow)];
    DeviceLink link;
    HidLink& hid = listed.throughReceiver ? link.WirelessLink() : link.WiredLink();
    {
        std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
        if (!hid.Open(listed.path, true, listed.commandInterface, true, false)) {
            listed.state = hid.LastOpenError() == HidOpenError::PermissionDenied
                               ? ProbeState::PermissionDenied
                               : ProbeState::OpenFailed;
            listed.linkError = hid.LastError().Text();
            return;
        }
    }
    if (hid.UsagePage() != entry.usagePage || hid.Usage() != entry.usage) {
        listed.state = ProbeState::WrongCollection;
        return;
    }
    if (!listed.commandInterface || listed.typeCode == kTypeHeadset) {
        listed.state = ProbeState::Ok;
        return;
    }
    link.SetConnected(true);
    link.SetLinkMode(listed.throughReceiver ? kLinkModeWireless : kLinkModeWired);
    if (!link.QueryWirelessDevice()) {
        listed.state = ProbeState::Asleep;
        listed.linkError = hid.LastError().Text();
        return;
    }
    int code = link.BeginConfig();
    DeviceInfo info;
    if (code == kLinkOk) {
        code = link.ReadDeviceInfo(&info);
        // Close the session whatever the read gave, so the device does not stay in configuration mode.
        link.EndConfig();
    }
    if (code != kLinkOk) {
        listed.state = code == kLinkWirelessAbsent ? ProbeState::Asleep : ProbeState::NoAnswer;
        listed.linkCode = code;
        listed.linkError = hid.LastError().Text();
        return;
    }
    listed.info = info;
    listed.state = ProbeState::Ok;
}

}  // namespace

Listing ListSupportedInterfaces(const ListingOptions& options) {
    Listing listing;
    HidLink enumerator;
    listing.enumerated = enumerator.EnumerateInterfaces();
    if (!listing.enumerated) return listing;
    for (std::string path = enumerator.NextPath(); !path.empty(); path = enumerator.NextPath()) {
        const int row = FindRow(path);
        if (row < 0) continue;
        ListedInterface listed = Describe(path, row);
        if (options.probe) Probe(listed);
        listing.interfaces.push_back(std::move(listed));
    }
    enumerator.FreePathList();
    // Table order groups the two interfaces of each device and puts the cable before the receiver.
    std::stable_sort(
        listing.interfaces.begin(), listing.interfaces.end(),
        [](const ListedInterface& a, const ListedInterface& b) { return a.tableRow < b.tableRow; });
    return listing;
}

const char* DeviceKindName(uint16_t typeCode) {
    switch (typeCode) {
        case 1:
        case 9:
            return "keyboard";
        case 2:
        case 6:
            return "mouse";
        case 3:
            return "mousepad";
        case 7:
            return "headset";
        default:
            return "unknown";
    }
}

const char* ProbeStateName(ProbeState state) {
    switch (state) {
        case ProbeState::NotProbed:
            return "not probed";
        case ProbeState::Ok:
            return "ok";
        case ProbeState::PermissionDenied:
            return "permission denied";
        case ProbeState::OpenFailed:
            return "cannot open";
        case ProbeState::WrongCollection:
            return "unexpected collection";
        case ProbeState::Asleep:
            return "device not answering";
        case ProbeState::NoAnswer:
            return "no answer";
    }
    return "unknown";
}

}  // namespace vx::listdevices
