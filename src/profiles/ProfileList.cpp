#include "profiles/ProfileList.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <unordered_set>

#include "platform/DebugLog.h"
#include "profiles/DataFileProblems.h"
#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

using vx::platform::DebugLog;

namespace vx::profiles {

namespace fs = std::filesystem;

namespace {

constexpr const char* kListKey = "profilelist";
constexpr const char* kSelectKey = "profileselect";
constexpr const char* kNameKey = "profilename";
constexpr const char* kIdKey = "profileUUID";
constexpr const char* kLinkKey = "profileislink";
constexpr const char* kLinkNameKey = "profilelinkmame";

// The equaliser presets a headset user made survive a reset to the factory profile.
constexpr const char* kHeadsetKeptMembers[] = {"CustomEQNameInfo", "CustomEQHzValueInfo"};
constexpr int kHeadsetKind = 7;

Json::Value MakeEntry(const std::u16string& name, const std::string& identifier) {
    Json::Value entry(Json::objectValue);
    entry[kNameKey] = WideToUtf8(name);
    entry[kIdKey] = identifier;
    entry[kLinkKey] = 0;
    entry[kLinkNameKey] = "";
    return entry;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsProfileDocument(const Json::Value& document) {
    return document.isObject() && document.isMember(kNameKey) && document.isMember(kIdKey);
}

}  // namespace

void ProfileList::SetProfileFolders(const fs::path& deviceFolder, const fs::path& factoryProfile) {
    m_deviceFolder = deviceFolder;
    m_factoryProfile = factoryProfile;
}

bool ProfileList::IsProfileIdentifier(std::string_view identifier) {
    const size_t firstUnderscore = identifier.find('_');
    if (firstUnderscore == std::string_view::npos || firstUnderscore > 6) return false;
    if (!AllDigits(identifier.substr(0, firstUnderscore))) return false;
    std::string_view rest = identifier.substr(firstUnderscore);
    // Month, day, hour, minute and second take two digits, the milliseconds three.
    static constexpr size_t kFieldWidths[] = {2, 2, 2, 2, 2, 3};
    for (size_t width : kFieldWidths) {
        if (rest.size() < width + 1 || rest[0] != '_' || !AllDigits(rest.substr(1, width))) return false;
        rest.remove_prefix(width + 1);
    }
    return rest.empty();
}

fs::path ProfileList::ProfilePath(std::string_view identifier) const {
    if (!IsProfileIdentifier(identifier) || m_deviceFolder.empty()) return {};
    return m_deviceFolder / (std::string(identifier) + kProfileFileExtension);
}

ProfileList::ListDocument ProfileList::ReadList() const {
    ListDocument list;
    if (!m_deviceFolder.empty()) {
        JsonReadResult read = m_file.ReadJsonChecked(ListPath());
        list.unreadable = read.status == JsonReadStatus::Unreadable;
        list.readError = read.error;
        list.broken = read.status == JsonReadStatus::Malformed ||
                      (read.status == JsonReadStatus::Read && !read.value.isObject());
        list.root = std::move(read.value);
    }
    if (!list.root.isObject()) list.root = Json::Value(Json::objectValue);
    Json::Value& array = list.root[kListKey];
    if (!array.isArray()) array = Json::Value(Json::arrayValue);

    std::unordered_set<std::string> seen;
    for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
        Json::Value& element = array[i];
        ProfileEntry entry;
        entry.name = Utf8ToWide(JsonStringAt(element, kNameKey));
        entry.identifier = JsonStringAt(element, kIdKey);
        // A hand-edited or planted identifier would become a path; a repeated one would let a
        // delete take another entry's file. Either gets a name of its own.
        if (!IsProfileIdentifier(entry.identifier) || !seen.insert(entry.identifier).second) {
            entry.identifier = FreshIdentifier(list);
            seen.insert(entry.identifier);
            if (!element.isObject()) element = MakeEntry(entry.name, entry.identifier);
            element[kIdKey] = entry.identifier;
            list.repaired = true;
            DebugLog("ProfileList: entry " + std::to_string(i) + " given identifier " + entry.identifier);
        }
        list.entries.push_back(std::move(entry));
    }
    // A list the program may not read is not replaced; the profiles it would name are the
    // folder's profile files, which every operation can still use this run.
    if (list.unreadable) RelistUnlistedProfiles(list);
    return list;
}

bool ProfileList::WriteList(const ListDocument& list) {
    if (m_deviceFolder.empty()) return false;
    if (list.unreadable) {
        ReportDataFileProblem({DataFileProblemKind::Unreadable, ListPath(), {}, list.readError});
        return false;
    }
    if (list.broken && !MoveBrokenFileAside(ListPath())) return false;
    return SaveDataFile(m_file, ListPath(), list.root);
}

void ProfileList::Adopt(const ListDocument& list) {
    m_entries = list.entries;
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [this](const ProfileEntry& e) {
        return !m_selectedId.empty() && e.identifier == m_selectedId;
    });
    if (found == m_entries.end()) {
        m_selected = -1;
        m_selectedId.clear();
    } else {
        m_selected = static_cast<int>(found - m_entries.begin());
    }
}

