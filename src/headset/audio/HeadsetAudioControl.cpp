#include "headset/audio/HeadsetAudioControl.h"

#include <utility>

#include "headset/audio/EqPresets.h"

namespace vx::headset {
namespace {

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;   // Latin-1 capitals
    if (c >= 0x391 && c <= 0x3A9) return c + 32;               // Greek capitals
    if (c >= 0x410 && c <= 0x42F) return c + 32;               // Cyrillic capitals
    if (c >= 0x400 && c <= 0x40F) return c + 80;               // Cyrillic Ѐ to Џ
    return c;
}

// The level the page shows for a library scalar: computed in single precision and truncated,
// so that a text of 0.999 shows 99.
int32_t LevelFromScalar(float scalar) {
    const float level = scalar * 100.0f;
    return static_cast<int32_t>(level);
}

}  // namespace

bool SameCustomEqName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

HeadsetAudioControl::HeadsetAudioControl(AudioLibrary& library, CRu6533Profiledata& profile, VoicePanel& voice,
                                         VoiceEffectPanel& effects, std::function<void()> saveProfile)
    : m_library(library), m_profile(profile), m_voice(voice), m_effects(effects),
      m_saveProfile(std::move(saveProfile)) {}

void HeadsetAudioControl::Store() { m_profile.SetSystemSetStages(m_stages); }

void HeadsetAudioControl::Save() {
    if (m_saveProfile) m_saveProfile();
}

void HeadsetAudioControl::StartAudio(AudioLibraryChoice choice) {
    const bool loaded = m_library.IsLoaded() || m_library.LoadAudioLibrary(choice);
    if (!loaded) return;
    if (m_library.ConfLibInit() != 0) {
        // Shown, and the start goes on: a library that failed to start may still answer.
        m_library.ShowNotice("ConfLibInit called failed!");
    }
    m_library.CreateDeviceList();
    if (m_library.GetDeviceCount(kDirectionOutput) == 0) return;
    m_library.SelectEndpoints();
    m_library.RunStartupProbe();
    ReadAudioState();
}

void HeadsetAudioControl::ReadAudioState() {
    if (auto muted = m_library.GetIntProperty(AudioProperty::MuteControl)) {
        m_micMuted = *muted;
        m_stages.micInSelect = *muted == 0 ? 1 : 0;
    }
    if (auto level = m_library.GetScalarProperty(AudioProperty::VolumeScalarControl)) {
        m_stages.micInValue = LevelFromScalar(*level);
    }
    // A capture endpoint without monitoring fails this read; the monitoring values then keep
    // what the profile gave.
    if (m_library.GetIntProperty(AudioProperty::GetAAMaxVol)) {
        if (auto muted = m_library.GetIntProperty(AudioProperty::AAMuteControl)) {
            m_monitorMuted = *muted;
            m_stages.micMoniterSelect = *muted == 0 ? 1 : 0;
        }
        if (auto level = m_library.GetScalarProperty(AudioProperty::AAVolumeScalarControl)) {
            m_stages.micMoniterValue = LevelFromScalar(*level);
        }
    }
    if (m_library.Capture().features[0] & kFeatureVoiceEffect) {
        if (auto on = m_library.GetIntProperty(AudioProperty::EnableMagicVoice)) m_stages.magicEnable = *on;
    }
    if (auto selection = m_library.GetIntProperty(AudioProperty::MagicVoiceSelection)) {
        if (*selection >= 0 && *selection <= 3) m_stages.magicType = *selection + 1;
    }
}

void HeadsetAudioControl::LoadProfileAudio() {
    m_stages = m_profile.GetSystemSetStages();
    m_customNames = m_profile.GetCustomEqNames();
    if (m_stages.eqType == kEqCustom) SetBandsFrom(m_profile.GetCustomEqValues(m_stages.customEqSeletIndex));
    else SetBandsFrom(m_profile.GetEqValues(m_stages.eqType));
}

