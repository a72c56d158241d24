#pragma once
// Profile data of a mouse page: DPI stages and the active stage ("DPIStages"), pointer settings
// ("SystemStages") with the report-rate stage ("ReportStages"), and the read-only sensor
// correction presets ("CorrectInfo"), beside everything of CBasicProfiledata.

#include <cstdint>
#include <vector>

#include "profiles/BasicProfiledata.h"

namespace vx::profiles {

class CMouseProfiledata : public CBasicProfiledata {
public:
    // Merges the node's stages into the stored list position by position (the stored list never
    // shrinks here) and returns it. Reads the active stage on the way. A node without
    // "DPIStages" changes neither.
    std::vector<DpiStage> GetDpiStages();
    // Stores the list and writes element i of "StageDPIs" for each stage; elements beyond stay.
    void SetDpiStages(const std::vector<DpiStage>& stages);
    int32_t GetActiveStage() const { return m_activeStage; }
    void SetActiveStage(int32_t stage);

    MouseSystemStages GetMouseSystemStages();
    void SetMouseSystemStages(const MouseSystemStages& stages);
    void SetMouseSystemStages(uint32_t word0, uint32_t word1, uint32_t word2);

    std::vector<CorrectInfo> GetCorrectInfo();

private:
    std::vector<DpiStage> m_stages;
    int32_t m_activeStage = 0;
    MouseSystemStages m_systemStages;
    std::vector<CorrectInfo> m_presets;
};

}  // namespace vx::profiles