std::string ProfileList::FreshIdentifier(const ListDocument& list) const {
    std::string id;
    // MakeTimestampId never repeats within the process, but a file left by an earlier run (or a
    // clock set back) may already carry the name.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        id = JsonFile::MakeTimestampId();
        const bool listed = std::any_of(list.entries.begin(), list.entries.end(),
                                        [&id](const ProfileEntry& e) { return e.identifier == id; });
        std::error_code ec;
        if (!listed && !fs::exists(ProfilePath(id), ec)) break;
    }
    return id;
}

bool ProfileList::NameTaken(const ListDocument& list, std::u16string_view name, int except) const {
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (static_cast<int>(i) != except && EqualsIgnoreCase(list.entries[i].name, name)) return true;
    }
    return false;
}

int ProfileList::AppendProfile(ListDocument& list, const std::u16string& name, Json::Value profile,
                               bool select) {
    const std::string id = FreshIdentifier(list);
    const fs::path path = ProfilePath(id);
    if (path.empty()) return kProfileWriteFailed;
    if (!profile.isObject()) profile = Json::Value(Json::objectValue);
    profile[kNameKey] = WideToUtf8(name);
    profile[kIdKey] = id;
    if (!SaveDataFile(m_file, path, profile)) return kProfileWriteFailed;

    const int position = static_cast<int>(list.entries.size());
    list.root[kListKey].append(MakeEntry(name, id));
    list.entries.push_back({name, id});
    if (select) list.root[kSelectKey] = position;
    if (!WriteList(list)) {
        std::error_code ec;
        fs::remove(path, ec);
        return kProfileWriteFailed;
    }
    Adopt(list);
    if (select) {
        m_selected = position;
        m_selectedId = id;
    }
    return position;
}

void ProfileList::RelistUnlistedProfiles(ListDocument& list) const {
    if (m_deviceFolder.empty()) return;
    std::unordered_set<std::string> listed;
    for (const ProfileEntry& entry : list.entries) listed.insert(entry.identifier);
    std::vector<std::string> unlisted;
    std::error_code ec;
    fs::directory_iterator it(m_deviceFolder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path path = it->path();
        std::error_code statError;
        if (!fs::is_regular_file(fs::symlink_status(path, statError)) || statError) continue;
        if (path.extension() != kProfileFileExtension) continue;
        const std::string identifier = path.stem().string();
        if (IsProfileIdentifier(identifier) && listed.count(identifier) == 0) unlisted.push_back(identifier);
    }
    // Identifiers are creation times: the profiles come back in the order they were made.
    std::sort(unlisted.begin(), unlisted.end());
    for (const std::string& identifier : unlisted) {
        const Json::Value document = m_file.ReadJson(ProfilePath(identifier));
        if (!document.isObject()) continue;  // not a profile of ours: left alone, never deleted
        std::u16string name = Utf8ToWide(JsonStringAt(document, kNameKey));
        if (IsBlank(name)) name = u"profile";
        const std::u16string stem = name;
        for (int n = 1; NameTaken(list, name); ++n) name = stem + Utf8ToWide("(" + std::to_string(n) + ")");
        list.root[kListKey].append(MakeEntry(name, identifier));
        list.entries.push_back(ProfileEntry{name, identifier});
        list.repaired = true;
        DebugLog("ProfileList: profile " + identifier + " was in no list; listed again");
    }
}

