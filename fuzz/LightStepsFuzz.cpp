// Custom lighting: "qorin_light.config" (the custom entries of each device kind and the Guids of
// their step files) and a ".light" step file, given as two parts of the input (separated by a
// line "--8<--"). The step file is put under every Guid the configuration names; each entry's
// steps are read as a page reads them and played by the lighting engine's step player for a
// while, as the lighting thread does. The light name tables read both the configuration (custom
// entry names) and, as "default_light.json", the step part (mode names, codes and areas).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "devices/lighting/CustomStepList.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/StepPlayer.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/LightNameTables.h"

using vx::profiles::CKeyboardProfiledata;
using vx::profiles::IsSafeFileName;
using vx::profiles::JsonElement;
using vx::profiles::JsonFile;
using vx::profiles::JsonMember;
using vx::profiles::JsonStringAt;
using vx::profiles::LightNameTables;
using vx::profiles::kMaxListEntries;

namespace {

using vxfuzz::fs::path;

constexpr int32_t kTables = 4;
constexpr int32_t kEntriesTried = 6;

// The Guids the configuration names, for the scaffolding that puts the step file in place.
std::vector<std::string> NamedGuids(const Json::Value& config) {
    std::vector<std::string> guids;
    const Json::Value& tables = JsonMember(config, "LightInfo");
    for (int32_t t = 0; t < kTables; ++t) {
        const Json::Value& entries = JsonElement(tables, int64_t(t));
        for (int32_t e = 0; e < kEntriesTried; ++e) {
            const std::string guid = JsonStringAt(JsonElement(entries, int64_t(e)), "Guid");
            if (!guid.empty() && IsSafeFileName(guid + ".light")) guids.push_back(guid);
        }
    }
    return guids;
}

void Play(const std::vector<LightStep>& steps) {
    vx::lighting::CustomStepList list;
    list.Set(steps.data(), steps.size());
    vx::lighting::LedFrame frame;
    frame.SetCount(vx::lighting::LedFrame::kCapacity);
    vx::lighting::StepPlayer player;
    uint32_t now = 0;
    for (int pass = 0; pass < 64; ++pass) {
        player.Play(list, frame, now);
        VX_FUZZ_CHECK(list.Cursor() < std::max<size_t>(list.Count(), 1));
        // Passes 1 ms apart, then jumps past whole steps.
        now += pass % 8 == 7 ? 700 : 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vxfuzz::ClearScratchFolder();
    const path& folder = vxfuzz::ScratchFolder();
    const auto parts = vxfuzz::SplitParts(data, size, 2);
    const std::string_view config = parts[0];
    const std::string_view stepFile = parts.size() > 1 ? parts[1] : parts[0];
    const path configPath = folder / "qorin_light.config";
    vxfuzz::PutFile(configPath, config);
    for (const std::string& guid : NamedGuids(JsonFile::ParseText(std::string(config)))) {
        vxfuzz::PutFile(folder / (guid + ".light"), stepFile);
    }

    CKeyboardProfiledata page;
    page.SetLightConfigPath(configPath);
    page.LoadLightConfig(configPath);
    for (int32_t table = 0; table < kTables; ++table) {
        page.SetLightTableIndex(table);
        for (int32_t entry = 0; entry < kEntriesTried; ++entry) {
            // The mode that plays this entry, once with the custom entries after four built-in modes.
            for (int32_t base : {0, 4}) {
                page.SetCustomModeBase(base);
                LightInfo info = page.GetLightInfo();
                info.selectItem = static_cast<uint8_t>(entry + base);
                page.SetLightInfo(info);
                const std::vector<LightStep> steps = page.GetCustomLightSteps();
                VX_FUZZ_CHECK(steps.size() <= kMaxListEntries);
                if (!steps.empty()) Play(steps);
            }
        }
    }

    LightNameTables tables;
    vxfuzz::PutFile(folder / "default_light.json", stepFile);
    for (int32_t table = 0; table < kTables; ++table) {
        tables.LoadDefaultLightNames(folder / "default_light.json", table);
        tables.LoadCustomLightNames(configPath, table);
        VX_FUZZ_CHECK(tables.ModeCodes().size() == tables.ModeNames().size() &&
                      tables.ModeVisible().size() == tables.ModeNames().size());
        for (int32_t mode = 0; mode < 32; mode += 5) (void)tables.ModeOfCode(tables.CodeOfMode(mode, 31));
    }
    return 0;
}
