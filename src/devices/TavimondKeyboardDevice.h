#pragma once
// The keyboard page: up to 170 keys and 170 LEDs. Identifies which of the device's key slots is
// which physical key, keeps key assignments and macros in step with the device, reads and writes
// the 64-byte settings block, runs the keyboard lighting engine (per-key colours in mode 20,
// streamed frames in modes 21 and 31) and the keyboard settings page.

#include <QPointer>
#include <array>
#include <atomic>
#include <mutex>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/TavimondUSBDevice.h"
#include "devices/protocol/KeyboardProtocol.h"
#include "profiles/KeyboardProfiledata.h"

namespace vx::lighting {
class KeyboardLightingEngine;
}
namespace vx::widgets { class COptionUI; }
namespace vx::widgets { class CSliderUI; }
namespace vx::devices {

class KeyInputReader;

class CTavimondKeyboardDevice : public CTavimondUSBDevice {
public:
    static constexpr int kLogicalKeys = vx::devices::KeyboardProtocol::kLogicalKeys;
    static constexpr uint8_t kNoSlot = vx::devices::KeyboardProtocol::kNoSlot;
    static constexpr int kBlockLength = 64;
    // Light modes with a meaning of their own on this page.
    static constexpr uint8_t kModeCustomColours = 20;
    static constexpr uint8_t kModeAudio = 21;
    static constexpr uint8_t kModeCompanion = 31;

    CTavimondKeyboardDevice();
    ~CTavimondKeyboardDevice() override;

    QString GetClass() const override { return QStringLiteral("TavimondKeyboardDevice"); }
    void Notify(vx::widgets::TNotifyUI& msg) override;

    // ---- replaced base operations ----
    void Initialise() override;
    int LoadLightingState() override;
    void LightingFrame() override;
    void OnConnected() override;
    int RefreshFromDevice() override;
    void BeforeReread() override;
    bool FetchReread(std::vector<uint8_t>* raw) override;
    void ApplyReread(const std::vector<uint8_t>& raw) override;
    bool FetchPower(vx::link::StatusRecord* record) override;
    void ShowPower(const vx::link::StatusRecord& record) override;
    bool IsReachable() override;
    int LoadProfile() override;
    void RefreshPage() override;
    void PruneMacroAssignments() override;
    void ResetToProfile() override;
    std::vector<int> GetMacroList() override;
    int WriteKeyAssignments(int bank, const std::vector<vx::profiles::KeyEntry>& keys) override;
    int ApplyKeyAssignments() override;
    // kLinkOk when written, or without sending for an empty list or an unreadable macro file;
    // vx::devices::kWriteTooLarge when the image does not fit the device's macro memory
    // (MacroEventsToRemove() tells how many events have to go); otherwise the failing link code.
    int WriteMacroMemory(const std::vector<int>& macros) override;
    size_t MacroEventsToRemove() const { return Keyboard().EventsOver(); }
    // 1 when the block reached the device.
    int WriteSettings(int profile, int reserved, int flag, int screenWidth, int screenHeight) override;
    void LoadPageLists() override;
    void SetFunctionPage(int type) override;
    void LoadProfileFile() override;
    std::u16string GetProfileName() override;
    void SetLightTableIndex(int index) override;
    void SetLightInfo(const LightInfo& info) override;
    void SetAudioLightInfo(const AudioLightInfo& info) override;
    AudioLightInfo GetAudioLightInfo() override;
    void SelectKey(int key) override;
    void OnAudioLevels(const int32_t* levels, size_t count) override;
    void SetAudioParameters(const int32_t* values, size_t count) override;
    vx::profiles::CBasicProfiledata* GetProfileData() override { return &m_profile; }
    void HandleNotifyEvent(uint16_t code, bool wireless) override;
    vx::platform::IHookEventSink* HookEventSink() override { return &m_panelHookSink; }
    std::filesystem::path MacroFolder() const override { return DeviceFolderText(); }