int ProfileList::Load() {
    if (!m_deviceFolder.empty()) RemoveLeftoverTemporaryFiles(m_deviceFolder);
    ListDocument list = ReadList();
    RelistUnlistedProfiles(list);
    if (list.entries.empty()) {
        list.root = Json::Value(Json::objectValue);
        list.root[kListKey] = Json::Value(Json::arrayValue);
        const int first = AppendProfile(list, u"profile1", m_file.ReadJson(m_factoryProfile), true);
        if (first < 0) {
            m_entries.clear();
            m_selected = -1;
            m_selectedId.clear();
            return -1;
        }
    } else if (list.repaired) {
        WriteList(list);
    }
    Adopt(list);
    int64_t selected = JsonIntAt(list.root, kSelectKey);
    if (selected < 0 || selected >= Count()) selected = 0;
    Select(static_cast<int>(selected));
    return m_selected;
}

bool ProfileList::Select(int position) {
    ListDocument list = ReadList();
    if (position < 0 || position >= static_cast<int>(list.entries.size())) {
        Adopt(list);
        return false;
    }
    // Only the remembered selection for the next start is lost when the write fails; the user's
    // choice still takes effect. A selection the file already holds is not written again, so
    // that merely starting the program writes nothing.
    const Json::Value& stored = JsonMember(list.root, kSelectKey);
    if (!stored.isIntegral() || JsonIntAt(list.root, kSelectKey) != position || list.broken) {
        list.root[kSelectKey] = position;
        WriteList(list);
    }
    m_selectedId = list.entries[position].identifier;
    Adopt(list);
    return true;
}

int ProfileList::NewProfile() {
    ListDocument list = ReadList();
    if (static_cast<int>(list.entries.size()) >= kMaxNewProfiles) return kProfileRefused;
    std::u16string name;
    for (int n = 1;; ++n) {
        name = Utf8ToWide("profile" + std::to_string(n));
        if (!NameTaken(list, name)) break;
    }
    return AppendProfile(list, name, m_file.ReadJson(m_factoryProfile), true);
}

int ProfileList::CopyProfile(int position) {
    ListDocument list = ReadList();
    if (position < 0 || position >= static_cast<int>(list.entries.size())) return kProfileRefused;
    const ProfileEntry source = list.entries[position];
    std::u16string name = source.name + u" copy";
    while (NameTaken(list, name)) name += u" copy";
    // A missing source gives a file with the two names only; the page completes it from the
    // factory profile when it first loads it.
    return AppendProfile(list, name, m_file.ReadJson(ProfilePath(source.identifier)), false);
}

int ProfileList::DeleteProfile(int position) {
    ListDocument list = ReadList();
    const int count = static_cast<int>(list.entries.size());
    if (count < 2 || position < 0 || position >= count) return kProfileRefused;
    const int newSelection = position > 0 ? position - 1 : 0;
    const std::string id = list.entries[position].identifier;

    Json::Value removed;
    list.root[kListKey].removeIndex(static_cast<Json::ArrayIndex>(position), &removed);
    list.entries.erase(list.entries.begin() + position);
    list.root[kSelectKey] = newSelection;
    // The list goes first: a list that cannot be written keeps naming the file, so the file stays.
    if (!WriteList(list)) return kProfileWriteFailed;
    std::error_code ec;
    fs::remove(ProfilePath(id), ec);
    m_selectedId = list.entries[newSelection].identifier;
    Adopt(list);
    return newSelection;
}

