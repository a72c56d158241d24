// The macro files of a device folder: the list "macro.config" and a macro's ".mac" event file,
// given as two parts of the input (separated by a line "--8<--"). The list is read, every listed
// macro's events are read and packed as the device takes them, and the changing operations run
// on what was read (rename, save, import, export, delete). Events written are read back equal.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "profiles/MacroFiles.h"
#include "profiles/StringUtil.h"

using vx::profiles::MacroEvent;
using vx::profiles::MacroFiles;
using vx::profiles::MacroListEntry;
using vx::profiles::WideToUtf8;
using vx::profiles::kMacroListFile;
using vx::profiles::kMacroOk;
using vx::profiles::kMacroReadOnly;
using vx::profiles::kMaxMacroEvents;
using vx::profiles::kReadOnlyMacroListFile;

namespace {

using vxfuzz::fs::path;

// The Guid the seed files use for their event file.
constexpr const char* kSeedGuid = "2024_03_07_14_05_09_042";

void ReadOnlyList(const path& folder, std::string_view list) {
    vxfuzz::PutFile(folder / kReadOnlyMacroListFile, list);
    MacroFiles names(folder, kReadOnlyMacroListFile);
    const std::vector<MacroListEntry> entries = names.LoadList();
    VX_FUZZ_CHECK(entries.size() <= 1024);
    VX_FUZZ_CHECK(names.Add().empty());
    VX_FUZZ_CHECK(names.Rename(0, u"x") == kMacroReadOnly);
    VX_FUZZ_CHECK(names.Delete(0) == kMacroReadOnly);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vxfuzz::ClearScratchFolder();
    const path& folder = vxfuzz::ScratchFolder();
    const auto parts = vxfuzz::SplitParts(data, size, 2);
    const std::string_view list = parts[0];
    const std::string_view events = parts.size() > 1 ? parts[1] : parts[0];
    vxfuzz::PutFile(folder / kMacroListFile, list);
    vxfuzz::PutFile(folder / (std::string(kSeedGuid) + ".mac"), events);

    MacroFiles macros(folder);
    const std::vector<MacroListEntry> entries = macros.LoadList();
    for (const MacroListEntry& entry : entries) {
        const path file = macros.MacroFilePath(entry.guid);
        // A Guid never leads out of the folder.
        if (!file.empty()) VX_FUZZ_CHECK(file.parent_path() == folder);
        const std::vector<MacroEvent> loaded = macros.LoadEvents(entry.guid);
        VX_FUZZ_CHECK(loaded.size() <= kMaxMacroEvents);
        for (const MacroEvent& event : loaded) {
            (void)MacroFiles::Pack(event);
            (void)MacroFiles::MouseEventLabel(event);
        }
        (void)macros.LoadEventsJson(entry.guid);
        (void)WideToUtf8(entry.name);
    }

    const std::vector<MacroEvent> seeded = macros.LoadEvents(kSeedGuid);
    if (!entries.empty()) {
        const MacroListEntry first = entries.front();
        if (macros.SaveEvents(first, seeded) == kMacroOk) VX_FUZZ_CHECK(macros.LoadEvents(first.guid) == seeded);
        macros.Rename(0, first.name + u"x");
        macros.Export(0, folder / "exported.mac");
    }
    macros.Import(folder / (std::string(kSeedGuid) + ".mac"));
    macros.Delete(0);
    VX_FUZZ_CHECK(macros.LoadList().size() <= std::max<size_t>(entries.size(), 1) + 1);

    ReadOnlyList(folder, list);
    return 0;
}
