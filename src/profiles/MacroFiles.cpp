#include "profiles/MacroFiles.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "profiles/BasicProfiledata.h"
#include "profiles/DataFileProblems.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

namespace vx::profiles {

namespace fs = std::filesystem;

MacroFiles::MacroFiles(fs::path folder, std::string listFileName)
    : m_folder(std::move(folder)),
      m_listFileName(std::move(listFileName)),
      m_readOnly(m_listFileName == kReadOnlyMacroListFile) {}

Json::Value MacroFiles::ReadListDocument() const {
    return m_file.ReadJson(m_folder / m_listFileName);
}

std::vector<MacroListEntry> MacroFiles::LoadList() const {
    std::vector<MacroListEntry> list;
    const Json::Value document = ReadListDocument();
    const Json::Value& info = JsonMember(document, "MacroInfo");
    const size_t count = std::min<size_t>(JsonArraySize(info), kMaxListEntries);
    for (size_t i = 0; i < count; ++i) {
        const Json::Value& e = info[Json::ArrayIndex(i)];
        list.push_back({Utf8ToWide(JsonStringAt(e, "MacroName")), JsonStringAt(e, "Guid")});
    }
    return list;
}

bool MacroFiles::WriteList(const std::vector<MacroListEntry>& list) const {
    // Other members of the list file stay as they are.
    Json::Value document = ReadListDocument();
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    Json::Value info(Json::arrayValue);
    for (const auto& entry : list) {
        Json::Value e(Json::objectValue);
        e["MacroName"] = WideToUtf8(entry.name);
        e["Guid"] = entry.guid;
        info.append(e);
    }
    document["MacroInfo"] = info;
    return SaveDataFile(m_file, m_folder / m_listFileName, document);
}

std::u16string MacroFiles::Add(MacroListEntry* added) {
    if (m_readOnly) return {};
    std::vector<MacroListEntry> list = LoadList();
    if (list.size() >= kMaxMacros) return {};
    std::u16string name;
    for (int n = 1;; ++n) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "macro_%d", n);
        name = Utf8ToWide(buffer);
        const bool taken = std::any_of(list.begin(), list.end(), [&](const MacroListEntry& e) {
            return EqualsIgnoreCase(e.name, name);
        });
        if (!taken) break;
    }
    MacroListEntry entry{name, JsonFile::MakeTimestampId()};
    list.push_back(entry);
    if (!WriteList(list)) return {};
    if (added != nullptr) *added = entry;
    return name;
}

int MacroFiles::Rename(size_t index, std::u16string_view name) {
    if (m_readOnly) return kMacroReadOnly;
    if (IsBlank(name)) return kMacroUnchanged;
    std::vector<MacroListEntry> list = LoadList();
    if (index >= list.size()) return kMacroNotFound;
    for (const auto& e : list) {
        if (EqualsIgnoreCase(e.name, name)) return kMacroNameTaken;
    }
    list[index].name = std::u16string(name);
    return WriteList(list) ? kMacroOk : kMacroWriteFailed;
}

int MacroFiles::Delete(size_t index) {
    if (m_readOnly) return kMacroReadOnly;
    std::vector<MacroListEntry> list = LoadList();
    if (index >= list.size()) return kMacroNotFound;
    const fs::path file = MacroFilePath(list[index].guid);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    // The list goes first: should it fail, the macro is still listed with its events intact.
    if (!WriteList(list)) return kMacroWriteFailed;
    if (!file.empty()) {
        std::error_code ec;
        fs::remove(file, ec);
    }
    return kMacroOk;
}

fs::path MacroFiles::MacroFilePath(const std::string& guid) const {
    const std::string name = guid + ".mac";
    if (guid.empty() || !IsSafeFileName(name)) return {};
    return m_folder / name;
}

Json::Value MacroFiles::LoadEventsJson(const std::string& guid) const {
    const fs::path file = MacroFilePath(guid);
    if (file.empty()) return Json::Value();
    const Json::Value document = m_file.ReadJson(file);
    const Json::Value& events = JsonMember(document, "Events");
    return events.isArray() ? events : Json::Value();
}

std::vector<MacroEvent> MacroFiles::LoadEvents(const std::string& guid) const {
    std::vector<MacroEvent> events;
    const Json::Value list = LoadEventsJson(guid);
    const size_t count = std::min<size_t>(JsonArraySize(list), kMaxMacroEvents);
    events.reserve(count);
    for (size_t i = 0; i < count; ++i) events.push_back(EventFromJson(list[Json::ArrayIndex(i)]));
    return events;
}

