#pragma once
// The audio half of the headset page: starts the audio library, reads the headset's audio
// state, shows it on the page's panels and turns the user's actions on those panels into
// property writes and into the profile's audio settings. No Qt: the page hands it its two
// panels through the interfaces of HeadsetAudioPanels.h and a function that saves the profile
// file. All calls come from the page's window thread.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "headset/audio/AudioLibrary.h"
#include "headset/audio/HeadsetAudioPanels.h"
#include "profiles/Ru6533Profiledata.h"

namespace vx::headset {

// SaveCustomEq's results.
constexpr int kCustomEqRefused = -1;  // a 21st name, or an empty name with nothing selected
constexpr int kCustomEqNameTaken = 0;  // the page then shows "message_text_5"
constexpr int kCustomEqSaved = 1;
constexpr int kMaxCustomEqs = 20;

class HeadsetAudioControl {
public:
    HeadsetAudioControl(AudioLibrary& library, CRu6533Profiledata& profile, VoicePanel& voice,
                        VoiceEffectPanel& effects, std::function<void()> saveProfile);

    // Loads the library (unless the caller already did), starts it, picks the endpoints, runs
    // the start-up probe and reads the state. Without a library nothing more is called.
    void StartAudio(AudioLibraryChoice choice);
    void ReadAudioState();

    // The audio part of loading a profile: settings, custom names and the band values of the
    // current preset or custom equaliser. Nothing is written to the library.
    void LoadProfileAudio();
    // The audio part of refreshing the page: both panels show the state held here.
    void ShowAudioState();

    void SetMicLevel();
    void ToggleMicMute();
    void SetMonitorLevel();
    void ToggleMonitorMute();
    void ApplyEqPreset(int32_t preset);
    void SetEqBand(int32_t band);
    void ApplyCustomEq();
    int SaveCustomEq();
    void DeleteCustomEq();
    void ToggleVoiceEffect();
    void SelectVoiceEffect(int32_t effect);

    const Ru6533SystemSetStages& Stages() const { return m_stages; }
    const std::array<int32_t, 10>& Bands() const { return m_bands; }
    const std::vector<std::u16string>& CustomNames() const { return m_customNames; }
    bool MicMuted() const { return m_micMuted != 0; }
    bool MonitorMuted() const { return m_monitorMuted != 0; }

private:
    void Store();
    void Save();
    void SetBandsFrom(const std::vector<int32_t>& values);
    std::vector<int32_t> BandList() const;
    void WriteBands();
    void ShowBands();

    AudioLibrary& m_library;
    CRu6533Profiledata& m_profile;
    VoicePanel& m_voice;
    VoiceEffectPanel& m_effects;
    std::function<void()> m_saveProfile;

    Ru6533SystemSetStages m_stages;
    int32_t m_micMuted = 0;
    int32_t m_monitorMuted = 0;
    std::array<int32_t, 10> m_bands{};
    std::vector<std::u16string> m_customNames;
};

// Compares two custom equaliser names without regard to letter case (Latin, Greek, Cyrillic).
bool SameCustomEqName(const std::u16string& a, const std::u16string& b);

}  // namespace vx::headset
