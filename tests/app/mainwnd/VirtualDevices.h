#pragma once
// The virtual devices of a test, kept apart from the device pages' headers (the emulator has
// record types of its own with the same names).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class VirtualDeviceHub;

enum class TestDevice { KeyboardWired, KeyboardReceiver, MouseWired, MouseReceiver, Mousepad, Headset };

class VirtualDevices {
public:
    explicit VirtualDevices(const std::string& directory);
    ~VirtualDevices();

    int Plug(TestDevice device);
    int Unplug(TestDevice device);
    int SetAsleep(TestDevice device, bool asleep);
    int SetBattery(TestDevice device, uint8_t percent, uint8_t charging);
    // What the device's memory holds and what it was sent: its settings block of one on-device
    // profile, its active profile, its per-key colours of a custom group, and how many settings
    // sessions (BeginConfig) it accepted.
    std::vector<uint8_t> ConfigBlock(TestDevice device, size_t profile);
    uint8_t ActiveProfile(TestDevice device);
    std::vector<uint8_t> KeyColours(TestDevice device, size_t group);
    size_t ConfigSessions(TestDevice device);
    // The wired mouse's report descriptor up to (without) its vendor collection.
    static std::vector<uint8_t> MouseDescriptorWithoutVendor();

private:
    std::unique_ptr<VirtualDeviceHub> m_hub;
};
