// Feeds arbitrary bytes to every reader of the data files: the JSON layer, the profile getters
// and setters of each device kind, the light name tables, the custom lighting steps, the macro
// files and the audio styles. Files go to a private folder (on tmpfs when there is one, so the
// atomic writes' flushes cost nothing).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "profiles/AudioFile.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/LightNameTables.h"
#include "profiles/MacroFiles.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ru6533Profiledata.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "vx-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        SetUserDataFolderOverride(pattern);
        return fs::path(pattern);
    }();
    return folder;
}

void Put(const fs::path& path, const uint8_t* data, size_t size) {
    WriteFileAtomically(path, std::string(reinterpret_cast<const char*>(data), size));
}

template <typename Data>
void CommonRecords(Data& data) {
    data.SetLightInfo(data.GetLightInfo());
    data.SetAudioLightInfo(data.GetAudioLightInfo());
    data.GetLightList();
    auto keys = data.GetKeyList();
    RemoveMacroFromKeyList(keys, 0);
    data.SetKeyList(keys);
    data.LoadLightConfig(Folder() / "qorin_light.config");
    data.GetCustomLightSteps();
}

void Profiles(const fs::path& profile, const fs::path& factory) {
    CKeyboardProfiledata keyboard;
    keyboard.SetDefaultPath(factory);
    keyboard.SetProfilePath(profile);
    keyboard.SetLightConfigPath(Folder() / "qorin_light.config");
    keyboard.LoadProfile(profile);
    CommonRecords(keyboard);
    keyboard.SetKeyboardSystemStages(keyboard.GetKeyboardSystemStages());
    const int32_t group = keyboard.GetCustomGroupIndex();
    keyboard.SetCustomLightColors(keyboard.GetCustomLightColors(group, 170), group);
    keyboard.SaveProfile();

    CMouseProfiledata mouse;
    mouse.SetDefaultPath(factory);
    mouse.LoadProfile(profile);
    CommonRecords(mouse);
    mouse.SetDpiStages(mouse.GetDpiStages());
    mouse.SetActiveStage(mouse.GetActiveStage());
    mouse.SetMouseSystemStages(mouse.GetMouseSystemStages());
    mouse.GetCorrectInfo();
    mouse.LoadOtherProfile(profile);
    mouse.SetOtherKeyList(mouse.GetOtherKeyList());

    CRu6533Profiledata headset;
    headset.SetDefaultPath(factory);
    headset.LoadProfile(profile);
    CommonRecords(headset);
    const Ru6533SystemSetStages stages = headset.GetSystemSetStages();
    headset.SetSystemSetStages(stages);
    headset.SetEqValues(stages.eqType, headset.GetEqValues(stages.eqType));
    headset.SetCustomEqValues(stages.customEqSeletIndex,
                              headset.GetCustomEqValues(stages.customEqSeletIndex));
    headset.SetCustomEqNames(headset.GetCustomEqNames());
    headset.SaveProfile();
}

void SharedFiles(const Json::Value& document) {
    LightNameTables tables;
    for (int32_t index = 0; index < 4; ++index) {
        tables.LoadDefaultLightNames(Folder() / "input.json", index);
        tables.LoadCustomLightNames(Folder() / "input.json", index);
        tables.CodeOfMode(index * 11, 31);
    }
    MacroFiles macros(Folder(), "input.json");
    for (const MacroListEntry& entry : macros.LoadList()) {
        for (const MacroEvent& event : macros.LoadEvents(entry.guid)) MacroFiles::Pack(event);
    }
    const Json::Value& events = JsonMember(document, "Events");
    for (Json::ArrayIndex i = 0; i < JsonArraySize(events) && i < 64; ++i) {
        std::array<uint8_t, 4> record{};
        CBasicProfiledata::MacroEventToRecord(events[i], record);
    }
    AudioFile::ReadStyles(JsonMember(document, "Device"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& folder = Folder();
    const fs::path input = folder / "input.json";
    Put(input, data, size);
    const Json::Value document = JsonFile().ReadJson(input);
    // The same bytes as the user's profile, as the factory profile (a profile without a node is
    // completed from it), as the light configuration and as a step file.
    Put(folder / "profile.Json", data, size);
    Put(folder / "qorin_light.config", data, size);
    Profiles(folder / "profile.Json", input);
    const fs::path profile = folder / "empty.Json";
    std::error_code ec;
    fs::remove(profile, ec);
    Profiles(profile, input);
    SharedFiles(document);
    return 0;
}
