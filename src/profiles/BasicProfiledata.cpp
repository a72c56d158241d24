#include "profiles/BasicProfiledata.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/DebugLog.h"
#include "profiles/DataFileProblems.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/MacroFiles.h"
#include "profiles/StringUtil.h"

namespace vx::profiles {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kMaxDeviceIndex = 15;

bool SamePath(const fs::path& a, const fs::path& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return a.lexically_normal() == b.lexically_normal();
}

// A device node is an object; anything else in its place is treated as missing.
Json::Value NodeOf(const Json::Value& document, int32_t deviceIndex) {
    const Json::Value& node = JsonElement(JsonMember(document, "Device"), static_cast<int64_t>(deviceIndex));
    return node.isObject() ? node : Json::Value();
}

void StoreNode(Json::Value& document, int32_t deviceIndex, Json::Value node) {
    Json::Value& devices = JsonMemberForWrite(document, "Device");
    if (Json::Value* slot = JsonElementForWrite(devices, deviceIndex)) *slot = std::move(node);
}

LightListEntry ReadLightListEntry(const Json::Value& element) {
    LightListEntry e;
    if (!element.isObject()) return e;
    ReadJsonFields(vx::records::kLightListJson, element, e);
    e.present = 1;
    return e;
}

LightStep ReadLightStep(const Json::Value& element) {
    LightStep s;
    ReadJsonFields(vx::records::kLightStepJson, element, s);
    return s;
}

}  // namespace

void CBasicProfiledata::SetProfilePath(const fs::path& path) {
    if (!path.empty()) m_profilePath = path;
}

void CBasicProfiledata::SetDefaultPath(const fs::path& path) {
    if (!path.empty()) m_defaultPath = path;
}

void CBasicProfiledata::SetDeviceIndex(int32_t index) {
    if (index >= 0 && index <= kMaxDeviceIndex) m_deviceIndex = index;
}

bool CBasicProfiledata::StampOf(const fs::path& path, FileStamp& stamp) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    stamp = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
             static_cast<uint64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
             static_cast<int64_t>(st.st_mtim.tv_nsec), static_cast<int64_t>(st.st_ctim.tv_sec),
             static_cast<int64_t>(st.st_ctim.tv_nsec)};
    return true;
}

void CBasicProfiledata::Remember(const fs::path& path, Json::Value document) {
    m_cachedPath.clear();
    m_cachedDocument = Json::Value();
    FileStamp stamp;
    if (!document.isObject() || !StampOf(path, stamp)) return;
    m_cachedPath = path;
    m_cachedStamp = stamp;
    m_cachedDocument = std::move(document);
}

bool CBasicProfiledata::DocumentForUpdate(const fs::path& path, JsonReadResult read, Json::Value& document) {
    switch (read.status) {
        case JsonReadStatus::Read:
            if (read.value.isObject()) {
                document = std::move(read.value);
                return true;
            }
            break;  // JSON, but not a profile
        case JsonReadStatus::Missing:
        case JsonReadStatus::Empty:
            document = Json::Value(Json::objectValue);
            return true;
        case JsonReadStatus::Unreadable:
            // Most often the file's permissions: its content is unknown, maybe whole. Replacing
            // it would destroy what the user may still get back by fixing the rights.
            ReportDataFileProblem({DataFileProblemKind::Unreadable, path, {}, read.error});
            return false;
        case JsonReadStatus::Malformed:
            break;
    }
    // The file holds something this program cannot use; keep it for the user instead of
    // overwriting it.
    if (!MoveBrokenFileAside(path)) return false;
    document = Json::Value(Json::objectValue);
    return true;
}

bool CBasicProfiledata::ReadForUpdate(const fs::path& path, Json::Value& document) {
    FileStamp stamp;
    if (!m_cachedPath.empty() && path == m_cachedPath && StampOf(path, stamp) && stamp == m_cachedStamp) {
        m_cachedPath.clear();
        document = std::move(m_cachedDocument);
        return true;
    }
    return DocumentForUpdate(path, m_file.ReadJsonChecked(path), document);
}

Json::Value CBasicProfiledata::LoadNodeInto(Json::Value& node, const fs::path& path) {
    JsonReadResult read = m_file.ReadJsonChecked(path);
    node = NodeOf(read.value, m_deviceIndex);
    if (!node.isNull()) {
        Remember(path, std::move(read.value));
        return node;
    }

    node = NodeOf(m_file.ReadJson(m_defaultPath), m_deviceIndex);
    if (path.empty() || SamePath(path, m_defaultPath)) return node;
    // A file that cannot be replaced keeps its content; the factory node serves this run.
    Json::Value updated;
    if (!DocumentForUpdate(path, std::move(read), updated)) return node;
    StoreNode(updated, m_deviceIndex, node);
    SaveDataFile(m_file, path, updated);
    return node;
}

Json::Value CBasicProfiledata::LoadProfile(const fs::path& path) {
    return LoadNodeInto(m_node, path);
}

Json::Value CBasicProfiledata::LoadOtherProfile(const fs::path& path) {
    return LoadNodeInto(m_otherNode, path);
}

void CBasicProfiledata::SaveProfile() {
    SaveNode(m_node, m_profilePath);
}

void CBasicProfiledata::SaveNode(const Json::Value& node, const fs::path& path) {
    if (path.empty()) return;
    Json::Value document;
    if (!ReadForUpdate(path, document)) {
        m_cachedPath.clear();
        return;
    }
    // A page saves after every step, also when a step changed nothing (a device read that gave
    // back what the file holds): such a save writes nothing, so that merely using the program
    // with a read-only data folder costs no notice and no disk write.
    if (NodeOf(document, m_deviceIndex) == node && node.isObject()) {
        m_lastWriteOk = true;
        Remember(path, std::move(document));
        return;
    }
    StoreNode(document, m_deviceIndex, node);
    m_lastWriteOk = false;
    WriteDocument(document, path);
    if (m_lastWriteOk) {
        Remember(path, std::move(document));
    } else {
        m_cachedPath.clear();
    }
}

