// The composition root: the one place that puts the program's own virtual devices behind the
// face start-up knows.
#include <memory>
#include <string>

#include "app/StartUp.h"
#include "app/VirtualDeviceSource.h"
#include "emulator/EmbeddedVirtualDevices.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::EmbeddedVirtualDevices;
using vx::emulator::VirtualDeviceHub;
using vx::app::RunControlCenter;

namespace {

// Their memory is kept in the user's state folder, as a real device keeps its own.
class EmbeddedDeviceSource : public vx::app::IVirtualDeviceSource {
public:
    int Start(bool factoryReset) override {
        m_devices.SetStateDirectory(VirtualDeviceHub::DefaultStateDirectory(), factoryReset);
        return m_devices.Start();
    }
    std::string Describe() const override {
        return "virtual devices in " + m_devices.Directory() + ", memory kept in " + m_devices.StateDirectory();
    }

private:
    EmbeddedVirtualDevices m_devices;
};

}  // namespace

int main(int argc, char** argv) {
    return RunControlCenter(argc, argv, [] { return std::make_unique<EmbeddedDeviceSource>(); });
}