    // ---- keyboard operations ----
    virtual void BuildPage();
    // Mode 20: a click on an LED button paints it with the fixed colour.
    virtual void PaintKey(int led);
    // Hands the per-key colour table scaled by each LED's brightness to the device worker, which
    // writes it through either connection; 1 when handed over, 0 when there is no table.
    virtual int SendCustomColours();
    // Every LED's colour becomes the fixed colour (on) or black (off), then SendCustomColours.
    virtual void FillCustomColours(bool on);
    // Stores every LED's colour into the profile's custom colours of the group and saves; on the
    // cable also sends the unscaled table.
    void StoreCustomColours(int group);

    // Settings page; each stores into the profile's system settings and saves it. The control
    // routing then sends (WriteSettings) and redraws (RefreshPage).
    void SetPollingRateOption(int option);
    int GetPollingRateOption();
    void SetRepeatDelayOption(int option);
    int GetRepeatDelayOption();
    // After a language change: the texts the page composes from language texts and values.
    void RefreshLanguageTexts();
    void SetRepeatRate(int value);
    int GetRepeatRate();
    void SetWinLock(bool on);
    bool GetWinLock();
    void SetWFlag(bool on);
    bool GetWFlag();
    void SetKey6(bool on);
    bool GetKey6();

    // ---- handlers of the settings page's controls, as the main window's routing finds them ----
    // Each stores, sends and saves; a setting the keyboard holds stands only once it took it.
    // "polling_rate_option_" + index.
    void OnPollingRateOption(const vx::widgets::ControlEvent& event) override;
    // "repeat_delay_check_" + index.
    void OnRepeatDelayOption(const vx::widgets::ControlEvent& event);
    // "repeat_rate_slider".
    void OnRepeatRateSlider(const vx::widgets::ControlEvent& event);
    // "winlockflag_option", "wflag_option", "6flag_option".
    void OnWinLockOption(const vx::widgets::ControlEvent& event);
    void OnWFlagOption(const vx::widgets::ControlEvent& event);
    void OnKey6Option(const vx::widgets::ControlEvent& event);
    // "reset_repeat_btn": the repeat rate and delay of the factory profile.
    void OnRepeatResetButton(const vx::widgets::ControlEvent& event);
    // "custom_bright_color_btn" (row value 1), "custom_off_color_btn" (0).
    void OnCustomColourButton(const vx::widgets::ControlEvent& event);

    // ---- state for the panels and tests ----
    const std::array<uint8_t, kLogicalKeys>& KeySlotMap() const { return Keyboard().KeySlotMap(); }
    const std::array<uint8_t, kLogicalKeys>& KeyLedMap() const { return Keyboard().KeyLedMap(); }
    const std::vector<uint8_t>& KeyTableCopy() const { return Keyboard().KeyTable(); }
    const std::vector<uint8_t>& LedMapCopy() const { return Keyboard().LedMap(); }
    int ActiveProfile() const { return m_activeProfile; }
    const std::array<uint8_t, kBlockLength>& SettingsBlock() const { return m_block; }
    const std::vector<uint8_t>& ModeCodes() const { return m_modeCodes; }
    const std::vector<std::u16string>& MacroNames() const { return m_macroNames; }
    std::string DeviceFolderText() const;
    vx::lighting::KeyboardLightingEngine& KeyboardEngine();
    vx::devices::KeyboardProtocol& Keyboard() { return static_cast<vx::devices::KeyboardProtocol&>(*m_protocol); }
    const vx::devices::KeyboardProtocol& Keyboard() const {
        return static_cast<const vx::devices::KeyboardProtocol&>(*m_protocol);
    }

