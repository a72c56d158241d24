#pragma once
// The in-memory profile of one device page.
//
// A profile file is {"profilename": text, "profileUUID": text, "Device": [node, ...]}; the object
// keeps the page's device node (element `device index` of "Device", always 0 today) and converts
// between that node and the records the page works with. Setters change only the node in memory;
// the page calls SaveProfile after every change it wants kept, which rewrites the node into the
// file and leaves every other member of the file as it was.
//
// A second node, the "other node", lets the main window edit another profile of the same device
// without disturbing the page's own (macro removal rewrites every profile's key list).
//
// Custom lighting: the names of a page's custom lighting entries and the Guids of their step files
// come from "qorin_light.config", element `light-table index` of its "LightInfo" array. The entry
// played for light mode m is entry (m - custom-mode base).
//  - Custom-mode base: 0 unless the page sets another, so mode m plays entry m as it always has;
//    a page that lists its custom entries after its built-in modes sets the base to the number of
//    built-in modes with SetCustomModeBase. A mode below the base has no steps.
//  - Step files are looked up with the same light-table index as the names (so a mouse's steps
//    are those of the mouse's own entries), and in the folder of "qorin_light.config" (the
//    device's data folder), never in the process's current folder. A Guid that is not a plain
//    file name ("../x") is ignored.
//
// The object has no lock; a page makes its calls one at a time.

#include <json/json.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "profiles/JsonFile.h"
#include "profiles/ProfileRecords.h"

namespace vx::profiles {

// Longest list the readers take from a file (key list, light list, steps, DPI stages, presets);
// longer arrays in a hostile file are cut here.
constexpr size_t kMaxListEntries = 1024;

class CBasicProfiledata {
public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = default;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = default;

    // Paths. An empty path leaves the profile and default paths unchanged.
    void SetProfilePath(const std::filesystem::path& path);
    std::filesystem::path GetProfilePath() const { return m_profilePath; }
    void SetDefaultPath(const std::filesystem::path& path);
    std::filesystem::path GetDefaultPath() const { return m_defaultPath; }
    void SetLightConfigPath(const std::filesystem::path& path) { m_lightConfigPath = path; }
    std::filesystem::path GetLightConfigPath() const { return m_lightConfigPath; }

    // Element of "Device" used by this page (0 for every page). Values outside 0..15 are ignored.
    void SetDeviceIndex(int32_t index);
    int32_t GetDeviceIndex() const { return m_deviceIndex; }

    // Which element of the light name files belongs to this page: 0 keyboard, 1 mouse,
    // 2 mousepad, 3 headset. Used for the custom lighting step lookup.
    void SetLightTableIndex(int32_t index) { m_lightTableIndex = index; }
    int32_t GetLightTableIndex() const { return m_lightTableIndex; }
    void SetCustomModeBase(int32_t base) { m_customModeBase = base; }
    int32_t GetCustomModeBase() const { return m_customModeBase; }

    // Reads the profile file and makes its device node the page's node. A file that is missing,
    // malformed or has no node is completed from the factory profile (default path) and written
    // back, keeping its other members ("profilename", "profileUUID"). The factory profile itself
    // is never written. A malformed file is kept beside the new one as <name>.broken (".broken2"
    // and so on when that name is taken). A file that is there but cannot be read (its
    // permissions) is never moved, replaced or written: the factory node stands in for it in
    // memory, and saves to it are refused. Each of these is reported (DataFileProblems.h).
    // Returns a copy of the node (null when neither file has one).
    Json::Value LoadProfile(const std::filesystem::path& path);
    Json::Value LoadOtherProfile(const std::filesystem::path& path);

    virtual void SaveProfile();
    // Reads the file at path, replaces its "Device" element, writes it whole.
    virtual void SaveNode(const Json::Value& node, const std::filesystem::path& path);
    virtual void SaveOtherProfile(const std::filesystem::path& path);
    virtual void WriteDocument(const Json::Value& value, const std::filesystem::path& path);

