#include "ListingReport.h"

#include <json/json.h>

#include <cstdio>
#include <sstream>

using vx::link::DeviceInfo;

namespace vx::listdevices {

namespace {

std::string Hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

std::string UsbId(const ListedInterface& listed) {
    return Hex4(listed.vendorId) + ":" + Hex4(listed.productId);
}

const char* Connection(const ListedInterface& listed) {
    return listed.throughReceiver ? "2.4 GHz receiver" : "cable";
}

const char* Role(const ListedInterface& listed) {
    return listed.commandInterface ? "command" : "notification";
}

std::string Capabilities(const ListedInterface& listed) {
    if (!listed.info) return "-";
    const DeviceInfo& info = *listed.info;
    std::ostringstream out;
    out << "key slots " << int(info.KeySlots());
    if (!info.KeySlotsValid()) out << " (over 170!)";
    out << ", macro memory " << info.MacroCapacityBytes() << " bytes";
    if (listed.typeCode == 2 || listed.typeCode == 6) {
        out << ", sensor 0x" << Hex4(info.SensorId()) << ", DPI base " << info.DpiBase() << " step "
            << int(info.DpiStep()) << " slider max " << info.DpiSliderMax();
    }
    return out.str();
}

std::string PermissionHelp(const ListedInterface& listed) {
    std::ostringstream out;
    out << "The " << DeviceKindName(listed.typeCode) << " (" << UsbId(listed) << ") at " << listed.path
        << " is present, but this user may not open it.\n"
        << "  Install the udev rules " << kUdevRulesName << ": packages put them in /usr/lib/udev/rules.d/;\n"
        << "  from a build tree copy <build>/packaging/udev/" << kUdevRulesName << " to /etc/udev/rules.d/.\n"
        << "  Then run `sudo udevadm control --reload` and unplug and replug the device.\n";
    return out.str();
}

}  // namespace

std::string RenderListingText(const Listing& listing) {
    std::ostringstream out;
    if (!listing.enumerated) {
        out << "Cannot list the HID interfaces of this machine.\n";
        return out.str();
    }
    if (listing.interfaces.empty()) {
        out << "No supported device found.\n";
        return out.str();
    }
    std::string help;
    for (const ListedInterface& listed : listing.interfaces) {
        out << DeviceKindName(listed.typeCode) << "  " << UsbId(listed) << "  " << Connection(listed) << "  "
            << Role(listed) << " interface " << listed.interfaceNumber << " collection "
            << listed.collectionNumber << "\n    path   " << listed.path << "\n    state  "
            << ProbeStateName(listed.state);
        if (listed.state == ProbeState::NoAnswer) out << " (link code " << listed.linkCode << ")";
        out << "\n";
        if (!listed.linkError.empty()) out << "    error  " << listed.linkError << "\n";
        if (listed.info) out << "    caps   " << Capabilities(listed) << "\n";
        if (listed.state == ProbeState::PermissionDenied) help += PermissionHelp(listed);
    }
    if (!help.empty()) out << "\n" << help;
    return out.str();
}

std::string RenderListingJson(const Listing& listing) {
    Json::Value root(Json::objectValue);
    root["enumerated"] = listing.enumerated;
    Json::Value devices(Json::arrayValue);
    for (const ListedInterface& listed : listing.interfaces) {
        Json::Value device(Json::objectValue);
        device["kind"] = DeviceKindName(listed.typeCode);
        device["type_code"] = listed.typeCode;
        device["path"] = listed.path;
        device["vendor"] = listed.vendorId;
        device["product"] = listed.productId;
        device["interface"] = listed.interfaceNumber;
        device["collection"] = listed.collectionNumber;
        device["role"] = Role(listed);
        device["connection"] = listed.throughReceiver ? "receiver" : "cable";
        device["state"] = ProbeStateName(listed.state);
        if (listed.state == ProbeState::NoAnswer) device["link_code"] = listed.linkCode;
        if (!listed.linkError.empty()) device["link_error"] = listed.linkError;
        if (listed.info) {
            const DeviceInfo& info = *listed.info;
            Json::Value caps(Json::objectValue);
            caps["key_slots"] = info.KeySlots();
            caps["macro_bytes"] = info.MacroCapacityBytes();
            caps["sensor"] = info.SensorId();
            caps["dpi_step"] = info.DpiStep();
            caps["dpi_slider_max"] = info.DpiSliderMax();
            caps["dpi_base"] = info.DpiBase();
            device["capabilities"] = caps;
        }
        if (listed.state == ProbeState::PermissionDenied) {
            device["fix"] =
                std::string("install ") + kUdevRulesName +
                " in /etc/udev/rules.d (or /usr/lib/udev/rules.d), run 'udevadm control --reload',"
                " replug the device";
        }
        devices.append(device);
    }
    root["devices"] = devices;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    return Json::writeString(builder, root) + "\n";
}

int ListingExitCode(const Listing& listing) {
    if (!listing.enumerated) return 1;
    for (const ListedInterface& listed : listing.interfaces) {
        if (listed.state == ProbeState::PermissionDenied) return 2;
    }
    return 0;
}

}  // namespace vx::listdevices
