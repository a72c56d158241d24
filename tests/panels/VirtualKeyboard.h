#pragma once
// The virtual keyboard of the emulator behind a narrow face. The emulator's headers and the
// device pages' headers each define a KeyFunction of their own, so a test of a page reaches the
// emulator only through this file.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class VirtualDeviceHub;

class VirtualKeyboard {
public:
    // Plugs the wired keyboard into a hub serving `directory`.
    explicit VirtualKeyboard(const std::string& directory);
    ~VirtualKeyboard();

    bool Plugged() const { return m_plugged; }
    // The node of the command channel, as discovery hands it to a page.
    std::string CommandPath() const;
    // Profile 0's settings block and the key table as the keyboard holds them now.
    std::vector<unsigned char> ConfigBlock() const;
    std::vector<unsigned char> KeyTable() const;

private:
    std::unique_ptr<VirtualDeviceHub> m_hub;
    bool m_plugged = false;
};

// The keyboard's factory key functions as profile codes (type << 16 | first << 8 | second), by
// logical key.
std::vector<int> KeyboardFactoryCodes();
bool KeyboardKeyListed(size_t logicalKey);
