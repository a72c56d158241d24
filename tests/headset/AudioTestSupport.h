#pragma once
// Helpers for the headset audio tests: the in-memory library's extra functions reached through
// the binding's handle, panels that keep their controls in plain members, and the path of the
// libraries this build made.

#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "BuildPaths.h"
#include "headset/audio/AudioLibrary.h"
#include "headset/audio/HeadsetAudioPanels.h"
#include "headset/audio/memory/MemoryAudioControl.h"

namespace vx::headset::test {

inline std::filesystem::path BuiltLibrary(AudioLibraryChoice choice) {
    return std::filesystem::path(VX_BINARY_DIR) / "src/app" / AudioLibraryFileName(choice);
}

struct Notices : AudioNotices {
    std::vector<std::string> shown;
    void ShowAudioMessage(std::string_view text) override { shown.emplace_back(text); }
};

// The in-memory library as a test sees it: same handle, same state as the binding's.
class MemoryAudio {
public:
    explicit MemoryAudio(void* handle) {
        auto look = [handle](const char* name) { return dlsym(handle, name); };
        reset = reinterpret_cast<VxMemAudioResetFn>(look("VxMemAudioReset"));
        setInitResult = reinterpret_cast<VxMemAudioSetInitResultFn>(look("VxMemAudioSetInitResult"));
        addEndpoint = reinterpret_cast<VxMemAudioAddEndpointFn>(look("VxMemAudioAddEndpoint"));
        setValue = reinterpret_cast<VxMemAudioSetValueFn>(look("VxMemAudioSetValue"));
        setFailing = reinterpret_cast<VxMemAudioSetFailingFn>(look("VxMemAudioSetFailing"));
        getValue = reinterpret_cast<VxMemAudioGetValueFn>(look("VxMemAudioGetValue"));
        writeCount = reinterpret_cast<VxMemAudioWriteCountFn>(look("VxMemAudioWriteCount"));
        writeAt = reinterpret_cast<VxMemAudioWriteAtFn>(look("VxMemAudioWriteAt"));
        clearWrites = reinterpret_cast<VxMemAudioClearWritesFn>(look("VxMemAudioClearWrites"));
    }
    bool Complete() const {
        return reset && setInitResult && addEndpoint && setValue && setFailing && getValue && writeCount &&
               writeAt && clearWrites;
    }

    std::string Value(int32_t endpoint, const char* name) const {
        char text[256] = {};
        return getValue(endpoint, name, text, sizeof text) ? std::string(text) : std::string("<none>");
    }

    struct Written {
        int32_t endpoint;
        std::string name;
        std::string text;
        int32_t parameter;
    };
    std::vector<Written> Writes() const {
        std::vector<Written> out;
        for (int i = 0; i < writeCount(); ++i) {
            Written w{};
            char name[64] = {}, text[64] = {};
            writeAt(i, &w.endpoint, name, sizeof name, text, sizeof text, &w.parameter);
            w.name = name;
            w.text = text;
            out.push_back(w);
        }
        return out;
    }
    std::vector<std::string> WrittenNames() const {
        std::vector<std::string> names;
        for (const auto& w : Writes()) names.push_back(w.name);
        return names;
    }

    VxMemAudioResetFn reset = nullptr;
    VxMemAudioSetInitResultFn setInitResult = nullptr;
    VxMemAudioAddEndpointFn addEndpoint = nullptr;
    VxMemAudioSetValueFn setValue = nullptr;
    VxMemAudioSetFailingFn setFailing = nullptr;
    VxMemAudioGetValueFn getValue = nullptr;
    VxMemAudioWriteCountFn writeCount = nullptr;
    VxMemAudioWriteAtFn writeAt = nullptr;
    VxMemAudioClearWritesFn clearWrites = nullptr;
};

// Both panels in one object, with what a user would see on them.
struct Panels : VoicePanel, VoiceEffectPanel {
    int32_t preset = 0;
    bool eqSlidersEnabled = false;
    int32_t eqSliders[10] = {};
    bool micOn = false, monitorOn = false;
    int32_t micSlider = 0, monitorSlider = 0;
    std::u16string nameEdit;
    std::vector<std::u16string> customNames;
    int32_t customIndex = -1;
    bool effectOptionsEnabled = false, effectOn = false;
    int32_t effect = 0;

    void SelectEqPreset(int32_t n) override { preset = (n >= 1 && n <= 13) ? n : 0; }
    void EnableEqSliders(bool on) override { eqSlidersEnabled = on; }
    void SetEqSlider(int32_t band, int32_t value) override {
        if (band >= 0 && band < 10) eqSliders[band] = value;
    }
    int32_t GetEqSlider(int32_t band) override { return band >= 0 && band < 10 ? eqSliders[band] : -1; }
    void SetMicSwitch(bool on) override { micOn = on; }
    void SetMicSlider(int32_t value) override { micSlider = value; }
    int32_t GetMicSlider() override { return micSlider; }
    void SetMonitorSwitch(bool on) override { monitorOn = on; }
    void SetMonitorSlider(int32_t value) override { monitorSlider = value; }
    int32_t GetMonitorSlider() override { return monitorSlider; }
    std::u16string GetCustomEqNameText() override { return nameEdit; }
    void AddCustomEqName(const std::u16string& name) override { customNames.push_back(name); }
    int32_t GetCustomEqIndex() override { return customIndex; }
    int32_t GetCustomEqCount() override { return static_cast<int32_t>(customNames.size()); }
    void SelectCustomEq(int32_t position) override {
        customIndex = position >= 0 && position < GetCustomEqCount() ? position : -1;
        nameEdit.clear();
    }
    void RemoveCustomEqName(int32_t position) override {
        if (position < 0 || position >= GetCustomEqCount()) return;
        customNames.erase(customNames.begin() + position);
        customIndex = -1;
    }
    void ClearCustomEqNames() override {
        customNames.clear();
        customIndex = -1;
    }
    std::u16string GetCustomEqName(int32_t position) override {
        return position >= 0 && position < GetCustomEqCount() ? customNames[position] : u"";
    }
    void EnableVoiceEffectOptions(bool on) override { effectOptionsEnabled = on; }
    void SetVoiceEffectSwitch(bool on) override {
        effectOn = on;
        EnableVoiceEffectOptions(on);
    }
    bool IsVoiceEffectOn() override { return effectOn; }
    void SelectVoiceEffectOption(int32_t n) override { effect = (n >= 1 && n <= 4) ? n : 0; }
};

}  // namespace vx::headset::test
