#include "profiles/LightNameTables.h"

#include <algorithm>

#include "profiles/BasicProfiledata.h"
#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

namespace vx::profiles {

namespace {

std::vector<std::u16string> NamesOf(const Json::Value& list) {
    std::vector<std::u16string> names;
    const size_t count = std::min<size_t>(JsonArraySize(list), kMaxListEntries);
    for (size_t i = 0; i < count; ++i)
        names.push_back(Utf8ToWide(JsonStringAt(list[Json::ArrayIndex(i)], "LightName")));
    return names;
}

}  // namespace

bool LightNameTables::LoadDefaultLightNames(const std::filesystem::path& file, int32_t index) {
    const Json::Value document = m_file.ReadJson(file);
    const Json::Value& modes = JsonElement(JsonMember(document, "DefaultLightName"), int64_t(index));
    const bool haveModes = !modes.isNull();
    if (haveModes) {
        m_modeNames.clear();
        m_modeVisible.clear();
        m_modeCodes.clear();
        const size_t count = std::min<size_t>(JsonArraySize(modes), kMaxListEntries);
        for (size_t i = 0; i < count; ++i) {
            const Json::Value& entry = modes[Json::ArrayIndex(i)];
            m_modeNames.push_back(Utf8ToWide(JsonStringAt(entry, "LightName")));
            m_modeVisible.push_back(JsonFlag(JsonMember(entry, "visible")) != 0);
            m_modeCodes.push_back(JsonByteAt(entry, "value"));
        }
    }
    const Json::Value& areas = JsonElement(JsonMember(document, "AreaLightName"), int64_t(index));
    if (!areas.isNull()) m_areaNames = NamesOf(areas);
    return haveModes;
}

bool LightNameTables::LoadCustomLightNames(const std::filesystem::path& file, int32_t index) {
    const Json::Value document = m_file.ReadJson(file);
    const Json::Value& entries = JsonElement(JsonMember(document, "LightInfo"), int64_t(index));
    if (entries.isNull()) return false;
    m_customNames = NamesOf(entries);
    return true;
}

uint8_t LightNameTables::CodeOfMode(int32_t index, int32_t limit) const {
    if (m_modeCodes.empty()) return 0;
    if (index < 0 || index >= limit || static_cast<size_t>(index) >= m_modeCodes.size())
        return m_modeCodes[0];
    return m_modeCodes[static_cast<size_t>(index)];
}

int32_t LightNameTables::ModeOfCode(uint8_t code) const {
    const auto it = std::find(m_modeCodes.begin(), m_modeCodes.end(), code);
    return it == m_modeCodes.end() ? -1 : static_cast<int32_t>(it - m_modeCodes.begin());
}

}  // namespace vx::profiles
