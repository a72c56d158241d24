#include "emulator/ControlConsole.h"

#include <charconv>
#include <optional>
#include <sstream>
#include <vector>

#include "emulator/FirmwareKeyTable.h"
#include "emulator/VirtualDeviceHub.h"

namespace vx::emulator {

namespace {

std::optional<long> ParseNumber(const std::string& text) {
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

std::string Answer(int status) {
    return status == 1 ? "ok" : "error: failed";
}

constexpr const char* kHelp =
    "ok commands: plug MODEL|all, unplug MODEL|all, list, sleep MODEL, wake MODEL, hang MODEL, unhang MODEL, "
    "notify MODEL CODE, connect keyboard|mouse cable|receiver, "
    "profile MODEL P [EXTRA], battery MODEL PERCENT [CHARGING], phone MODEL TYPE, omit-keys MODEL [KEY...], "
    "keys MODEL [USAGE...], "
    "factory-reset [DEVICE|all], trace FILE|off, "
    "quit";

}  // namespace

// The keyboard and the mouse are one device on two nodes: the cable goes in while the receiver
// stays in its port (both nodes present, the program switches to the cable); pulling the cable
// leaves the receiver alone.
std::string ControlConsole::Connect(const std::vector<std::string>& words) {
    if (words.size() != 3) return "error: connect keyboard|mouse cable|receiver";
    VirtualModel wired, receiver;
    if (words[1] == "keyboard") {
        wired = VirtualModel::KeyboardWired;
        receiver = VirtualModel::KeyboardReceiver;
    } else if (words[1] == "mouse") {
        wired = VirtualModel::MouseWired;
        receiver = VirtualModel::MouseReceiver;
    } else {
        return "error: only the keyboard and the mouse have a receiver";
    }
    if (words[2] == "cable") return Answer(m_hub.IsPlugged(wired) ? 1 : m_hub.Plug(wired));
    if (words[2] != "receiver") return "error: connect keyboard|mouse cable|receiver";
    if (m_hub.IsPlugged(wired) && m_hub.Unplug(wired) != 1) return Answer(0);
    return Answer(m_hub.IsPlugged(receiver) ? 1 : m_hub.Plug(receiver));
}

// The keyboard and the mouse are one memory behind two nodes: either node's name, or the device's
// own name ("keyboard", "mouse", "mousepad", "headset"), resets that memory.
std::string ControlConsole::FactoryReset(const std::vector<std::string>& words) {
    if (words.size() > 2) return "error: factory-reset [DEVICE|all]";
    if (words.size() == 1 || words[1] == "all") return Answer(m_hub.FactoryResetAll());
    std::optional<FirmwareKind> kind;
    if (const std::optional<VirtualModel> model = ParseVirtualModel(words[1]))
        kind = ModelInfo(*model).firmware;
    for (size_t index = 0; index < kFirmwareKindCount && !kind; ++index) {
        if (words[1] == FirmwareKindName(static_cast<FirmwareKind>(index)))
            kind = static_cast<FirmwareKind>(index);
    }
    if (!kind) return "error: unknown device " + words[1];
    return Answer(m_hub.FactoryReset(*kind));
}

std::string ControlConsole::Execute(const std::string& line, bool& quit) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty()) return "";
    const std::string& command = words[0];

    if (command == "quit" || command == "exit") {
        quit = true;
        return "ok";
    }
    if (command == "help") return kHelp;
    if (command == "list") {
        std::string answer = "ok";
        for (const VirtualModelInfo& info : VirtualModels()) {
            if (!m_hub.IsPlugged(info.model)) continue;
            answer += ' ';
            answer += info.name;
            answer += '(' + std::to_string(m_hub.ConnectionCount(info.model)) + ')';
        }
        return answer;
    }
    if (command == "trace") {
        if (words.size() != 2) return "error: trace FILE|off";
        return Answer(m_hub.SetTrace(words[1] == "off" ? std::string() : words[1]));
    }
    if (command == "connect") return Connect(words);
    if (command == "factory-reset") return FactoryReset(words);
    if (words.size() < 2) return "error: missing device";

