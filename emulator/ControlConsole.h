#pragma once
// The emulator's line-based control: one command per line, one answer line ("ok ..." or
// "error: ...") per command. Commands:
//
//   plug MODEL|all          unplug MODEL|all          list
//   sleep MODEL             wake MODEL
//   hang MODEL              unhang MODEL  (the device takes commands but answers none)
//   notify MODEL CODE       (CODE decimal or 0x hexadecimal, e.g. 0x401)
//   connect keyboard|mouse cable|receiver  (cable: plug the wired node, the receiver stays;
//                                           receiver: unplug the wired node, plug the receiver)
//   profile MODEL P [EXTRA] (profile change on the device: 0x10P, or 0x11 with EXTRA in bits 4-7)
//   battery MODEL PERCENT [CHARGING]  (CHARGING: 0 full, 1 charging, 2 on battery)
//   phone MODEL TYPE        (the phone on the mousepad's charger: 1 iPhone, 2 Samsung, 3 other, 0 none)
//   omit-keys MODEL [KEY...] (a keyboard without these logical keys; resets it to factory state)
//   factory-reset [MODEL|keyboard|mouse|mousepad|headset|all]
//                           (factory memory, saved at once when state is kept; the device asks the
//                            program to reread its settings; no argument: every device)
//   trace FILE|off          help          quit
//
// MODEL is keyboard-wired, keyboard-receiver, mouse-wired, mouse-receiver, mousepad or headset.

#include <string>
#include <vector>

namespace vx::emulator {

class VirtualDeviceHub;

class ControlConsole {
public:
    explicit ControlConsole(VirtualDeviceHub& hub) : m_hub(hub) {}

    // Runs one line; returns the answer line (without newline). Sets quit for "quit".
    std::string Execute(const std::string& line, bool& quit);

private:
    std::string Connect(const std::vector<std::string>& words);
    std::string FactoryReset(const std::vector<std::string>& words);

    VirtualDeviceHub& m_hub;
};

}  // namespace vx::emulator
