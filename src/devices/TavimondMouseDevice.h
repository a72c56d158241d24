#pragma once
// The mouse's page (type code 2 on the cable, 6 through its receiver): five DPI stages with their
// colours on the sensor's DPI scale, the report rate, the 11 buttons' assignments and macros, the
// recoil data of four guns, the 128-byte-stride settings block, its lighting (wave, reactive fade,
// ripple and the shared effects) and the settings page.
//
// What goes over the link is the page's vx::devices::MouseProtocol: through the receiver every
// operation that talks to the mouse first asks whether it answers, and one that does not ends the
// operation with kLinkNoReply (0) before anything else is sent.

#include <QPointer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/protocol/MouseButtonMap.h"
#include "devices/protocol/MouseDpiScale.h"
#include "devices/protocol/MouseProtocol.h"
#include "devices/protocol/MouseSettingsBlock.h"
#include "devices/TavimondUSBDevice.h"
#include "link/StatusRecord.h"
#include "profiles/LightNameTables.h"
#include "profiles/MacroFiles.h"
#include "profiles/MouseProfiledata.h"

namespace vx::lighting {
class MouseLightingEngine;
}
namespace vx::widgets { class CButtonUI; }
namespace vx::widgets { class CEditUI; }
namespace vx::widgets { class COptionUI; }
namespace vx::widgets { class CSliderUI; }
namespace vx::widgets { class CTabLayoutUI; }
namespace vx::devices {



class CTavimondMouseDevice : public CTavimondUSBDevice {
public:
    static constexpr int kLeds = 15;
    static constexpr int kButtons = MouseButtonMap::kButtons;
    static constexpr int kDpiStages = 5;
    static constexpr int kReportRates = 5;
    static constexpr int kSettingsOptions = 3;
    static constexpr int kFunctionTabs = 4;
    // Window message carrying status byte 4 to the main window.
    static constexpr uint kMsgStatusForward = 0x0D01;
    // Outcome of UploadShootData and WriteMacroMemory beside the link codes: the image does not
    // fit the device.
    static constexpr int kShootTooLarge = vx::devices::kWriteTooLarge;

    CTavimondMouseDevice();
    ~CTavimondMouseDevice() override;

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
    // kLinkOk written (or nothing to write), kLinkNoReply when the mouse does not answer,
    // vx::devices::kWriteTooLarge when the image does not fit (MacroEventsToRemove() tells how
    // many events have to go), otherwise the failing link code.
    int WriteMacroMemory(const std::vector<int>& macros) override;
    size_t MacroEventsToRemove() const { return m_macroEventsOver; }
    // 1 when the block reached the mouse; 0 when the mouse does not answer or the link is down;
    // otherwise the failing command's code.
    int WriteSettings(int profile, int reserved, int flag, int screenWidth, int screenHeight) override;
    void LoadPageLists() override;
    void SetFunctionPage(int type) override;
    void LoadProfileFile() override;
    std::u16string GetProfileName() override;
    void SetLightTableIndex(int index) override;
    void SetLightInfo(const LightInfo& info) override;
    void SelectKey(int key) override;
    vx::profiles::CBasicProfiledata* GetProfileData() override { return &m_profile; }
    void HandleNotifyEvent(uint16_t code, bool wireless) override;
    vx::platform::IHookEventSink* HookEventSink() override { return &m_panelHookSink; }
    std::filesystem::path MacroFolder() const override { return DataFolder(); }

    // ---- the mouse's own operations ----
    void BuildPage();
    // A click reported by the mouse: starts the reactive fade (light mode 6 only).
    void TriggerReactive();
    // Sends the four recoil files of the mouse's data folder. kLinkOk sent; kLinkNoReply not
    // connected or mouse not answering; kShootTooLarge when the image does not fit (then
    // ShootEventsOver() tells how many events have to go); otherwise the failing link code.
    int UploadShootData();
    size_t ShootEventsOver() const { return m_shootEventsOver; }
    // Where the four gun files live: the mouse's data folder.
    std::filesystem::path ShootFolder() const { return DataFolder(); }
    // The fourth page value of the main window: the LED whose button shows the preview (-1 none).
    void SetSelectedLed(int index) { m_selectedLed = index; }
    int GetSelectedLed() const { return m_selectedLed; }
    // The lighting panel's copy of the mouse picture, painted with every frame.
    void SetPanelLightButtons(const std::vector<vx::widgets::CDeviceKeyButtonUI*>& buttons);

    // DPI page: stage i shown with a DPI value, enabled, made active, coloured.
    void ShowDpiStage(int stage, int dpi);
    void EnableDpiStage(int stage, bool enabled);
    void SelectDpiStage(int stage);
    void SetDpiStageColour(int stage, uint8_t red, uint8_t green, uint8_t blue);
    // The value of stage i's slider / edit box taken into the stage list, then sent and saved.
    void CommitDpiSlider(int stage);
    void CommitDpiEdit(int stage);
    // Report rate (values outside 0..4 show option 0) and pointer settings, sent and saved.
    void SetPollingRate(int option);
    void SetPointerSpeed(int value);
    void SetPointerPrecision(bool on);
    void SetScrollsPage(bool on);
    void SetScrollLines(int value);
    void SetDoubleClickTime(int value);
    void SelectSettingsOption(int option);

