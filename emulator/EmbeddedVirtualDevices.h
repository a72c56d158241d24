#pragma once
// The program's own virtual devices: a device hub on a directory of its own with every device
// plugged, the control socket open (vx-emulator-ctl), and VX_VIRTUAL_HID_DIR pointing at the
// directory so that HidLink lists the devices. For running the program without hardware.
//
// Start it before any thread that reads the environment (discovery) starts, and destroy it after
// they have stopped: the environment is changed and restored here.

#include <memory>
#include <string>
#include <vector>

#include "emulator/VirtualModel.h"

namespace vx::emulator {

class ControlSocket;
class VirtualDeviceHub;

class EmbeddedVirtualDevices {
public:
    EmbeddedVirtualDevices();
    // Unplugs everything, closes the control socket, writes the devices' memory, removes a
    // directory it made and restores VX_VIRTUAL_HID_DIR.
    ~EmbeddedVirtualDevices();
    EmbeddedVirtualDevices(const EmbeddedVirtualDevices&) = delete;
    EmbeddedVirtualDevices& operator=(const EmbeddedVirtualDevices&) = delete;

    // directory empty: DefaultDirectory(), or a fresh private one when another program's devices
    // live there. 1 when every device is plugged and the environment points at them; 0 otherwise
    // (nothing is left running then).
    int Start(const std::string& directory = {}, const std::vector<VirtualModel>& devices = AllModels());
    bool Running() const { return m_hub != nullptr; }

    // Where the devices keep their memory between runs (VirtualDeviceHub::UseStateDirectory);
    // default VirtualDeviceHub::DefaultStateDirectory(), empty keeps nothing. factoryReset starts
    // every device from factory memory and writes it there. Before Start.
    void SetStateDirectory(const std::string& directory, bool factoryReset = false);
    const std::string& StateDirectory() const { return m_stateDirectory; }
    const std::string& Directory() const { return m_directory; }
    // Null before Start.
    VirtualDeviceHub* Hub() { return m_hub.get(); }
    // False when another program held the control socket; the devices still run.
    bool HasControlSocket() const { return m_control != nullptr; }

    // $XDG_RUNTIME_DIR/vexor-embedded-hid, else /tmp/vexor-embedded-hid-<uid>.
    static std::string DefaultDirectory();
    static std::vector<VirtualModel> AllModels();

private:
    int StartIn(const std::string& directory, const std::vector<VirtualModel>& devices);
    void Shutdown();

    std::unique_ptr<VirtualDeviceHub> m_hub;
    std::unique_ptr<ControlSocket> m_control;
    std::string m_directory;
    std::string m_stateDirectory;
    bool m_factoryReset = false;
    bool m_madeDirectory = false;
    bool m_hadVariable = false;
    std::string m_previousVariable;
    bool m_variableSet = false;
};

}  // namespace vx::emulator
