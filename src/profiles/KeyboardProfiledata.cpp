#include "profiles/KeyboardProfiledata.h"

#include "profiles/JsonAccess.h"

namespace vx::profiles {

namespace {

Json::Value ColorObject(const CustomLightColor& c) {
    Json::Value object(Json::objectValue);
    object["Red"] = c.red;
    object["Green"] = c.green;
    object["Blue"] = c.blue;
    object["Alpha"] = c.alpha;
    return object;
}

}  // namespace

KeyboardSystemStages CKeyboardProfiledata::GetKeyboardSystemStages() {
    KeyboardSystemStages s;
    const Json::Value& object = JsonMember(m_node, "SystemStages");
    if (!object.isNull()) ReadJsonFields(vx::records::kKeyboardSystemJson, object, s);
    m_systemStages = s;
    return s;
}

void CKeyboardProfiledata::SetKeyboardSystemStages(const KeyboardSystemStages& s) {
    m_systemStages = s;
    WriteJsonFields(vx::records::kKeyboardSystemJson, s, JsonMemberForWrite(m_node, "SystemStages"));
}

void CKeyboardProfiledata::SetKeyboardSystemStages(uint32_t word0, uint32_t word1, uint32_t word2) {
    SetKeyboardSystemStages(KeyboardSystemStages::FromWords(word0, word1, word2));
}

std::vector<CustomLightColor> CKeyboardProfiledata::GetCustomLightColors(int32_t group, int32_t count) {
    std::vector<CustomLightColor> colors;
    if (count <= 0) {
        m_colors = colors;
        return colors;
    }
    const bool writable =
        group >= 0 && group <= int32_t(kMaxCreatedIndex) && count <= int32_t(kMaxCreatedIndex) + 1;
    if (!writable) {
        // Nothing sensible can be stored for such a request; answer black, bounded.
        colors.resize(static_cast<size_t>(std::min<int64_t>(count, kMaxCreatedIndex + 1)));
        m_colors = colors;
        return colors;
    }
    Json::Value& info = JsonMemberForWrite(JsonMemberForWrite(m_node, "CustomLightMode"), "LightColorInfo");
    Json::Value& element = *JsonElementForWrite(info, group);
    if (!element.isArray()) element = Json::Value(Json::arrayValue);
    colors.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        Json::Value& position = *JsonElementForWrite(element, i);
        if (position.isNull()) {
            position = ColorObject({});
            colors.push_back({});
        } else {
            colors.push_back({JsonByteAt(position, "Red"), JsonByteAt(position, "Green"),
                              JsonByteAt(position, "Blue"), JsonByteAt(position, "Alpha")});
        }
    }
    m_colors = colors;
    return colors;
}

void CKeyboardProfiledata::SetCustomLightColors(const std::vector<CustomLightColor>& colors, int32_t group) {
    m_colors = colors;
    if (group < 0 || group > int32_t(kMaxCreatedIndex)) return;
    Json::Value& info = JsonMemberForWrite(JsonMemberForWrite(m_node, "CustomLightMode"), "LightColorInfo");
    Json::Value& element = *JsonElementForWrite(info, group);
    for (size_t i = 0; i < colors.size(); ++i) {
        Json::Value* position = JsonElementForWrite(element, static_cast<int64_t>(i));
        if (position == nullptr) break;
        Json::Value& object = *position;
        JsonMemberForWrite(object, "Red") = colors[i].red;
        JsonMemberForWrite(object, "Green") = colors[i].green;
        JsonMemberForWrite(object, "Blue") = colors[i].blue;
        JsonMemberForWrite(object, "Alpha") = colors[i].alpha;
    }
}

int32_t CKeyboardProfiledata::GetCustomGroupIndex() {
    m_groupIndex = JsonInt32(JsonMember(JsonMember(m_node, "CustomLightMode"), "CustomLightModeGroupIndex"));
    return m_groupIndex;
}

void CKeyboardProfiledata::SetCustomGroupIndex(int32_t group) {
    m_groupIndex = group;
    JsonMemberForWrite(JsonMemberForWrite(m_node, "CustomLightMode"), "CustomLightModeGroupIndex") = group;
}

}  // namespace vx::profiles