int MacroFiles::SaveEvents(const MacroListEntry& macro, const std::vector<MacroEvent>& events) {
    const fs::path file = MacroFilePath(macro.guid);
    if (file.empty()) return kMacroNotFound;
    Json::Value document(Json::objectValue);
    document["MacroName"] = WideToUtf8(macro.name);
    document["Guid"] = macro.guid;
    Json::Value list(Json::arrayValue);
    const size_t count = std::min(events.size(), kMaxMacroEvents);
    for (size_t i = 0; i < count; ++i) list.append(EventToJson(events[i]));
    document["Events"] = list;
    document["Version"] = kMacroFileVersion;
    return SaveDataFile(m_file, file, document) ? kMacroOk : kMacroWriteFailed;
}

std::u16string MacroFiles::Import(const fs::path& source) {
    if (m_readOnly || source.empty()) return {};
    const std::string content = m_file.readjsonFile(source);
    if (content.empty()) return {};
    MacroListEntry entry;
    const std::u16string name = Add(&entry);
    if (name.empty()) return {};
    WriteFileAtomically(MacroFilePath(entry.guid), content);
    return name;
}

int MacroFiles::Export(size_t index, const fs::path& target) {
    const std::vector<MacroListEntry> list = LoadList();
    if (index >= list.size() || target.empty()) return kMacroNotFound;
    const fs::path file = MacroFilePath(list[index].guid);
    if (file.empty()) return kMacroNotFound;
    const std::string content = m_file.readjsonFile(file);
    if (content.empty()) return kMacroNotFound;
    return WriteFileAtomically(target, content) ? kMacroOk : kMacroWriteFailed;
}

uint16_t MacroFiles::DelayFromJson(const Json::Value& delay) {
    const int64_t value = delay.isString() ? ParseDecimal(delay.asString()) : JsonInt(delay);
    if (value < 0 || value >= 65535) return 65535;
    return static_cast<uint16_t>(value);
}

MacroEvent MacroFiles::EventFromJson(const Json::Value& event) {
    MacroEvent e;
    e.down = JsonStringAt(event, "Action") == "down";
    e.type = JsonInt32(JsonMember(event, "Type"));
    e.button = JsonInt32(JsonMember(event, "Button"));
    e.delay = DelayFromJson(JsonMember(event, "Delay"));
    return e;
}

Json::Value MacroFiles::EventToJson(const MacroEvent& event) {
    Json::Value e(Json::objectValue);
    e["Action"] = event.down ? "down" : "up";
    e["Type"] = event.type;
    e["Button"] = event.button;
    e["Delay"] = std::to_string(event.delay);
    return e;
}

std::array<uint8_t, 4> MacroFiles::Pack(const MacroEvent& event) {
    return {static_cast<uint8_t>(event.delay & 0xFF), static_cast<uint8_t>(event.delay >> 8),
            static_cast<uint8_t>(static_cast<uint8_t>(event.type) | (event.down ? 0x80 : 0)),
            static_cast<uint8_t>(event.button)};
}

std::string MacroFiles::MouseEventLabel(const MacroEvent& event) {
    if (event.type == kMacroEventMouseButton) {
        switch (event.button) {
            case 0x01:
                return "mouse_key_left";
            case 0x02:
                return "mouse_key_right";
            case 0x04:
                return "mouse_key_middle";
            case 0x08:
                return "mouse_key_back";
            case 0x10:
                return "mouse_key_forward";
            default:
                return {};
        }
    }
    if (event.type == kMacroEventMoveX)
        return event.down ? "mouse_move_to_left_text" : "mouse_move_to_right_text";
    if (event.type == kMacroEventMoveY)
        return event.down ? "mouse_move_to_up_text" : "mouse_move_to_down_text";
    return {};
}

bool IsMacroInUse(const std::vector<KeyEntry>& keys, uint8_t macro) {
    return std::any_of(keys.begin(), keys.end(), [&](const KeyEntry& k) {
        return IsMacroFunction(k.current) && k.current.first == macro;
    });
}

bool RemoveMacroFromKeyList(std::vector<KeyEntry>& keys, uint8_t macro) {
    bool changed = false;
    for (KeyEntry& key : keys) {
        if (!IsMacroFunction(key.current)) continue;
        if (key.current.first == macro) {
            key.current = key.defaults;
            changed = true;
        } else if (key.current.first > macro) {
            --key.current.first;
            changed = true;
        }
    }
    return changed;
}

int RemoveMacroFromProfiles(CBasicProfiledata& data, const std::vector<fs::path>& profiles, uint8_t macro) {
    int rewritten = 0;
    for (const fs::path& path : profiles) {
        data.LoadOtherProfile(path);
        std::vector<KeyEntry> keys = data.GetOtherKeyList();
        if (!RemoveMacroFromKeyList(keys, macro)) continue;
        data.SetOtherKeyList(keys);
        data.SaveOtherProfile(path);
        ++rewritten;
    }
    return rewritten;
}

}  // namespace vx::profiles