void HeadsetAudioControl::ShowAudioState() {
    m_effects.SetVoiceEffectSwitch(m_stages.magicEnable != 0);
    m_effects.SelectVoiceEffectOption(m_stages.magicType);
    m_voice.SetMicSwitch(m_stages.micInSelect != 0);
    m_voice.SetMicSlider(m_stages.micInValue);
    m_voice.SetMonitorSwitch(m_stages.micMoniterSelect != 0);
    m_voice.SetMonitorSlider(m_stages.micMoniterValue);
    m_voice.SelectEqPreset(m_stages.eqType);
    m_voice.ClearCustomEqNames();
    for (const auto& name : m_customNames) m_voice.AddCustomEqName(name);
    m_voice.SelectCustomEq(m_stages.customEqSeletIndex);
    m_voice.EnableEqSliders(m_stages.eqType == kEqCustom);
    ShowBands();
}

void HeadsetAudioControl::SetMicLevel() {
    const int32_t v = m_voice.GetMicSlider();
    if (!m_library.SetScalarProperty(AudioProperty::VolumeScalarControl, static_cast<float>(v) / 100.0f)) return;
    m_stages.micInValue = v;
    Store();
    Save();
}

void HeadsetAudioControl::SetMonitorLevel() {
    const int32_t v = m_voice.GetMonitorSlider();
    if (!m_library.SetScalarProperty(AudioProperty::AAVolumeScalarControl, static_cast<float>(v) / 100.0f)) return;
    m_stages.micMoniterValue = v;
    Store();
    Save();
}

void HeadsetAudioControl::ToggleMicMute() {
    m_micMuted = m_micMuted ? 0 : 1;
    m_voice.SetMicSwitch(m_micMuted == 0);
    // On failure the switch and the mute state stay changed and nothing is stored: the next
    // read of the headset puts them right.
    if (!m_library.SetIntProperty(AudioProperty::MuteControl, m_micMuted)) return;
    m_stages.micInSelect = m_micMuted == 0 ? 1 : 0;
    Store();
    Save();
}

void HeadsetAudioControl::ToggleMonitorMute() {
    m_monitorMuted = m_monitorMuted ? 0 : 1;
    m_voice.SetMonitorSwitch(m_monitorMuted == 0);
    if (!m_library.SetIntProperty(AudioProperty::AAMuteControl, m_monitorMuted)) return;
    m_stages.micMoniterSelect = m_monitorMuted == 0 ? 1 : 0;
    Store();
    Save();
}

void HeadsetAudioControl::ApplyEqPreset(int32_t preset) {
    if (preset <= 0 || preset > kEqCustom) return;
    if (preset == kEqCustom) {
        m_stages.eqType = kEqCustom;
        m_voice.SelectEqPreset(kEqCustom);
        m_voice.EnableEqSliders(true);
        ApplyCustomEq();
        Save();
        return;
    }
    m_bands = EqPresetGains(preset);
    m_library.SetIntProperty(AudioProperty::EnableEqGfx, 1);
    for (int band = 0; band < kEqBands; ++band) {
        m_voice.SetEqSlider(band, m_bands[band]);
        m_library.SetIntProperty(EqBandProperty(band), m_bands[band]);
    }
    m_stages.eqType = preset;
    m_voice.SelectEqPreset(preset);
    m_voice.EnableEqSliders(false);
    Store();
    m_profile.SetEqValues(preset, BandList());
    Save();
}

void HeadsetAudioControl::SetEqBand(int32_t band) {
    if (band < 0 || band >= kEqBands) return;
    if (m_stages.eqType != kEqCustom) {
        m_stages.eqType = kEqCustom;
        m_voice.SelectEqPreset(kEqCustom);
        m_voice.SelectCustomEq(-1);
        m_voice.EnableEqSliders(true);
    }
    m_library.SetIntProperty(EqBandProperty(band), m_voice.GetEqSlider(band));
}

void HeadsetAudioControl::ApplyCustomEq() {
    const int32_t k = m_voice.GetCustomEqIndex();
    if (k == -1) return;
    SetBandsFrom(m_profile.GetCustomEqValues(k));
    m_library.SetIntProperty(AudioProperty::EnableEqGfx, 1);
    ShowBands();
    WriteBands();
    m_stages.customEqSeletIndex = k;
    Store();
    Save();
}

