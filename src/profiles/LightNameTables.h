#pragma once
// The light name tables a page shows: its built-in light modes with their visible flags and
// device codes, the names of its lighting areas (both from "default_light.json" in the default
// data folder) and the names of its custom lighting entries ("qorin_light.config" in the device
// data folder). Each file holds one element per light-table index (0 keyboard, 1 mouse,
// 2 mousepad, 3 headset).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "profiles/JsonFile.h"

namespace vx::profiles {

class LightNameTables {
public:
    // Reads "default_light.json". When the file has an element for the index, the mode lists
    // (or the area list) are replaced by it; otherwise they keep what they held. Returns false
    // when the file has no mode list for the index.
    bool LoadDefaultLightNames(const std::filesystem::path& defaultLightFile, int32_t lightTableIndex);

    // Reads "qorin_light.config" the same way into the custom name list.
    bool LoadCustomLightNames(const std::filesystem::path& lightConfigFile, int32_t lightTableIndex);

    // The device code of mode `index`. Indexes at or beyond `limit` (the first index the device
    // cannot take: 31 keyboard, 12 mouse, 9 mousepad and headset) or beyond the table use entry 0;
    // an empty table gives 0.
    uint8_t CodeOfMode(int32_t index, int32_t limit) const;

    // The mode index of a device code: the first table entry equal to it; -1 when none is.
    int32_t ModeOfCode(uint8_t code) const;

    const std::vector<std::u16string>& ModeNames() const { return m_modeNames; }
    const std::vector<bool>& ModeVisible() const { return m_modeVisible; }
    const std::vector<uint8_t>& ModeCodes() const { return m_modeCodes; }
    const std::vector<std::u16string>& AreaNames() const { return m_areaNames; }
    const std::vector<std::u16string>& CustomNames() const { return m_customNames; }

private:
    JsonFile m_file;
    std::vector<std::u16string> m_modeNames;
    std::vector<bool> m_modeVisible;
    std::vector<uint8_t> m_modeCodes;
    std::vector<std::u16string> m_areaNames;
    std::vector<std::u16string> m_customNames;
};

}  // namespace vx::profiles
