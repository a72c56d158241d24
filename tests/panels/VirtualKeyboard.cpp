#include "VirtualKeyboard.h"

#include "devices/tables/KeyboardFactoryKeys.h"
#include "emulator/VirtualDeviceHub.h"

using namespace vx::device_tables;

namespace {
constexpr int kCommandCollection = 4;
}  // namespace

VirtualKeyboard::VirtualKeyboard(const std::string& directory)
    : m_hub(std::make_unique<VirtualDeviceHub>(directory)) {
    m_plugged = m_hub->Plug(VirtualModel::KeyboardWired) == 1;
}

VirtualKeyboard::~VirtualKeyboard() = default;

std::string VirtualKeyboard::CommandPath() const {
    return m_hub->LinkPath(VirtualModel::KeyboardWired, kCommandCollection);
}

std::vector<unsigned char> VirtualKeyboard::ConfigBlock() const {
    return m_hub->Firmware(VirtualModel::KeyboardWired).ConfigBlock(0);
}

std::vector<unsigned char> VirtualKeyboard::KeyTable() const {
    return m_hub->Firmware(VirtualModel::KeyboardWired).KeyTable();
}

std::vector<int> KeyboardFactoryCodes() {
    std::vector<int> codes;
    for (const KeyFunction& f : KeyboardFactoryKeys())
        codes.push_back((f.type << 16) | (f.first << 8) | f.second);
    return codes;
}

bool KeyboardKeyListed(size_t logicalKey) {
    return IsKeyboardKeyListed(logicalKey);
}
