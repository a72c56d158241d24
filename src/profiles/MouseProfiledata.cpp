#include "profiles/MouseProfiledata.h"

#include <algorithm>

#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

namespace vx::profiles {

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
    const Json::Value& dpi = JsonMember(m_node, "DPIStages");
    if (!dpi.isNull()) {
        m_activeStage = JsonInt32(JsonMember(dpi, "StageActive"));
        const Json::Value& list = JsonMember(dpi, "StageDPIs");
        const size_t count = std::min<size_t>(JsonArraySize(list), kMaxListEntries);
        for (size_t j = 0; j < count; ++j) {
            const Json::Value& e = list[Json::ArrayIndex(j)];
            DpiStage stage;
            ReadJsonFields(vx::records::kDpiStageJson, e, stage);
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
        WriteJsonFields(vx::records::kDpiStageJson, stages[i], *element);
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
        ReadJsonFields(vx::records::kMouseSystemJson, object, s);
        const Json::Value& report = JsonMember(m_node, "ReportStages");
        if (!report.isNull()) s.reportStage = JsonWord(JsonMember(report, "StageActive"));
    }
    m_systemStages = s;
    return s;
}

void CMouseProfiledata::SetMouseSystemStages(const MouseSystemStages& s) {
    m_systemStages = s;
    WriteJsonFields(vx::records::kMouseSystemJson, s, JsonMemberForWrite(m_node, "SystemStages"));
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

}  // namespace vx::profiles
