// A profile file of any device kind, as the user's profile, as the factory profile it is completed
// from, and as the profile list ("ProfileList.ini") with a profile file beside it; also the audio
// styles, which are read from a document of the same shape. Every getter and setter of the
// profile data runs on what was read and the profile is saved again.
//
// Everything happens in a private folder on tmpfs, and the fuzz build's atomic writer skips its
// flush (VX_FUZZ_NO_FSYNC), so a run costs parsing, not the disk.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "profiles/AudioFile.h"
#include "profiles/JsonAccess.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/ProfileList.h"
#include "profiles/Ru6533Profiledata.h"

using vx::profiles::AudioFile;
using vx::profiles::CKeyboardProfiledata;
using vx::profiles::CMouseProfiledata;
using vx::profiles::CRu6533Profiledata;
using vx::profiles::JsonFile;
using vx::profiles::JsonMember;
using vx::profiles::ProfileList;
using vx::profiles::Ru6533SystemSetStages;
using vx::profiles::kProfileListFile;

namespace {

using vxfuzz::fs::path;

template <typename Data>
void CommonRecords(Data& data) {
    data.SetLightInfo(data.GetLightInfo());
    data.SetAudioLightInfo(data.GetAudioLightInfo());
    data.GetLightList();
    data.SetKeyList(data.GetKeyList());
}

void Keyboard(const path& profile, const path& factory) {
    CKeyboardProfiledata keyboard;
    keyboard.SetDefaultPath(factory);
    keyboard.SetProfilePath(profile);
    keyboard.LoadProfile(profile);
    CommonRecords(keyboard);
    keyboard.SetKeyboardSystemStages(keyboard.GetKeyboardSystemStages());
    const int32_t group = keyboard.GetCustomGroupIndex();
    keyboard.SetCustomGroupIndex(group);
    keyboard.SetCustomLightColors(keyboard.GetCustomLightColors(group, 170), group);
    keyboard.SaveProfile();
}

void Mouse(const path& profile, const path& factory) {
    CMouseProfiledata mouse;
    mouse.SetDefaultPath(factory);
    mouse.SetProfilePath(profile);
    mouse.LoadProfile(profile);
    CommonRecords(mouse);
    mouse.SetDpiStages(mouse.GetDpiStages());
    mouse.SetActiveStage(mouse.GetActiveStage());
    mouse.SetMouseSystemStages(mouse.GetMouseSystemStages());
    mouse.GetCorrectInfo();
    mouse.SaveProfile();
    // The other node: the main window's edit of another profile (macro removal).
    mouse.LoadOtherProfile(profile);
    mouse.SetOtherKeyList(mouse.GetOtherKeyList());
    mouse.SaveOtherProfile(profile);
}

void Headset(const path& profile, const path& factory) {
    CRu6533Profiledata headset;
    headset.SetDefaultPath(factory);
    headset.SetProfilePath(profile);
    headset.LoadProfile(profile);
    CommonRecords(headset);
    const Ru6533SystemSetStages stages = headset.GetSystemSetStages();
    headset.SetSystemSetStages(stages);
    headset.SetEqValues(stages.eqType, headset.GetEqValues(stages.eqType));
    headset.SetCustomEqValues(stages.customEqSeletIndex, headset.GetCustomEqValues(stages.customEqSeletIndex));
    headset.SetCustomEqNames(headset.GetCustomEqNames());
    headset.SaveProfile();
}

void List(const path& folder, const path& factory, const std::string& bytes) {
    vxfuzz::fs::create_directory(folder);
    vxfuzz::PutFile(folder / kProfileListFile, bytes);
    // A profile the list may or may not name (the identifier of the factory profile's seed).
    vxfuzz::PutFile(folder / "2024_03_07_14_05_09_042.Json", bytes);
    ProfileList list;
    list.SetProfileFolders(folder, factory);
    list.SetDeviceKind(1);
    const int selected = list.Load();
    VX_FUZZ_CHECK(selected < list.Count());
    const int count = list.GetProfileCount();
    for (int i = 0; i < count && i < 4; ++i) (void)list.GetProfileFilePath(i);
    if (list.Count() > 0) VX_FUZZ_CHECK(list.Select(list.Count() - 1));
    list.ImportProfile(factory);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vxfuzz::ClearScratchFolder();
    const path& folder = vxfuzz::ScratchFolder();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const path factory = folder / "factory.Json";
    vxfuzz::PutFile(factory, bytes);

    // The bytes as the user's profile, completed from the same bytes as the factory profile.
    const path profile = folder / "profile.Json";
    vxfuzz::PutFile(profile, bytes);
    Keyboard(profile, factory);
    vxfuzz::PutFile(profile, bytes);
    Mouse(profile, factory);
    vxfuzz::PutFile(profile, bytes);
    Headset(profile, factory);
    // No profile yet: made from the factory bytes.
    const path fresh = folder / "fresh.Json";
    Keyboard(fresh, factory);

    List(folder / "device", factory, bytes);
    const Json::Value document = JsonFile::ParseText(bytes);
    AudioFile::ReadStyles(JsonMember(document, "Device"));
    return 0;
}
