#pragma once
// What the discovery thread tells the UI thread. Every call comes on the discovery thread.
//
// SlotArrived and SlotRemoved block until the UI thread has handled the change (the discovery
// thread scans on only afterwards, so the two never act on the same slot at once). Activate and
// PermissionProblem are posted and return at once.
//
// A blocking call that waits on the UI thread must return once DeviceDiscovery::StopRequested()
// is true, or the UI thread must keep delivering while it stops the discovery (the pump of
// DeviceDiscovery::Stop); otherwise stopping takes the whole bound.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx::discovery {

// The udev rules file that gives the user at the seat access to the supported devices; its text
// is UdevRulesOf() (link/DeviceCatalog.h) of the slot table's models.
constexpr std::string_view kUdevRulesFileName = "70-vexor-umbrel.rules";

// A supported interface that is present but may not be opened by this user.
struct PermissionNotice {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string_view rulesFileName = kUdevRulesFileName;
    std::string rulesText;  // the rules that fix it, ready to be shown or saved
};

class IDiscoverySink {
public:
    virtual ~IDiscoverySink() = default;
    virtual void SlotArrived(size_t index) = 0;
    virtual void SlotRemoved(size_t index) = 0;
    // After the first complete scan.
    virtual void Activate() = 0;
    // Once per path while that path stays listed.
    virtual void PermissionProblem(const PermissionNotice& notice) = 0;
};

}  // namespace vx::discovery
