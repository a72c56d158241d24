#pragma once
// One virtual device published as a real HID device through /dev/uhid, so that the kernel makes a
// hidraw node of it. Used by the hub's server thread only.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "emulator/VirtualModel.h"

namespace vx::emulator {

// The bus type the kernel reports for a USB device (BUS_USB).
inline constexpr uint16_t kBusUsb = 0x03;

struct UhidOutput {
    std::vector<uint8_t> report;  // report id first
    bool controlPipe = false;
};

class UhidDevice {
public:
    UhidDevice() = default;
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // True when /dev/uhid exists and can be opened for writing.
    static bool Available();

    // Creates the device; 1 on success, 0 otherwise.
    int Create(VirtualModel model);
    void Destroy();
    int Fd() const { return m_fd; }

    int SendInput(std::span<const uint8_t> report);
    // Handles one event from the kernel; returns an output report when the host sent one.
    std::optional<UhidOutput> ReadEvent();

private:
    int m_fd = -1;
};

}  // namespace vx::emulator