int ProfileList::RenameProfile(int position, std::u16string_view name) {
    if (IsBlank(name)) return kRenameBlank;
    ListDocument list = ReadList();
    if (position < 0 || position >= static_cast<int>(list.entries.size())) return kRenameTaken;
    if (NameTaken(list, name, position)) return kRenameTaken;

    const std::string utf8 = WideToUtf8(name);
    list.root[kListKey][static_cast<Json::ArrayIndex>(position)][kNameKey] = utf8;
    list.entries[position].name = std::u16string(name);
    if (!WriteList(list)) return kProfileWriteFailed;
    Adopt(list);

    const std::string& id = list.entries[position].identifier;
    const fs::path path = ProfilePath(id);
    JsonReadResult read = m_file.ReadJsonChecked(path);
    Json::Value profile = std::move(read.value);
    if (!profile.isObject()) {
        // Only a missing file is made afresh: one that cannot be read or is damaged keeps its
        // content (the page's load tells the user and keeps a damaged one aside).
        if (read.status != JsonReadStatus::Missing && read.status != JsonReadStatus::Empty) return kRenameDone;
        profile = Json::Value(Json::objectValue);
        profile[kIdKey] = id;
    }
    profile[kNameKey] = utf8;
    SaveDataFile(m_file, path, profile);
    return kRenameDone;
}

bool ProfileList::ResetProfile(int position) {
    ListDocument list = ReadList();
    if (position < 0 || position >= static_cast<int>(list.entries.size())) return false;
    const ProfileEntry& entry = list.entries[position];
    const fs::path path = ProfilePath(entry.identifier);

    Json::Value factory = m_file.ReadJson(m_factoryProfile);
    // Without a factory profile a reset would leave the user a profile with nothing in it.
    if (!factory.isObject()) {
        DebugLog("ResetProfile: no factory profile at " + m_factoryProfile.string());
        return false;
    }
    factory[kNameKey] = WideToUtf8(entry.name);
    factory[kIdKey] = entry.identifier;
    if (m_deviceKind == kHeadsetKind) {
        const Json::Value current = m_file.ReadJson(path);
        const Json::Value& currentNode = JsonElement(JsonMember(current, "Device"), Json::ArrayIndex{0});
        Json::Value* factoryNode = JsonElementForWrite(JsonMemberForWrite(factory, "Device"), 0);
        for (const char* member : kHeadsetKeptMembers) {
            const Json::Value& kept = JsonMember(currentNode, member);
            if (factoryNode && !kept.isNull()) JsonMemberForWrite(*factoryNode, member) = kept;
        }
    }
    return SaveDataFile(m_file, path, factory);
}

int ProfileList::ImportProfile(const fs::path& path) {
    const Json::Value document = m_file.ReadJson(path);
    if (!document.isObject()) return kProfileUnreadable;
    return ImportDocument(Utf8ToWide(JsonFile::FileStem(path)), document);
}

int ProfileList::ImportDocument(std::u16string_view stem, Json::Value document) {
    if (!document.isObject()) return kProfileUnreadable;
    if (!IsProfileDocument(document)) return kProfileIncomplete;
    ListDocument list = ReadList();
    std::u16string name = IsBlank(stem) ? std::u16string(u"profile") : std::u16string(stem);
    for (int n = 1; NameTaken(list, name); ++n) name += Utf8ToWide("(" + std::to_string(n) + ")");
    // The document's own "profileUUID" is replaced by a fresh identifier before anything is
    // written, so nothing in an imported file decides where the program writes.
    return AppendProfile(list, name, std::move(document), false);
}

bool ProfileList::ExportProfile(int position, const fs::path& destination) const {
    if (destination.empty()) return false;
    const ListDocument list = ReadList();
    if (position < 0 || position >= static_cast<int>(list.entries.size())) return false;
    const std::string bytes = m_file.readjsonFile(ProfilePath(list.entries[position].identifier));
    if (!JsonFile::ParseText(bytes).isObject()) return false;
    return WriteFileAtomically(destination, bytes);
}

int ProfileList::GetProfileCount() {
    const ListDocument list = ReadList();
    // Repaired identifiers are kept, so that a bulk edit's files are the ones the list names.
    if (list.repaired) WriteList(list);
    m_queryEntries = list.entries;
    return static_cast<int>(m_queryEntries.size());
}

fs::path ProfileList::GetProfileFilePath(int position) const {
    if (position < 0 || position >= static_cast<int>(m_queryEntries.size())) return {};
    return ProfilePath(m_queryEntries[position].identifier);
}

}  // namespace vx::profiles
