#pragma once
// The USB headset's page: 13 LEDs, no keys, no battery. Its lighting settings travel over HID --
// the 21-byte settings record through the command channel, kept here with the light mode as an
// index and the speed as a level, and the LED colours of the software lighting as twelve 17-byte
// output reports per frame. Its audio (microphone, monitoring, equaliser, voice effect) goes
// through the audio configuration library and the page's audio control. Beside the profile and
// lighting panels (connected by the main window) it carries the voice panel and the voice-effect
// panel, and its profile panel's feature tabs switch between lighting, voice, voice effect and
// virtual surround.
//
// Threads: as every page (TavimondUSBDevice.h). The audio runs on the window thread; the LED
// reports go out on the page's device worker, so that a headset that does not take them never
// holds the window.

#include <QPointer>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "devices/TavimondUSBDevice.h"
#include "devices/lighting/HeadsetLightingEngine.h"
#include "devices/protocol/MousePadProtocol.h"
#include "headset/audio/AudioLibrary.h"
#include "headset/audio/HeadsetAudioControl.h"
#include "headset/page/HeadsetPanels.h"
#include "profiles/Ru6533Profiledata.h"

namespace vx::headset {

class CTavimondRU6533Device : public vx::devices::CTavimondUSBDevice, private AudioNotices {
public:
    static constexpr int kLeds = 13;
    static constexpr int kRecordLength = 21;
    // Messages to the owner window: the active profile after a reread, the status byte 4 after a
    // power reading.
    static constexpr uint kMsgActiveProfile = 0x0D00;
    static constexpr uint kMsgStatus = 0x0D01;
    // The pages of the function switch, in the order of the layout's "ru6533_function_switch".
    enum FeaturePage { kLightingPage = 0, kVoicePage, kVoiceEffectPage, kSurroundPage };
    using Record = std::array<uint8_t, kRecordLength>;

    CTavimondRU6533Device();
    ~CTavimondRU6533Device() override;

    QString GetClass() const override { return QStringLiteral("TavimondRU6533Device"); }
    void Notify(vx::widgets::TNotifyUI& msg) override;

    void Initialise() override;
    int LoadLightingState() override;
    void LightingFrame() override;
    void OnConnected() override;
    int RefreshFromDevice() override;
    void BeforeReread() override;
    bool FetchReread(std::vector<uint8_t>* raw) override;
    void ApplyReread(const std::vector<uint8_t>& raw) override;
    int LoadProfile() override;
    void RefreshPage() override;
    void ResetToProfile() override;
    int WriteSettings(int profile, int reserved, int flag, int screenWidth, int screenHeight) override;
    void LoadPageLists() override;
    void LoadProfileFile() override;
    std::u16string GetProfileName() override;
    void SetLightTableIndex(int index) override;
    void SetLightInfo(const LightInfo& info) override;
    vx::profiles::CBasicProfiledata* GetProfileData() override { return &m_profile; }
    bool FetchPower(vx::link::StatusRecord* record) override;
    void ShowPower(const vx::link::StatusRecord& record) override;
    void HandleNotifyEvent(uint16_t code, bool wireless) override;

    virtual void BuildPage();

    // Which audio library the page starts with (set before Initialise): the desktop's sound
    // server for a real headset, the in-memory one behind the virtual headset.
    void SetAudioLibraryChoice(AudioLibraryChoice choice) { m_audioChoice = choice; }
    AudioLibraryChoice GetAudioLibraryChoice() const { return m_audioChoice; }
    // The folder the library is looked for as if the program ran there (empty: the program's
    // own folder). Tests and the build tree, whose programs lie elsewhere, set it.
    void SetAudioProgramFolder(const std::filesystem::path& folder) { m_audioProgramFolder = folder; }
    AudioLibrary& Audio() { return m_audioLibrary; }
    // Null before Initialise.
    HeadsetAudioControl* AudioControl() { return m_audio.get(); }

    // ---- handlers of the panels' controls, as the main window's routing finds them ----
    void OnMicSlider(const vx::widgets::ControlEvent&);         // "6533_MicIn_slider"
    void OnMicOption(const vx::widgets::ControlEvent&);         // "6533_MicIn_option"
    void OnMonitorSlider(const vx::widgets::ControlEvent&);     // "6533_MicMoniter_slider"
    void OnMonitorOption(const vx::widgets::ControlEvent&);     // "6533_MicMoniter_option"
    void OnEqPresetOption(const vx::widgets::ControlEvent&);    // "6533_eq_option_" + n
    void OnEqBandSlider(const vx::widgets::ControlEvent&);      // "6533_eq_hz_slider_" + i
    void OnCustomEqCombo(const vx::widgets::ControlEvent&);     // "custom_eq_name_combo"
    void OnCustomEqDelete(const vx::widgets::ControlEvent&);    // "hs_EQ_btn_delete"
    void OnVoiceEffectSwitch(const vx::widgets::ControlEvent&); // "magic_enable_option"
    void OnVoiceEffectOption(const vx::widgets::ControlEvent&); // "magic_option_" + n
    // "hs_EQ_btn_save": kCustomEqRefused, kCustomEqNameTaken (the window then says the name is
    // taken) or kCustomEqSaved.
    int SaveCustomEq();

    const Record& GetRecord() const { return m_record; }
    const std::vector<uint8_t>& ModeCodes() const { return m_modeCodes; }
    vx::lighting::HeadsetLightingEngine& HeadsetEngine() {
        return static_cast<vx::lighting::HeadsetLightingEngine&>(Engine());
    }
    CVoice6533ControlUI* VoicePanelControl() const { return m_voicePanel.data(); }
    CMagicControlUI* VoiceEffectPanelControl() const { return m_effectPanel.data(); }
    // Shows one page of the function switch (lighting, voice, voice effect, surround).
    void ShowFeaturePage(int page);
    int CurrentFeaturePage() const;

protected:
    int RereadDelayMs() const override { return kRereadDelaySlowMs; }
    bool OpensWirelessNotify() const override { return false; }

private:
    vx::devices::MousePadProtocol& Protocol21() { return static_cast<vx::devices::MousePadProtocol&>(*m_protocol); }
    void ShowAudioMessage(std::string_view text) override;
    void PlaceAudioPanels();
    // On the device worker: the latest twelve reports go out.
    void SendLatestReports();

    vx::profiles::CRu6533Profiledata m_profile;
    Record m_record{};
    Record m_recordAside{};
    uint8_t m_lastActiveProfile = 0;
    std::vector<uint8_t> m_modeCodes;

    AudioLibraryChoice m_audioChoice = AudioLibraryChoice::SoundServer;
    std::filesystem::path m_audioProgramFolder;
    AudioLibrary m_audioLibrary;
    std::unique_ptr<HeadsetAudioControl> m_audio;
    QPointer<CVoice6533ControlUI> m_voicePanel;
    QPointer<CMagicControlUI> m_effectPanel;
    // Stand-ins while the layout has no such panel: every control reads as missing.
    std::unique_ptr<CVoice6533ControlUI> m_voiceMissing;
    std::unique_ptr<CMagicControlUI> m_effectMissing;
    QPointer<vx::widgets::CTabLayoutUI> m_featureSwitch;

    // The reports of the latest frame, taken by the worker.
    std::mutex m_reportMutex;
    vx::lighting::HeadsetLedReports m_reports;
    vx::lighting::HeadsetLedReports m_pendingReports;
};

}  // namespace vx::headset
