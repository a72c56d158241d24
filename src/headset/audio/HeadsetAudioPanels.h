#pragma once
// What the headset's audio control needs from the two panels of the headset page: the voice
// panel (microphone, monitoring, equaliser) and the voice-effect panel. The Qt panels implement
// these; a test implements them with plain members. Every operation of a missing control does
// nothing and every read of one answers as noted.

#include <cstdint>
#include <string>

namespace vx::headset {

class VoicePanel {
public:
    virtual ~VoicePanel() = default;
    // Selects option n (1 to 13) and unselects the others; 0 or above 13 selects none.
    virtual void SelectEqPreset(int32_t preset) = 0;
    virtual void EnableEqSliders(bool on) = 0;
    virtual void SetEqSlider(int32_t band, int32_t value) = 0;
    virtual int32_t GetEqSlider(int32_t band) = 0;  // -1 for a missing slider
    // The switches change without raising a notification of their own.
    virtual void SetMicSwitch(bool on) = 0;
    virtual void SetMicSlider(int32_t value) = 0;
    virtual int32_t GetMicSlider() = 0;
    virtual void SetMonitorSwitch(bool on) = 0;
    virtual void SetMonitorSlider(int32_t value) = 0;
    virtual int32_t GetMonitorSlider() = 0;
    virtual std::u16string GetCustomEqNameText() = 0;
    virtual void AddCustomEqName(const std::u16string& name) = 0;
    virtual int32_t GetCustomEqIndex() = 0;  // -1 when none is selected
    virtual int32_t GetCustomEqCount() = 0;
    // Selects without notification (-1 for none), then empties the name edit.
    virtual void SelectCustomEq(int32_t position) = 0;
    virtual void RemoveCustomEqName(int32_t position) = 0;
    virtual void ClearCustomEqNames() = 0;
    virtual std::u16string GetCustomEqName(int32_t position) = 0;
};

class VoiceEffectPanel {
public:
    virtual ~VoiceEffectPanel() = default;
    virtual void EnableVoiceEffectOptions(bool on) = 0;
    // Also enables or disables the effect options.
    virtual void SetVoiceEffectSwitch(bool on) = 0;
    virtual bool IsVoiceEffectOn() = 0;
    // Selects effect n (1 to 4); 0 or above 4 selects none.
    virtual void SelectVoiceEffectOption(int32_t effect) = 0;
};

}  // namespace vx::headset
