#pragma once
// Profile data of the RU6533 headset page: its audio settings ("SystemSetStages"), the
// equaliser preset rows ("EQHzValueInfo", indexed by preset number 1-12) and the user's named
// custom equalisers ("CustomEQNameInfo" with their rows in "CustomEQHzValueInfo"), beside
// everything of CBasicProfiledata. A band row is ten objects {"value": gain}.

#include <cstdint>
#include <string>
#include <vector>

#include "profiles/BasicProfiledata.h"

namespace vx::profiles {

constexpr int32_t kEqBandCount = 10;
constexpr int32_t kEqCustomPreset = 13;

class CRu6533Profiledata : public CBasicProfiledata {
public:
    // Eight zeros, and the node left as it is, when "SystemSetStages" is missing.
    Ru6533SystemSetStages GetSystemSetStages();
    void SetSystemSetStages(const Ru6533SystemSetStages& stages);

    // Ten gains of preset n (row 1 stands for 0 and every number above 13); empty for 13 (custom).
    // A row that does not exist reads as zeros and is created in the node.
    std::vector<int32_t> GetEqValues(int32_t preset);
    // Writes the first ten values (fewer when the list is shorter); nothing for 13.
    void SetEqValues(int32_t preset, const std::vector<int32_t>& values);

    // The same on "CustomEQHzValueInfo", row = position in the custom list. Positions outside
    // 0..kMaxCreatedIndex read as ten zeros and are never written.
    std::vector<int32_t> GetCustomEqValues(int32_t position);
    void SetCustomEqValues(int32_t position, const std::vector<int32_t>& values);

    std::vector<std::u16string> GetCustomEqNames();
    // Replaces "CustomEQNameInfo" whole; an empty list is stored as null.
    void SetCustomEqNames(const std::vector<std::u16string>& names);

private:
    std::vector<int32_t> ReadRow(const char* member, int64_t row);
    void WriteRow(const char* member, int64_t row, const std::vector<int32_t>& values);

    Ru6533SystemSetStages m_stages;
};

}  // namespace vx::profiles
