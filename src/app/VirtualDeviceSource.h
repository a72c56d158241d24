#pragma once
// The virtual devices as start-up sees them: something that plugs devices in for discovery to
// find, and unplugs them again when destroyed. The program's own virtual devices implement it
// in the composition root (main.cpp); start-up and the window know only this face, so nothing
// above the emulator depends on it.

#include <functional>
#include <memory>
#include <string>

namespace vx::app {

class IVirtualDeviceSource {
public:
    virtual ~IVirtualDeviceSource() = default;
    // 1 when every device is plugged and discovery will find it; 0 otherwise (nothing is left
    // running then). factoryReset starts every device from factory memory.
    virtual int Start(bool factoryReset) = 0;
    // One line for the terminal: where the devices live and where they keep their memory.
    virtual std::string Describe() const = 0;
};

using VirtualDeviceSourceFactory = std::function<std::unique_ptr<IVirtualDeviceSource>()>;

}  // namespace vx::app