    if ((command == "plug" || command == "unplug") && words[1] == "all") {
        if (command == "plug") return Answer(m_hub.PlugAll());
        m_hub.UnplugAll();
        return "ok";
    }
    const std::optional<VirtualModel> model = ParseVirtualModel(words[1]);
    if (!model) return "error: unknown device " + words[1];

    std::vector<long> numbers;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::optional<long> number = ParseNumber(words[i]);
        if (!number) return "error: not a number: " + words[i];
        numbers.push_back(*number);
    }
    auto argumentsBetween = [&numbers](size_t low, size_t high) {
        return numbers.size() >= low && numbers.size() <= high;
    };

    if (command == "plug" && argumentsBetween(0, 0)) return Answer(m_hub.Plug(*model));
    if (command == "unplug" && argumentsBetween(0, 0)) return Answer(m_hub.Unplug(*model));
    if (command == "sleep" && argumentsBetween(0, 0)) return Answer(m_hub.SetAsleep(*model, true));
    if (command == "wake" && argumentsBetween(0, 0)) return Answer(m_hub.SetAsleep(*model, false));
    if (command == "hang" && argumentsBetween(0, 0)) return Answer(m_hub.SetUnresponsive(*model, true));
    if (command == "unhang" && argumentsBetween(0, 0)) return Answer(m_hub.SetUnresponsive(*model, false));
    if (command == "notify" && argumentsBetween(1, 1)) {
        if (numbers[0] < 0 || numbers[0] > 0xFFFF) return "error: code out of range";
        return Answer(m_hub.Notify(*model, static_cast<uint16_t>(numbers[0])));
    }
    if (command == "profile" && argumentsBetween(1, 2)) {
        const int extra = numbers.size() == 2 ? static_cast<int>(numbers[1]) : -1;
        if (numbers.size() == 2 && (extra < 0 || extra > 15)) return "error: extra out of range";
        return Answer(m_hub.NotifyProfileChange(*model, static_cast<int>(numbers[0]), extra));
    }
    if (command == "battery" && argumentsBetween(1, 2)) {
        if (numbers[0] < 0 || numbers[0] > 100) return "error: percent out of range";
        const long charging = numbers.size() == 2 ? numbers[1] : 0;
        if (charging < 0 || charging > 255) return "error: charging out of range";
        return Answer(
            m_hub.SetBattery(*model, static_cast<uint8_t>(numbers[0]), static_cast<uint8_t>(charging)));
    }
    if (command == "phone" && argumentsBetween(1, 1)) {
        if (numbers[0] < 0 || numbers[0] > 255) return "error: phone type out of range";
        return Answer(m_hub.SetPhoneType(*model, static_cast<uint8_t>(numbers[0])));
    }
    // Keys held on the keyboard (HID keyboard usages; 0xE0-0xE7 are the modifiers); none
    // releases every key.
    if (command == "keys") {
        uint8_t modifiers = 0;
        std::vector<uint8_t> usages;
        for (long usage : numbers) {
            if (usage < 0 || usage > 0xFF) return "error: usage out of range";
            if (usage >= 0xE0 && usage <= 0xE7) {
                modifiers = static_cast<uint8_t>(modifiers | (1u << (usage - 0xE0)));
            } else {
                usages.push_back(static_cast<uint8_t>(usage));
            }
        }
        if (usages.size() > 6) return "error: at most six keys at once";
        return Answer(m_hub.SendKeys(*model, modifiers, usages));
    }
    if (command == "omit-keys") {
        if (ModelInfo(*model).firmware != FirmwareKind::Keyboard)
            return "error: only a keyboard has logical keys";
        std::vector<size_t> keys;
        for (long key : numbers) {
            if (key < 0 || key >= static_cast<long>(kVirtualKeyboardKeyNumbers))
                return "error: key out of range";
            keys.push_back(static_cast<size_t>(key));
        }
        m_hub.Firmware(*model).SetMissingKeys(keys);
        return "ok";
    }
    return "error: bad command: " + line;
}

}  // namespace vx::emulator