    // ---- key reactions on the picture (modes 7, 8, 9, 25) ----
    // A key of this keyboard went down or up (HID keyboard usage), as its keyboard collection
    // reports it; lights the key on the picture in the key-reaction modes.
    void OnKeyboardKey(uint16_t usage, bool pressed);
    // The LED of the key with this HID keyboard usage (modifiers 0xE0-0xE7 included), or -1.
    int LedOfUsage(uint16_t usage) const;
    // Whether the key collection of the cable (false) or the receiver (true) is being read.
    bool KeyReaderFound(bool wireless) const;
    static constexpr uint kMsgKeyInput = 0x0C41;
    static bool IsKeyReactionMode(int mode) { return mode == 7 || mode == 8 || mode == 9 || mode == 25; }

protected:
    int RereadDelayMs() const override { return kRereadDelayFastMs; }
    void TakeProfileRecords() override;
    qintptr OnPageMessage(uint message, quintptr wParam, qintptr lParam) override;
    void NotifyInterfaceOpened(const std::string& path, bool wireless) override;
    void NotifyInterfaceClosing(bool wireless) override;
    std::vector<vx::profiles::KeyEntry>* PageKeyList() override { return &m_keyList; }
    size_t MacroEventsOverLimit() const override { return MacroEventsToRemove(); }

private:
    // Sends the settings, saves and redraws; with `before` (the profile before the change) the
    // change is undone when the keyboard did not take it.
    void SendSaveRedraw(const Json::Value* before = nullptr);
    int ReadDeviceSettings();
    // The settings block read from the device (byte 0: the active profile) becomes the page's.
    void TakeDeviceSettings(const std::vector<uint8_t>& raw);
    void ApplyBlockToLighting();
    void EnterCustomColourMode();
    // In the streamed modes (21, 31) the keyboard is switched to software lighting.
    void EnterSoftwareLightingIfStreamed();
    void ShowSettings();
    void ShowRepeatDelayText(int delayOption);
    void ShowKeyAssignments();
    void StoreStages(const KeyboardSystemStages& stages);
    void MaybeWriteCustomColours();
    // On the device worker: writes the table SendCustomColours handed over.
    void WritePendingColours();
    KeyboardSettings SettingsFromProfile(int profile);
    void FindControls();

    vx::profiles::CKeyboardProfiledata m_profile;
    int m_activeProfile = 0;
    std::array<uint8_t, kBlockLength> m_block{};
    std::array<uint8_t, 23> m_blockAside{};
    KeyboardSystemStages m_stages;
    std::vector<vx::profiles::KeyEntry> m_keyList;
    std::vector<std::u16string> m_macroNames;
    std::vector<uint8_t> m_modeCodes;
    // The table last handed to the worker (window's thread only).
    std::vector<uint8_t> m_lastColourTable;
    std::mutex m_coloursMutex;
    std::vector<uint8_t> m_pendingColours;
    int m_pendingColourGroup = 0;
    std::atomic<bool> m_colourWriteFailed{false};
    std::array<uint8_t, 6> m_lastStatus{};

    QPointer<QWidget> m_pictureContainer;
    QPointer<QWidget> m_profilePanel;
    QPointer<QWidget> m_lightPanel;
    QPointer<QWidget> m_macroPanel;
    QPointer<QWidget> m_keyPanel;
    std::array<QPointer<vx::widgets::COptionUI>, 4> m_pollingOptions;
    std::array<QPointer<vx::widgets::COptionUI>, 4> m_repeatDelayOptions;
    QPointer<QWidget> m_repeatDelayLabel;
    QPointer<vx::widgets::CSliderUI> m_repeatRateSlider;
    QPointer<vx::widgets::COptionUI> m_winLockOption;
    QPointer<vx::widgets::COptionUI> m_wFlagOption;
    QPointer<vx::widgets::COptionUI> m_key6Option;
    QPointer<QWidget> m_repeatInput;
    // Readers of the keyboard collection behind the cable and the receiver.
    std::unique_ptr<vx::devices::KeyInputReader> m_keyReaders[2];
};

}  // namespace vx::devices
