#include "profiles/MouseProfiledata.h"

#include <algorithm>

#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
    const Json::Value& dpi = JsonMember(m_node, "DPIStages");
    if (!dpi.isNull()) {
        m_activeStage = JsonInt32(JsonMember(dpi, "StageActive"));
        const Json::Value& list = JsonMember(dpi, "StageDPIs");
        const size_t count = std::min<size_t>(JsonArraySize(list), kMaxListEntries);
        for (size_t j = 0; j < count; ++j) {
            const Json::Value& e = list[Json::ArrayIndex(j)];
            const DpiStage stage{JsonByteAt(e, "StageActive"), JsonByteAt(e, "StageXY"),
                                 JsonWord(JsonMember(e, "StageDPIX")), JsonWord(JsonMember(e, "StageDPIY")),
                                 JsonByteAt(e, "StageColorR"), JsonByteAt(e, "StageColorG"),
                                 JsonByteAt(e, "StageColorB")};
            if (j < m_stages.size()) {
                m_stages[j] = stage;
            } else {
                m_stages.push_back(stage);
            }
        }
    }
    return m_stages;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
    m_stages = stages;
    Json::Value& list = JsonMemberForWrite(JsonMemberForWrite(m_node, "DPIStages"), "StageDPIs");
    for (size_t i = 0; i < stages.size(); ++i) {
        Json::Value* element = JsonElementForWrite(list, static_cast<int64_t>(i));
        if (element == nullptr) break;
        const DpiStage& s = stages[i];
        JsonMemberForWrite(*element, "StageActive") = s.active;
        JsonMemberForWrite(*element, "StageColorB") = s.blue;
        JsonMemberForWrite(*element, "StageColorG") = s.green;
        JsonMemberForWrite(*element, "StageColorR") = s.red;
        JsonMemberForWrite(*element, "StageXY") = s.xy;
        JsonMemberForWrite(*element, "StageDPIX") = s.dpiX;
        JsonMemberForWrite(*element, "StageDPIY") = s.dpiY;
    }
}

void CMouseProfiledata::SetActiveStage(int32_t stage) {
    m_activeStage = stage;
    JsonMemberForWrite(JsonMemberForWrite(m_node, "DPIStages"), "StageActive") = stage;
}

MouseSystemStages CMouseProfiledata::GetMouseSystemStages() {
    MouseSystemStages s;
    const Json::Value& object = JsonMember(m_node, "SystemStages");
    if (!object.isNull()) {
        s.doubleClickTime = JsonWord(JsonMember(object, "DoubleClickTime"));
        s.mouseSpeed = JsonWord(JsonMember(object, "MouseSpeed"));
        s.pointerPrecision = JsonWord(JsonMember(object, "PointerPrecision"));
        s.scorllPage = JsonWord(JsonMember(object, "ScorllPage"));
        s.wheelScorlllinse = JsonWord(JsonMember(object, "WheelScorlllinse"));
        const Json::Value& report = JsonMember(m_node, "ReportStages");
        if (!report.isNull()) s.reportStage = JsonWord(JsonMember(report, "StageActive"));
    }
    m_systemStages = s;
    return s;
}

void CMouseProfiledata::SetMouseSystemStages(const MouseSystemStages& s) {
    m_systemStages = s;
    Json::Value& object = JsonMemberForWrite(m_node, "SystemStages");
    JsonMemberForWrite(object, "DoubleClickTime") = s.doubleClickTime;
    JsonMemberForWrite(object, "MouseSpeed") = s.mouseSpeed;
    JsonMemberForWrite(object, "PointerPrecision") = s.pointerPrecision;
    JsonMemberForWrite(object, "ScorllPage") = s.scorllPage;
    JsonMemberForWrite(object, "WheelScorlllinse") = s.wheelScorlllinse;
    JsonMemberForWrite(JsonMemberForWrite(m_node, "ReportStages"), "StageActive") = s.reportStage;
}

void CMouseProfiledata::SetMouseSystemStages(uint32_t word0, uint32_t word1, uint32_t word2) {
    SetMouseSystemStages(MouseSystemStages::FromWords(word0, word1, word2));
}

std::vector<CorrectInfo> CMouseProfiledata::GetCorrectInfo() {
    std::vector<CorrectInfo> presets;
    const Json::Value& list = JsonMember(m_node, "CorrectInfo");
    const size_t count = std::min<size_t>(JsonArraySize(list), kMaxListEntries);
    for (size_t i = 0; i < count; ++i) {
        const Json::Value& e = list[Json::ArrayIndex(i)];
        presets.push_back({JsonByteAt(e, "CorrectPixThresh"), JsonByteAt(e, "CorrectMinSq"),
                           JsonByteAt(e, "CorrectSelect"), Utf8ToWide(JsonStringAt(e, "CorrectName"))});
    }
    m_presets = presets;
    return presets;
}
