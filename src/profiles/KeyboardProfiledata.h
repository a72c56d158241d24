#pragma once
// Profile data of a keyboard page: the keyboard's system settings ("SystemStages") and the
// per-key colour tables of its custom lighting groups ("CustomLightMode"), beside everything of
// CBasicProfiledata. Setters change only the node; the page calls SaveProfile afterwards.

#include <cstdint>
#include <vector>

#include "profiles/BasicProfiledata.h"

namespace vx::profiles {

class CKeyboardProfiledata : public CBasicProfiledata {
public:
    // Six zeros when the node has no "SystemStages".
    KeyboardSystemStages GetKeyboardSystemStages();
    // Sets the six members; other members of "SystemStages" stay.
    void SetKeyboardSystemStages(const KeyboardSystemStages& stages);
    void SetKeyboardSystemStages(uint32_t word0, uint32_t word1, uint32_t word2);

    // `count` colours of custom group `group`. Missing groups and positions are filled with black
    // in the node as well (a later SaveProfile stores them). Groups and counts beyond
    // kMaxCreatedIndex read as black without touching the node.
    std::vector<CustomLightColor> GetCustomLightColors(int32_t group, int32_t count);
    // Writes the colours into group `group`; positions beyond the list stay.
    void SetCustomLightColors(const std::vector<CustomLightColor>& colors, int32_t group);

    int32_t GetCustomGroupIndex();
    void SetCustomGroupIndex(int32_t group);

private:
    KeyboardSystemStages m_systemStages;
    std::vector<CustomLightColor> m_colors;
    int32_t m_groupIndex = 0;
};

}  // namespace vx::profiles