int HeadsetAudioControl::SaveCustomEq() {
    const std::u16string name = m_voice.GetCustomEqNameText();
    if (name.empty()) {
        const int32_t k = m_voice.GetCustomEqIndex();
        if (k == -1) return kCustomEqRefused;
        for (int band = 0; band < kEqBands; ++band) m_bands[band] = m_voice.GetEqSlider(band);
        m_stages.customEqSeletIndex = k;
        Store();
        m_profile.SetCustomEqValues(k, BandList());
        Save();
        return kCustomEqSaved;
    }
    const int32_t count = m_voice.GetCustomEqCount();
    if (count >= kMaxCustomEqs) return kCustomEqRefused;
    for (int32_t i = 0; i < count; ++i) {
        if (SameCustomEqName(m_voice.GetCustomEqName(i), name)) return kCustomEqNameTaken;
    }
    m_voice.AddCustomEqName(name);
    m_customNames.push_back(name);
    for (int band = 0; band < kEqBands; ++band) m_bands[band] = m_voice.GetEqSlider(band);
    const int32_t k = m_voice.GetCustomEqCount() - 1;
    m_stages.customEqSeletIndex = k;
    m_voice.SelectCustomEq(k);
    Store();
    m_profile.SetCustomEqValues(k, BandList());
    m_profile.SetCustomEqNames(m_customNames);
    Save();
    return kCustomEqSaved;
}

void HeadsetAudioControl::DeleteCustomEq() {
    const int32_t k = m_voice.GetCustomEqIndex();
    if (k == -1) return;
    m_voice.RemoveCustomEqName(k);
    const int32_t n = m_voice.GetCustomEqCount();
    // The value rows are addressed by position: the rows after the deleted one move up with
    // their names, so every name keeps its own curve.
    for (int32_t j = k; j < n; ++j) m_profile.SetCustomEqValues(j, m_profile.GetCustomEqValues(j + 1));
    if (n == 0) {
        m_voice.SelectEqPreset(1);
        m_stages.eqType = 1;
        Store();
        SetBandsFrom(m_profile.GetEqValues(1));
        ShowBands();
        m_voice.EnableEqSliders(false);
        m_customNames.clear();
        m_profile.SetCustomEqNames(m_customNames);
    } else {
        m_customNames.clear();
        for (int32_t i = 0; i < n; ++i) m_customNames.push_back(m_voice.GetCustomEqName(i));
        m_stages.customEqSeletIndex = 0;
        m_voice.SelectCustomEq(0);
        Store();
        SetBandsFrom(m_profile.GetCustomEqValues(0));
        ShowBands();
        m_profile.SetCustomEqNames(m_customNames);
    }
    Save();
}

void HeadsetAudioControl::ToggleVoiceEffect() {
    const bool on = m_effects.IsVoiceEffectOn();
    m_effects.EnableVoiceEffectOptions(on);
    m_library.SetIntProperty(AudioProperty::EnableMagicVoice, on ? 1 : 0);
    if (on) m_library.SetIntProperty(AudioProperty::EnableMicEcho, 0);
    m_stages.magicEnable = on ? 1 : 0;
    Store();
    Save();
}

void HeadsetAudioControl::SelectVoiceEffect(int32_t effect) {
    if (effect == 0) return;
    m_library.SetIntProperty(AudioProperty::MagicVoiceSelection, effect - 1);
    m_stages.magicType = effect;
    m_effects.SelectVoiceEffectOption(effect);
    Store();
    Save();
}

void HeadsetAudioControl::SetBandsFrom(const std::vector<int32_t>& values) {
    for (int band = 0; band < kEqBands; ++band) {
        m_bands[band] = band < static_cast<int>(values.size()) ? values[band] : 0;
    }
}

std::vector<int32_t> HeadsetAudioControl::BandList() const { return {m_bands.begin(), m_bands.end()}; }

void HeadsetAudioControl::WriteBands() {
    for (int band = 0; band < kEqBands; ++band) m_library.SetIntProperty(EqBandProperty(band), m_bands[band]);
}

void HeadsetAudioControl::ShowBands() {
    for (int band = 0; band < kEqBands; ++band) m_voice.SetEqSlider(band, m_bands[band]);
}

}  // namespace vx::headset