    // ---- handlers of the page's controls, as the main window's routing finds them ----
    // "DPI_enable_check_", "DPI_select_check_" + stage.
    void OnDpiEnableCheck(const vx::widgets::ControlEvent& event);
    void OnDpiSelectCheck(const vx::widgets::ControlEvent& event);
    // "polling_rate_option_", "mouse_device_seting_option_", "mouse_function_option_" + index.
    void OnPollingRateOption(const vx::widgets::ControlEvent& event) override;
    void OnSettingsOption(const vx::widgets::ControlEvent& event);
    void OnFunctionOption(const vx::widgets::ControlEvent& event);
    // "pointer_precision_check", "scrolls_page_check".
    void OnPointerPrecisionCheck(const vx::widgets::ControlEvent& event);
    void OnScrollsPageCheck(const vx::widgets::ControlEvent& event);
    // "DPI_slider_" + stage let go: the stage takes the slider's value; while it is dragged the
    // stage's edit box follows it and nothing is sent.
    void OnDpiSlider(const vx::widgets::ControlEvent& event);
    void OnDpiSliderDrag(const vx::widgets::ControlEvent& event);
    // "DPI_edit_" + stage left (or Enter).
    void OnDpiEdit(const vx::widgets::ControlEvent& event);
    // "pointer_speed_slider", "scroll_speed_slider", "double_click_slider".
    void OnPointerSpeedSlider(const vx::widgets::ControlEvent& event);
    void OnScrollSpeedSlider(const vx::widgets::ControlEvent& event);
    void OnDoubleClickSlider(const vx::widgets::ControlEvent& event);

    // ---- state for the panels, the routing and tests ----
    vx::profiles::CMouseProfiledata& Profile() { return m_profile; }
    const MouseSettingsRecord& CurrentSettings() const { return m_current; }
    const MouseButtonMap& ButtonMap() const { return Mouse().ButtonMap(); }
    const MouseDpiScale& DpiScale() const { return m_dpiScale; }
    const std::vector<DpiStage>& DpiStages() const { return m_stages; }
    const MouseSystemStages& SystemStages() const { return m_system; }
    const std::vector<vx::profiles::KeyEntry>& KeyList() const { return m_keys; }
    const std::vector<uint8_t>& KeyTableCopy() const { return Mouse().KeyTable(); }
    const vx::profiles::LightNameTables& LightNames() const { return m_lightNames; }
    const std::vector<vx::profiles::MacroListEntry>& MacroNames() const { return m_macroNames; }
    const vx::link::StatusRecord& LastStatus() const { return m_status; }
    vx::lighting::MouseLightingEngine& MouseEngine();
    vx::devices::MouseProtocol& Mouse() { return static_cast<vx::devices::MouseProtocol&>(*m_protocol); }
    const vx::devices::MouseProtocol& Mouse() const { return static_cast<const vx::devices::MouseProtocol&>(*m_protocol); }

protected:
    int RereadDelayMs() const override { return kRereadDelayFastMs; }
    void TakeProfileRecords() override { ReadProfileRecords(); }
    std::vector<vx::profiles::KeyEntry>* PageKeyList() override { return &m_keys; }
    size_t MacroEventsOverLimit() const override { return MacroEventsToRemove(); }

private:
    bool ReadKeyTables();
    void ApplyCapability();
    std::filesystem::path DataFolder() const;
    vx::profiles::MacroFiles Macros() const;
    size_t MacroCount() const;
    void ReadProfileRecords();
    void EnsureFiveStages();
    // After a change on the settings page: the profile's records, the device, the file, the page.
    // The change stands only when the device takes it; before: the profile as it was before the
    // change (taken here when the caller changed nothing in the profile itself).
    void StoreSettingsAndSend();
    void StoreSettingsAndSend(const Json::Value& before);
    void SendCurrentSettings();
    void FindControls();
    void ShowKeyButtons();
    void ShowDpiControls();
    void ShowSystemControls();
    void PaintPanelButtons();

    vx::profiles::CMouseProfiledata m_profile;
    vx::profiles::LightNameTables m_lightNames;
    std::vector<vx::profiles::MacroListEntry> m_macroNames;
    std::vector<vx::profiles::KeyEntry> m_keys;
    std::vector<DpiStage> m_stages;
    MouseSystemStages m_system;
    MouseDpiScale m_dpiScale;
    MouseSettingsRecord m_current;
    std::array<uint8_t, 21> m_previousHead{};
    vx::link::StatusRecord m_status;
    size_t m_shootEventsOver = 0;
    size_t m_macroEventsOver = 0;
    int m_selectedLed = -1;
    std::vector<QPointer<vx::widgets::CDeviceKeyButtonUI>> m_panelLightButtons;

    struct DpiControls {
        QPointer<vx::widgets::CSliderUI> slider;
        QPointer<vx::widgets::CEditUI> edit;
        QPointer<vx::widgets::COptionUI> enable;
        QPointer<vx::widgets::COptionUI> select;
        QPointer<vx::widgets::CButtonUI> colour;
    };
    std::array<DpiControls, kDpiStages> m_dpiControls;
    std::array<QPointer<vx::widgets::COptionUI>, kReportRates> m_pollingOptions;
    std::array<QPointer<vx::widgets::COptionUI>, kSettingsOptions> m_settingsOptions;
    std::array<QPointer<vx::widgets::COptionUI>, kFunctionTabs> m_functionOptions;
    QPointer<vx::widgets::CTabLayoutUI> m_settingsSwitch;
    QPointer<vx::widgets::CSliderUI> m_pointerSpeed;
    QPointer<vx::widgets::COptionUI> m_pointerPrecision;
    QPointer<vx::widgets::COptionUI> m_scrollsPage;
    QPointer<vx::widgets::CSliderUI> m_scrollSpeed;
    QPointer<vx::widgets::CSliderUI> m_doubleClick;
    QPointer<QWidget> m_picture;
    QPointer<vx::widgets::CDeviceKeyButtonUI> m_previewButton;
};

}  // namespace vx::devices