void CBasicProfiledata::SaveOtherProfile(const fs::path& path) {
    SaveNode(m_otherNode, path);
}

void CBasicProfiledata::WriteDocument(const Json::Value& value, const fs::path& path) {
    m_lastWriteOk = SaveDataFile(m_file, path, value);
}

LightInfo CBasicProfiledata::GetLightInfo() {
    LightInfo info;
    const Json::Value& object = JsonMember(m_node, "LightInfo");
    if (!object.isNull()) ReadJsonFields(vx::records::kLightInfoJson, object, info);
    m_lightInfo = info;
    return info;
}

void CBasicProfiledata::SetLightInfo(const LightInfo& info) {
    m_lightInfo = info;
    Json::Value object(Json::objectValue);
    WriteJsonFields(vx::records::kLightInfoJson, info, object);
    JsonMemberForWrite(m_node, "LightInfo") = object;
}

AudioLightInfo CBasicProfiledata::GetAudioLightInfo() {
    AudioLightInfo info;
    const Json::Value& object = JsonMember(m_node, "AudioLightInfo");
    if (!object.isNull()) ReadJsonFields(vx::records::kAudioLightInfoJson, object, info);
    m_audioLightInfo = info;
    return info;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightInfo& info) {
    m_audioLightInfo = info;
    Json::Value object(Json::objectValue);
    WriteJsonFields(vx::records::kAudioLightInfoJson, info, object);
    JsonMemberForWrite(m_node, "AudioLightInfo") = object;
}

std::vector<LightListEntry> CBasicProfiledata::GetLightList() {
    std::vector<LightListEntry> list;
    const Json::Value& array = JsonMember(m_node, "LightList");
    const size_t count = std::min<size_t>(JsonArraySize(array), kMaxListEntries);
    list.reserve(count);
    for (size_t i = 0; i < count; ++i) list.push_back(ReadLightListEntry(array[Json::ArrayIndex(i)]));
    m_lightList = list;
    return list;
}

Json::Value CBasicProfiledata::LoadLightConfig(const fs::path& path) {
    m_lightConfig = m_file.ReadJson(path);
    return m_lightConfig;
}

std::vector<LightStep> CBasicProfiledata::GetCustomLightSteps() {
    std::vector<LightStep> steps;
    const int64_t entry = int64_t(m_lightInfo.selectItem) - m_customModeBase;
    if (!m_lightConfig.isNull() && entry >= 0) {
        const Json::Value& entries =
            JsonElement(JsonMember(m_lightConfig, "LightInfo"), int64_t(m_lightTableIndex));
        const std::string guid = JsonStringAt(JsonElement(entries, entry), "Guid");
        if (IsSafeFileName(guid + ".light")) {
            const fs::path stepFile = m_lightConfigPath.parent_path() / fs::path(guid + ".light");
            const Json::Value stepDocument = m_file.ReadJson(stepFile);
            const Json::Value& list = JsonMember(stepDocument, "LEDEffectList");
            const size_t count = std::min<size_t>(JsonArraySize(list), kMaxListEntries);
            steps.reserve(count);
            for (size_t i = 0; i < count; ++i) steps.push_back(ReadLightStep(list[Json::ArrayIndex(i)]));
        }
    }
    m_steps = steps;
    return steps;
}

std::vector<KeyEntry> CBasicProfiledata::ReadKeyList(const Json::Value& node) {
    std::vector<KeyEntry> keys;
    const Json::Value& array = JsonMember(node, "KeyList");
    const size_t count = std::min<size_t>(JsonArraySize(array), kMaxListEntries);
    keys.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const Json::Value& element = array[Json::ArrayIndex(i)];
        const auto position = static_cast<uint16_t>(i);
        keys.push_back(
            {KeyFunction::FromCode(position, static_cast<uint32_t>(JsonIntAt(element, "Assignment"))),
             KeyFunction::FromCode(position,
                                   static_cast<uint32_t>(JsonIntAt(element, "DefaultAssignment")))});
    }
    return keys;
}

void CBasicProfiledata::WriteKeyList(Json::Value& node, const std::vector<KeyEntry>& keys) {
    Json::Value& array = JsonMemberForWrite(node, "KeyList");
    for (size_t i = 0; i < keys.size(); ++i) {
        Json::Value* element = JsonElementForWrite(array, static_cast<int64_t>(i));
        if (element == nullptr) break;
        JsonMemberForWrite(*element, "Assignment") = keys[i].current.Code();
    }
}

std::vector<KeyEntry> CBasicProfiledata::GetKeyList() {
    m_keyList = ReadKeyList(m_node);
    return m_keyList;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyEntry>& keys) {
    m_keyList = keys;
    WriteKeyList(m_node, keys);
}

std::vector<KeyEntry> CBasicProfiledata::GetOtherKeyList() {
    m_otherKeyList = ReadKeyList(m_otherNode);
    return m_otherKeyList;
}

void CBasicProfiledata::SetOtherKeyList(const std::vector<KeyEntry>& keys) {
    m_otherKeyList = keys;
    WriteKeyList(m_otherNode, keys);
}

bool CBasicProfiledata::MacroEventToRecord(const Json::Value& event, std::array<uint8_t, 4>& out) {
    out = MacroFiles::Pack(MacroFiles::EventFromJson(event));
    return true;
}

}  // namespace vx::profiles
