#include "profiles/Ru6533Profiledata.h"

#include <algorithm>

#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

namespace vx::profiles {

namespace {

int64_t PresetRow(int32_t preset) {
    const auto n = static_cast<uint32_t>(preset);
    return (n == 0 || n > 13) ? 1 : n;
}

}  // namespace

Ru6533SystemSetStages CRu6533Profiledata::GetSystemSetStages() {
    Ru6533SystemSetStages s;
    const Json::Value& object = JsonMember(m_node, "SystemSetStages");
    if (!object.isNull()) {
        s.magicEnable = JsonInt32(JsonMember(object, "MagicEnable"));
        s.magicType = JsonInt32(JsonMember(object, "MagicType"));
        s.eqType = JsonInt32(JsonMember(object, "EqType"));
        s.customEqSeletIndex = JsonInt32(JsonMember(object, "CustomEqSeletIndex"));
        s.micInSelect = JsonInt32(JsonMember(object, "MicInSelect"));
        s.micInValue = JsonInt32(JsonMember(object, "MicInValue"));
        s.micMoniterSelect = JsonInt32(JsonMember(object, "MicMoniterSelect"));
        s.micMoniterValue = JsonInt32(JsonMember(object, "MicMoniterValue"));
    }
    m_stages = s;
    return s;
}

void CRu6533Profiledata::SetSystemSetStages(const Ru6533SystemSetStages& s) {
    m_stages = s;
    Json::Value& object = JsonMemberForWrite(m_node, "SystemSetStages");
    JsonMemberForWrite(object, "MagicEnable") = s.magicEnable;
    JsonMemberForWrite(object, "MagicType") = s.magicType;
    JsonMemberForWrite(object, "EqType") = s.eqType;
    JsonMemberForWrite(object, "CustomEqSeletIndex") = s.customEqSeletIndex;
    JsonMemberForWrite(object, "MicInSelect") = s.micInSelect;
    JsonMemberForWrite(object, "MicInValue") = s.micInValue;
    JsonMemberForWrite(object, "MicMoniterSelect") = s.micMoniterSelect;
    JsonMemberForWrite(object, "MicMoniterValue") = s.micMoniterValue;
}

std::vector<int32_t> CRu6533Profiledata::ReadRow(const char* member, int64_t row) {
    std::vector<int32_t> values(kEqBandCount, 0);
    const Json::Value& existing = JsonElement(JsonMember(m_node, member), row);
    if (!existing.isNull()) {
        for (int32_t i = 0; i < kEqBandCount; ++i) {
            values[i] = JsonInt32(JsonMember(JsonElement(existing, int64_t(i)), "value"));
        }
        return values;
    }
    if (row < 0 || row > int64_t(kMaxCreatedIndex)) return values;
    // A missing row is created with band 0 at 0 and null entries for the other bands, so that a
    // later save keeps the row's place.
    Json::Value* created = JsonElementForWrite(JsonMemberForWrite(m_node, member), row);
    if (created != nullptr) {
        JsonMemberForWrite(*JsonElementForWrite(*created, 0), "value") = 0;
        JsonElementForWrite(*created, kEqBandCount - 1);
    }
    return values;
}

void CRu6533Profiledata::WriteRow(const char* member, int64_t row, const std::vector<int32_t>& values) {
    if (row < 0 || row > int64_t(kMaxCreatedIndex)) return;
    Json::Value& rowValue = *JsonElementForWrite(JsonMemberForWrite(m_node, member), row);
    const size_t count = std::min<size_t>(values.size(), kEqBandCount);
    for (size_t i = 0; i < count; ++i) {
        JsonMemberForWrite(*JsonElementForWrite(rowValue, int64_t(i)), "value") = values[i];
    }
}

std::vector<int32_t> CRu6533Profiledata::GetEqValues(int32_t preset) {
    if (preset == kEqCustomPreset) return {};
    return ReadRow("EQHzValueInfo", PresetRow(preset));
}

void CRu6533Profiledata::SetEqValues(int32_t preset, const std::vector<int32_t>& values) {
    if (preset == kEqCustomPreset) return;
    WriteRow("EQHzValueInfo", PresetRow(preset), values);
}

std::vector<int32_t> CRu6533Profiledata::GetCustomEqValues(int32_t position) {
    return ReadRow("CustomEQHzValueInfo", position);
}

void CRu6533Profiledata::SetCustomEqValues(int32_t position, const std::vector<int32_t>& values) {
    WriteRow("CustomEQHzValueInfo", position, values);
}

std::vector<std::u16string> CRu6533Profiledata::GetCustomEqNames() {
    std::vector<std::u16string> names;
    const Json::Value& list = JsonMember(m_node, "CustomEQNameInfo");
    const size_t count = std::min<size_t>(JsonArraySize(list), kMaxListEntries);
    for (size_t i = 0; i < count; ++i)
        names.push_back(Utf8ToWide(JsonStringAt(list[Json::ArrayIndex(i)], "Name")));
    return names;
}

void CRu6533Profiledata::SetCustomEqNames(const std::vector<std::u16string>& names) {
    Json::Value list;  // null for an empty list
    for (const auto& name : names) {
        Json::Value entry(Json::objectValue);
        entry["Name"] = WideToUtf8(name);
        list.append(entry);
    }
    JsonMemberForWrite(m_node, "CustomEQNameInfo") = list;
}

}  // namespace vx::profiles
