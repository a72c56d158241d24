#pragma once
// The virtual devices of a journey or a test and what it may look at in them: their memory and the
// reports they received. Journeys, the main window's tests and the program benchmarks share it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx::emulator {
class VirtualDeviceHub;
}

namespace journeys {

enum class Device { KeyboardWired, KeyboardReceiver, MouseWired, MouseReceiver, Mousepad, Headset };

// One command frame the device took: command byte, offset and payload as sent.
struct ReceivedCommand {
    uint8_t command = 0;
    uint16_t offset = 0;
    std::vector<uint8_t> payload;
    int status = -1;  // the status the device answered with
};

class JourneyDevices {
public:
    explicit JourneyDevices(const std::string& directory);
    ~JourneyDevices();

    int Plug(Device device);
    int Unplug(Device device);
    int SetAsleep(Device device, bool asleep);
    // A hung device: it takes every report but answers none.
    int SetUnresponsive(Device device, bool unresponsive);
    int SetBattery(Device device, uint8_t percent, uint8_t charging = 0);
    int SetPhoneType(Device device, uint8_t phoneType);
    int Notify(Device device, uint16_t code);
    // Keys held on the keyboard, as its keyboard collection reports them; {} releases them all.
    int SendKeys(Device device, uint8_t modifiers, const std::vector<uint8_t>& usages);
    // The node of one of the device's collections, as discovery hands it to a page.
    std::string LinkPath(Device device, int collection) const;

    // The devices keep their memory in `directory` as the program's own virtual devices do (off
    // until called: a journey starts from factory memory). 1 when the folder is usable.
    int KeepMemoryIn(const std::string& directory);
    // The devices stop as the program's own do when it ends (every node unplugged, memory
    // written) and start again on the same folders, nothing plugged.
    void Restart();

    // Memory of the device behind `device` (the keyboard's cable and receiver share one).
    std::vector<uint8_t> ActiveConfigBlock(Device device) const;
    std::vector<uint8_t> ConfigBlock(Device device, size_t profile) const;
    uint8_t ActiveProfile(Device device) const;
    // How many settings sessions (BeginConfig) the device accepted.
    size_t ConfigSessions(Device device) const;
    std::vector<uint8_t> KeyTable(Device device) const;
    std::vector<uint8_t> KeyColours(Device device, size_t group) const;
    // The mouse's recoil image once it has taken a whole, valid one; empty otherwise.
    std::vector<uint8_t> ShootImage(Device device) const;
    bool SoftwareLighting(Device device) const;
    size_t StreamFrameCount(Device device) const;
    // The headset's LED colours as its last LED reports left them, LED by LED (red, green, blue)
    // for target 0x22 then 0x44; and how many LED reports it took.
    std::vector<uint8_t> HeadsetLeds() const;
    size_t HeadsetLedReportCount() const;

    // Command frames received since the last ClearReceived (report-4 frames only).
    std::vector<ReceivedCommand> Commands(Device device) const;
    // How many of them carried `command`.
    size_t CountOf(Device device, uint8_t command) const;
    void ClearReceived(Device device);

    // The wired mouse's report descriptor up to (without) its vendor collection.
    static std::vector<uint8_t> MouseDescriptorWithoutVendor();

private:
    std::string m_directory;
    std::string m_stateDirectory;
    std::unique_ptr<vx::emulator::VirtualDeviceHub> m_hub;
};

}  // namespace journeys
