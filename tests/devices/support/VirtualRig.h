#pragma once
// The virtual devices for the device-page tests, behind an interface that names none of the
// emulator's types: the emulator's key records share names with the profile records, so the
// page tests never include both.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vxtest {

enum class RigModel { KeyboardWired = 0, KeyboardReceiver, MouseWired, MouseReceiver, Mousepad, Headset };

class VirtualRig {
public:
    explicit VirtualRig(const std::string& directory);
    ~VirtualRig();

    bool Plug(RigModel model);
    bool Unplug(RigModel model);
    bool SetAsleep(RigModel model, bool asleep);
    bool SetUnresponsive(RigModel model, bool unresponsive);
    bool Notify(RigModel model, uint16_t code);
    bool NotifyProfileChange(RigModel model, int profile, int extra);
    // Rebuilds the keyboard's key table without these logical keys.
    void SetMissingKeys(RigModel model, const std::vector<size_t>& logicalKeys);

    std::string CommandPath(RigModel model) const;
    std::string NotifyPath(RigModel model) const;

    std::vector<uint8_t> ConfigBlock(RigModel model, size_t profile);
    uint8_t ActiveProfile(RigModel model);
    std::vector<uint8_t> KeyTable(RigModel model);
    std::vector<uint8_t> LedMap(RigModel model);
    std::vector<uint8_t> Capability(RigModel model);
    std::vector<uint8_t> KeyColours(RigModel model, size_t group);
    std::vector<uint8_t> LastStreamFrame(RigModel model);
    size_t StreamFrameCount(RigModel model);
    // The macro image once the device has taken a whole, valid one; empty otherwise.
    std::vector<uint8_t> ValidMacroImage(RigModel model);
    bool MacroImageStarted(RigModel model);
    // The mouse's recoil image once it has taken a whole, valid one; empty otherwise.
    std::vector<uint8_t> ValidShootImage(RigModel model);
    // Command bytes of the frames the device received, in order.
    std::vector<uint8_t> ReceivedCommands(RigModel model);
    void ClearReceived(RigModel model);
    // The reports of this report id the device received, in order, as they came; sent through
    // the control pipe (SetOutputReport) when controlPipe is set, else written.
    std::vector<std::vector<uint8_t>> ReceivedReports(RigModel model, uint8_t reportId, bool controlPipe);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vxtest
