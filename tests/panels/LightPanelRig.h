#pragma once
// The virtual devices for the lighting panel's end-to-end tests, behind an interface that names
// none of the emulator's types (its key records share names with the profile records).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lightpanel_test {

enum class RigDevice { Keyboard, Mouse, Mousepad };

class LightPanelRig {
public:
    explicit LightPanelRig(const std::string& directory);
    ~LightPanelRig();

    bool Plug(RigDevice device);
    // The device path of the device's command channel, as discovery would hand it over.
    std::string CommandPath(RigDevice device) const;
    // The settings block of profile 0 as the device holds it now.
    std::vector<uint8_t> SettingsBlock(RigDevice device) const;
    size_t ConfigSessions(RigDevice device) const;
    // The command byte of every command frame the device received, oldest first.
    std::vector<uint8_t> Commands(RigDevice device) const;
    void ClearReceived(RigDevice device);
    // Whether the device was told to take streamed frames (command 0x1C).
    bool SoftwareLighting(RigDevice device) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lightpanel_test
