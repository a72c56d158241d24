#pragma once
// Macros of a keyboard or mouse page: the list file "macro.config" ({"MacroInfo": [{"MacroName",
// "Guid"}, ...]}, the position in the list is the macro number that key assignments refer to)
// and one event file per macro, Guid + ".mac" ({"MacroName", "Guid", "Events", "Version": 64}),
// both in the page's device data folder. The list file is read fresh before every change and
// written back whole.
//
// The mousepad and headset pages read their macro names from "qorin_macro.config", which has the
// same shape and is never written: open it with MacroFiles(folder, kReadOnlyMacroListFile) and
// every changing operation is refused.
//
// Guids come from files the user may have edited or imported; a Guid that is not a plain file
// name ("../x") never becomes a path: its events read as empty and nothing is written for it.

#include <json/json.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/JsonFile.h"
#include "profiles/ProfileRecords.h"

namespace vx::profiles {

class CBasicProfiledata;

constexpr const char* kMacroListFile = "macro.config";
constexpr const char* kReadOnlyMacroListFile = "qorin_macro.config";
constexpr size_t kMaxMacros = 50;
constexpr size_t kMaxRecordedEvents = 4000;
// The device form counts events in 16 bits; longer event lists in a file are cut here.
constexpr size_t kMaxMacroEvents = 65535;
constexpr int32_t kMacroFileVersion = 64;

// Status codes of the changing operations.
constexpr int kMacroOk = 1;
constexpr int kMacroUnchanged = 0;     // blank name: nothing to do, nothing to show
constexpr int kMacroNameTaken = -1;    // the name is used already ("message_text_5")
constexpr int kMacroNotFound = -2;     // no macro at that position, or it has no usable Guid
constexpr int kMacroReadOnly = -3;     // the list file is one this program never writes
constexpr int kMacroWriteFailed = -4;  // the file could not be written; the old one is whole

// Event kinds (`Type`).
constexpr int32_t kMacroEventMouseButton = 1;
constexpr int32_t kMacroEventMoveX = 4;
constexpr int32_t kMacroEventMoveY = 5;
constexpr int32_t kMacroEventModifier = 9;
constexpr int32_t kMacroEventKey = 10;

// One input event followed by its pause. `down` is the "Action": press (and move left or up)
// when true, release (move right or down) when false.
struct MacroEvent {
    bool down = false;
    int32_t type = 0;
    int32_t button = 0;
    uint16_t delay = 0;

    bool operator==(const MacroEvent&) const = default;
};

struct MacroListEntry {
    std::u16string name;
    std::string guid;

    bool operator==(const MacroListEntry&) const = default;
};

class MacroFiles {
public:
    explicit MacroFiles(std::filesystem::path folder, std::string listFileName = kMacroListFile);

    std::vector<MacroListEntry> LoadList() const;

    // Appends a macro named "macro_N" (the first N from 1 whose name no macro has, ignoring
    // case) with a new time-stamp Guid. Returns the name, or empty text when the list holds
    // kMaxMacros macros already or cannot be written. No ".mac" file is written yet.
    std::u16string Add(MacroListEntry* added = nullptr);

    // kMacroUnchanged for a blank name, kMacroNameTaken when any macro (this one included) has
    // the name ignoring case, else renames and returns kMacroOk.
    int Rename(size_t index, std::u16string_view name);

    // Removes the entry and its ".mac" file. Key assignments are the caller's (see
    // RemoveMacroFromKeyList): the list is renumbered from `index` on.
    int Delete(size_t index);

    // The events of a macro: empty when its file is missing or unreadable.
    std::vector<MacroEvent> LoadEvents(const std::string& guid) const;
    // The "Events" array of the file as stored (for the device packer); null when missing.
    Json::Value LoadEventsJson(const std::string& guid) const;

    // Writes Guid + ".mac" with the entry's name and Guid, the events (delays as decimal text)
    // and Version 64.
    int SaveEvents(const MacroListEntry& macro, const std::vector<MacroEvent>& events);

    // Adds a macro as Add does, then copies the chosen file unchanged into its ".mac" file.
    // A file that cannot be read (missing, too large) is refused before anything is added.
    // Returns the new macro's name, or empty text.
    std::u16string Import(const std::filesystem::path& source);

    // Copies the macro's ".mac" file unchanged to the chosen path.
    int Export(size_t index, const std::filesystem::path& target);

    // Guid + ".mac" in the folder; empty when the Guid is not a plain file name.
    std::filesystem::path MacroFilePath(const std::string& guid) const;

    static MacroEvent EventFromJson(const Json::Value& event);
    static Json::Value EventToJson(const MacroEvent& event);
    // "Delay" as stored (decimal text, or a number in shoot files): 65535 or more and negative
    // values give 65535, text that is not a number 0.
    static uint16_t DelayFromJson(const Json::Value& delay);
    // The 4-byte device form: delay low, delay high, type | 0x80 for "down", button.
    static std::array<uint8_t, 4> Pack(const MacroEvent& event);
    // The language key that labels a mouse event row; empty for keyboard events and unnamed
    // mouse events.
    static std::string MouseEventLabel(const MacroEvent& event);

private:
    bool WriteList(const std::vector<MacroListEntry>& list) const;
    Json::Value ReadListDocument() const;

    std::filesystem::path m_folder;
    std::string m_listFileName;
    bool m_readOnly = false;
    JsonFile m_file;
};

// True when a key of the list runs macro `macro` (function 0x70 or 0x71 with that number).
bool IsMacroInUse(const std::vector<KeyEntry>& keys, uint8_t macro);

// Keeps assignments valid after macro `macro` is removed: keys running it get their default
// function back, keys running a later macro follow it down by one. Returns true when any key
// changed.
bool RemoveMacroFromKeyList(std::vector<KeyEntry>& keys, uint8_t macro);

// Applies RemoveMacroFromKeyList to every profile file of a device through the other node of
// `data` (its own node is not touched); a profile whose key list changed is written back.
// Returns the number of files rewritten.
int RemoveMacroFromProfiles(CBasicProfiledata& data, const std::vector<std::filesystem::path>& profiles,
                            uint8_t macro);

}  // namespace vx::profiles