    // Light settings; bytes 8 to 10 are not stored and read back as 0.
    LightInfo GetLightInfo();
    void SetLightInfo(const LightInfo& info);
    AudioLightInfo GetAudioLightInfo();
    void SetAudioLightInfo(const AudioLightInfo& info);

    // The node's "LightList" (read only): one entry per element, a null element giving an entry
    // of zeros with the present byte 0.
    std::vector<LightListEntry> GetLightList();

    // Reads "qorin_light.config" (null when missing); returns a copy.
    Json::Value LoadLightConfig(const std::filesystem::path& path);

    // The steps of the custom lighting entry of the current light mode (see the header comment);
    // empty when there is none.
    std::vector<LightStep> GetCustomLightSteps();

    // Key table: element i of "KeyList" is key position i. SetKeyList writes only "Assignment"
    // of the positions the list covers; "DefaultAssignment" is never written.
    std::vector<KeyEntry> GetKeyList();
    void SetKeyList(const std::vector<KeyEntry>& keys);
    std::vector<KeyEntry> GetOtherKeyList();
    void SetOtherKeyList(const std::vector<KeyEntry>& keys);

    // The 4-byte device form of a macro event: delay (little-endian 16 bits), type with bit 7
    // set for "down", button. The delay may be text or a number; it is limited to 0..65535 as
    // the macro files are (65535 or more, and negative values, give 65535; non-numeric text 0).
    static bool MacroEventToRecord(const Json::Value& event, std::array<uint8_t, 4>& out);

    // The node as it is now (for the page's own members and for tests).
    const Json::Value& GetNode() const { return m_node; }
    // Puts back a node taken with GetNode (a change the device did not take is undone); the file
    // is written by the next SaveProfile.
    void SetNode(const Json::Value& node) { m_node = node; }
    const Json::Value& GetOtherNode() const { return m_otherNode; }
    const Json::Value& GetLightConfig() const { return m_lightConfig; }

protected:
    Json::Value m_node;
    JsonFile m_file;

private:
    Json::Value LoadNodeInto(Json::Value& node, const std::filesystem::path& path);
    static std::vector<KeyEntry> ReadKeyList(const Json::Value& node);
    static void WriteKeyList(Json::Value& node, const std::vector<KeyEntry>& keys);
    // The document of a file that is about to be rewritten: its content, or an empty object for a
    // missing file or a malformed one (moved aside first). False, with the problem reported, when
    // the file must not be written: it could not be read, or could not be moved aside.
    bool ReadForUpdate(const std::filesystem::path& path, Json::Value& document);
    static bool DocumentForUpdate(const std::filesystem::path& path, JsonReadResult read, Json::Value& document);
    void Remember(const std::filesystem::path& path, Json::Value document);

    // The last profile document read or written, with the identity of its file (device, inode,
    // size, modification time). A page saves after every change, so SaveNode would otherwise
    // parse the file it has just written; it reuses this copy while the file is unchanged, and
    // reads the file again as soon as anything else has replaced or modified it (the change time
    // is in the stamp so that a chmod that takes the user's rights away is noticed too).
    struct FileStamp {
        uint64_t device = 0, inode = 0, size = 0;
        int64_t mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static bool StampOf(const std::filesystem::path& path, FileStamp& stamp);
    std::filesystem::path m_cachedPath;
    FileStamp m_cachedStamp;
    Json::Value m_cachedDocument;
    bool m_lastWriteOk = false;

    std::filesystem::path m_profilePath;
    std::filesystem::path m_defaultPath;
    std::filesystem::path m_lightConfigPath;
    int32_t m_deviceIndex = 0;
    int32_t m_lightTableIndex = 0;
    int32_t m_customModeBase = 0;
    LightInfo m_lightInfo;
    AudioLightInfo m_audioLightInfo;
    std::vector<LightListEntry> m_lightList;
    std::vector<LightStep> m_steps;
    std::vector<KeyEntry> m_keyList;
    std::vector<KeyEntry> m_otherKeyList;
    Json::Value m_otherNode;
    Json::Value m_lightConfig;
};

}  // namespace vx::profiles
