#pragma once
// The emulated mice (cable and receiver, one firmware) for the page tests. The emulator's own
// headers name records (KeyFunction, MacroEvent) that the profile layer names differently, so
// the page tests reach the hub through this header, which names neither.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "emulator/VirtualModel.h"

namespace vx::emulator { class VirtualDeviceHub; }

namespace mousetest {

struct ImageBytes {
    bool valid = false;
    std::vector<uint8_t> bytes;
};

class EmulatedMouse {
public:
    explicit EmulatedMouse(const std::string& directory);
    ~EmulatedMouse();

    int Plug(vx::emulator::VirtualModel model);
    int SetAsleep(bool asleep);
    int SetBattery(uint8_t percent, uint8_t charging);
    int Notify(vx::emulator::VirtualModel model, uint16_t code);
    int NotifyProfileChange(vx::emulator::VirtualModel model, int profile, int extra = -1);
    std::string LinkPath(vx::emulator::VirtualModel model, int collection) const;

    std::vector<uint8_t> ConfigBlock(size_t profile) const;
    std::vector<uint8_t> KeyTable() const;
    // Command byte of every frame received since ClearReceived.
    std::vector<uint8_t> Commands() const;
    void ClearReceived();
    bool InConfigSession() const;
    size_t ConfigSessions() const;
    ImageBytes Macros() const;
    ImageBytes Shoot() const;

private:
    std::unique_ptr<vx::emulator::VirtualDeviceHub> m_hub;
};

}  // namespace mousetest
