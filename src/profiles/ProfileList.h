#pragma once
// The profile list of one device: "ProfileList.ini" in the device data folder (JSON text despite
// the extension)
//
//   {"profilelist": [{"profilename", "profileUUID", "profileislink": 0, "profilelinkmame": ""}, ...],
//    "profileselect": position}
//
// and the profile files it names, identifier + ".Json" in the same folder. Every changing
// operation reads the list afresh, changes it and writes it back whole; the profile panel keeps
// its combo in step with the entries returned here.
//
// The list file and imported profiles come from outside the program. An identifier is used as a
// file name only when it has exactly the shape MakeTimestampId gives ("2024_03_07_14_05_09_042"):
// an entry holding anything else ("../../x", "a/b", "") is given a fresh identifier when the list
// is loaded, and the operations never read, write or delete a file for it. An imported profile
// always gets a fresh identifier, whatever its "profileUUID" says. Nothing is ever written outside
// the device data folder except the export, to the destination the user chose.

#include <json/json.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/JsonFile.h"

namespace vx::profiles {

constexpr const char* kProfileListFile = "ProfileList.ini";
constexpr const char* kProfileFileExtension = ".Json";
// "new" refuses to go past this many profiles; copy and import have no limit.
constexpr int kMaxNewProfiles = 50;

// Results of RenameProfile, as the panel's caller shows them ("message_text_5", "message_text_25").
constexpr int kRenameTaken = 0;
constexpr int kRenameDone = 1;
constexpr int kRenameBlank = 2;

// Results of the operations that add or remove an entry; a position (0 or more) means success.
constexpr int kProfileRefused = -1;      // limit reached, last profile, bad position
constexpr int kProfileWriteFailed = -2;  // the folder could not be written; nothing changed
constexpr int kProfileUnreadable = -3;   // import: not a JSON object, or no such file
constexpr int kProfileIncomplete = -4;   // import: "profilename" or "profileUUID" missing

struct ProfileEntry {
    std::u16string name;
    std::string identifier;
};

class ProfileList {
public:
    // `deviceFolder` is the device data folder; `factoryProfile` the device's DefaultProfilePath.
    void SetProfileFolders(const std::filesystem::path& deviceFolder,
                           const std::filesystem::path& factoryProfile);
    // 1 keyboard, 2 mouse, 3 mousepad, 7 headset; only the headset's reset differs.
    void SetDeviceKind(int kind) { m_deviceKind = kind; }
    int GetDeviceKind() const { return m_deviceKind; }

    // Reads the list; first removes the temporary files of writes cut short in the device folder
    // and lists again every profile file there that no entry names (a profile is written before
    // its entry, so a kill in between leaves one), under its own "profilename" ("(1)" ... appended
    // while taken). A missing, empty or unusable list with no such file is replaced by one
    // profile "profile1" made from the factory profile. Entries with an unusable or repeated identifier get a
    // fresh one. Selects "profileselect" (0 when out of range). Returns the selected position, or -1 when no
    // list could be written.
    // A list that is there but cannot be read (its permissions) is never written over: its
    // entries are the folder's profile files for this run, and every write to it is refused and
    // reported. A list that is not JSON is moved aside (".broken") before it is replaced. Writes
    // that fail are reported (DataFileProblems.h); a selection the file already holds is not
    // written again.
    int Load();

    // The entries as last read or written.
    const std::vector<ProfileEntry>& Entries() const { return m_entries; }
    int Count() const { return static_cast<int>(m_entries.size()); }

    // Records the selection in the list file ("profileselect") and here. False for a position
    // that is not in the list.
    bool Select(int position);
    int GetSelectedPosition() const { return m_selected; }
    const std::string& GetSelectedIdentifier() const { return m_selectedId; }

    // Appends "profile<n>" (the first number whose name is free, any letter case) made from the
    // factory profile and records it as the list's selection. Returns its position, or
    // kProfileRefused when the list holds kMaxNewProfiles or more.
    int NewProfile();
    // Appends a copy of the profile at `position` named "<name> copy" (" copy" repeated until the
    // name is free). The list's selection stays. Returns the new position.
    int CopyProfile(int position);
    // Removes the entry at `position` and its file; the list's selection becomes the position
    // before it (0 for the first). Returns that position, or kProfileRefused for the last entry.
    int DeleteProfile(int position);
    // kRenameDone; kRenameTaken when another entry has the name (any letter case) or the
    // position is not in the list; kRenameBlank for a blank name; kProfileWriteFailed when the
    // list could not be written.
    int RenameProfile(int position, std::u16string_view name);
    // Rewrites the profile at `position` from the factory profile, keeping its two names (and on
    // the headset its own equaliser presets). False, changing nothing, when the factory profile
    // cannot be read.
    bool ResetProfile(int position);
    // Adds the profile file at `path` under its file stem ("(1)", "(2)" ... appended while the
    // name is taken) and a fresh identifier. The list's selection stays. Returns the new position
    // or kProfileUnreadable / kProfileIncomplete / kProfileWriteFailed.
    int ImportProfile(const std::filesystem::path& path);
    // The same for a document already read; `stem` is the name to start from.
    int ImportDocument(std::u16string_view stem, Json::Value document);
    // Copies the profile file at `position` unchanged to `destination`. False when the source is
    // not a readable profile or the destination cannot be written.
    bool ExportProfile(int position, const std::filesystem::path& destination) const;

    // For edits of every profile at once: reads the list into the query copy and counts it; the
    // path of entry i of that copy (empty for a bad position).
    int GetProfileCount();
    std::filesystem::path GetProfileFilePath(int position) const;

    std::filesystem::path ListPath() const { return m_deviceFolder / kProfileListFile; }
    // Device data folder + identifier + ".Json"; empty for an identifier that is not safe.
    std::filesystem::path ProfilePath(std::string_view identifier) const;

    // True for exactly the shape MakeTimestampId gives: digits of the year, then six
    // underscore-separated fields of two digits and one of three.
    static bool IsProfileIdentifier(std::string_view identifier);

private:
    struct ListDocument {
        Json::Value root;
        std::vector<ProfileEntry> entries;
        bool repaired = false;
        // The file is there but could not be read: never written over (the entries are then
        // the folder's profile files). Broken: not a list; moved aside before it is replaced.
        bool unreadable = false;
        bool broken = false;
        int readError = 0;
    };

    ListDocument ReadList() const;
    bool WriteList(const ListDocument& list);
    void Adopt(const ListDocument& list);
    std::string FreshIdentifier(const ListDocument& list) const;
    bool NameTaken(const ListDocument& list, std::u16string_view name, int except = -1) const;
    // Appends entries for the readable profile files of the folder that no entry names.
    void RelistUnlistedProfiles(ListDocument& list) const;
    // Appends an entry whose profile file `profile` is written first; the list follows only when
    // the file is in place, and the file goes again when the list cannot be written.
    int AppendProfile(ListDocument& list, const std::u16string& name, Json::Value profile, bool select);

    std::filesystem::path m_deviceFolder;
    std::filesystem::path m_factoryProfile;
    int m_deviceKind = 0;
    std::vector<ProfileEntry> m_entries;
    std::vector<ProfileEntry> m_queryEntries;
    int m_selected = -1;
    std::string m_selectedId;
    JsonFile m_file;
};

}  // namespace vx::profiles
