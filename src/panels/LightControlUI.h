#pragma once

#include <QtGui/qrgb.h>
#include <QHash>
#include <QPointer>
#include <QString>
#include <json/json.h>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "devices/LightRecordView.h"
#include "profiles/ProfileRecords.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlEvent.h"

namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::panels {


// The lighting panel of a device page ("LightControlItem"): the mode list, the control groups each
// mode uses, colour, brightness, speed, direction, seven-colour cycling and the audio-lighting
// colours. The page owns the light records; the panel shows them (SetLightInfo,
// SetAudioLightInfo) and, when the user changes a control, patches the page's record and runs the
// page's light update (store, save, restart its lighting, write the device).
//
// Setting a control from code never raises a notification, so the handlers below run only for
// what the user did. UI thread only.
class CLightControlUI : public vx::widgets::CHorizontalLayoutUI, public vx::devices::ILightRecordView {
    Q_OBJECT
public:
    // The class name layouts use for the panel's root.
    static constexpr const char* kClassName = "CLightControlUI";
    // Registers the class (and the element name "LightControl") with the control factory.
    static void RegisterControlClass();

    explicit CLightControlUI(QWidget* parent = nullptr);

    // --- What the page calls ---------------------------------------------------------------
    // Rebuilds the mode combo: one item per name (a language key), hidden where the flag is
    // false. Hidden modes keep their position, so mode numbers stay positions in the full list.
    void SetModeList(const std::vector<std::u16string>& names, const std::vector<bool>& visibleFlags,
                     int maxBrightness, int maxSpeed);
    // Reads the mode list of a light-table index (0 keyboard, 1 mouse, 2 mousepad, 3 headset)
    // from "default_light.json" and shows it with the maxima 4 and 4. False when the file has no
    // list for the index (the combo is then left as it was).
    bool LoadModeList(const std::filesystem::path& defaultLightFile, int32_t lightTableIndex);
    void SetDeviceKind(int32_t kind);
    int32_t GetDeviceKind() const { return m_deviceKind; }
    // The page whose records the handlers patch; the page sets itself when it binds the panel.
    void SetDevicePage(vx::devices::CTavimondUSBDevice* page) { m_page = page; }
    vx::devices::CTavimondUSBDevice* GetDevicePage() const { return m_page; }
    // Called when a user change of this panel takes the page out of synchronised lighting (the
    // main window keeps the synchronised state of every page).
    void SetSyncLeaveHandler(std::function<void(vx::devices::CTavimondUSBDevice&)> handler) {
        m_syncLeave = std::move(handler);
    }

    void SetLightInfo(const LightInfo& info);
    // A light record from outside the panel (a game's lighting event): the page leaves same-mode
    // lighting, the panel shows the record, and the page stores, saves and sends it. False, with
    // nothing changed, when the record's mode is not in the page's mode list.
    bool ApplyLightRecord(const LightInfo& info);
    // What the device page shows on its panel after each refresh.
    void ShowLightRecord(const LightInfo& info) override { SetLightInfo(info); }
    void ShowAudioLightRecord(const AudioLightInfo& info) override { SetAudioLightInfo(info); }
    void ShowCustomGroup(int group) override { SelectCustomMode(group); }
    // Shows the audio record and keeps a copy; nothing changes when a control it needs is missing.
    void SetAudioLightInfo(const AudioLightInfo& info);
    // The audio record as the controls show it; with takeColour the preview colour is written into
    // the colour being edited. Returns the stored copy unchanged when a control is missing.
    AudioLightInfo GetAudioLightInfo(bool takeColour);
    const AudioLightInfo& ShownAudioLightInfo() const { return m_audioInfo; }

    void SelectMode(int mode);
    int GetSelectedMode() const;
    void SelectCustomMode(int index);
    int GetSelectedCustomMode() const;
    void SelectZZCCMode(int index);
    int GetSelectedZZCCMode() const;

    void SetBrightness(int value);
    int GetBrightness() const;
    void SetSpeed(int value);
    int GetSpeed() const;
    // channel 0 red, 1 green, 2 blue.
    void SetColorEditText(int channel, const QString& text);
    QString GetColorEditText(int channel) const;
    void SetPaletteColor(QRgb argb);
    QRgb GetPaletteColor() const;
    void SetPreviewColor(QRgb argb);
    void SetSevenColor(bool on);
    bool GetSevenColor() const;
    // Non-zero selects the left option ("deng_FXL_check"), zero the right one.
    void SetDirection(int flag);
    int GetDirection() const;

    QRgb GetColorOptionColor(int n) const;
    // The colour of the page's effect, and the audio-lighting colour the panel edits (background
    // or foreground, as the audio colour choice says), as the colour picker starts from them.
    QRgb EffectColour() const;
    QRgb AudioColourBeingEdited() const;
    // A colour the user chose in the colour picker, taken as one chosen in the panel's palette.
    void TakePickedColour(QRgb argb) { OnColourChosen(argb, false); }
    void TakePickedAudioColour(QRgb argb) { OnAudioColour(argb, false); }
    QRgb GetAudioOptionColor(int n) const;
    QRgb GetAudioPaletteColor() const;
    QString GetAudioEditText(int channel) const;

    void SetSyncAvailable(bool available);
    bool GetSyncAvailable() const { return m_syncAvailable; }
    void ShowSameMode(bool wanted);

    void ApplyModeLayout(int32_t kind, int32_t mode);

    // --- Handlers of the panel's controls, as the main window's routing finds them ---------
    // Each does nothing without a page.
    // "light_combo_modeSelect", "light_combo_custommodeSelect", "light_combo_ZZCCmodeSelect",
    // "light_combo_audiomodeSelect"; param = the combo's new position.
    void OnModeCombo(const vx::widgets::ControlEvent& event);
    void OnCustomModeCombo(const vx::widgets::ControlEvent& event);
    void OnZZCCModeCombo(const vx::widgets::ControlEvent& event);
    void OnAudioModeCombo(const vx::widgets::ControlEvent& event);
    // "deng_light_slider", "deng_speed_slider"; param = the slider's value.
    void OnBrightnessSlider(const vx::widgets::ControlEvent& event);
    void OnSpeedSlider(const vx::widgets::ControlEvent& event);
    // "deng_7color_check"; "deng_FXL_check" (row value 1), "deng_FXR_check" (0);
    // "deng_7audiocolor_check"; "audio_BkColor_check", "audio_FgColor_check".
    void OnSevenColourCheck(const vx::widgets::ControlEvent& event);
    void OnDirectionCheck(const vx::widgets::ControlEvent& event);
    void OnAudioSevenColourCheck(const vx::widgets::ControlEvent& event);
    void OnAudioColourTypeCheck(const vx::widgets::ControlEvent& event);
    // "deng_edit_R/G/B", "deng_audioedit_R/G/B" left; row value = channel (0 red, 1 green, 2 blue).
    void OnColourEdit(const vx::widgets::ControlEvent& event);
    void OnAudioColourEdit(const vx::widgets::ControlEvent& event);
    // "deng_Color_Pallet", "deng_audioColor_Pallet"; param = the ARGB colour.
    void OnPalette(const vx::widgets::ControlEvent& event);
    void OnAudioPalette(const vx::widgets::ControlEvent& event);
    // "color_option_", "audiocolor_option_" + swatch index.
    void OnPresetColour(const vx::widgets::ControlEvent& event);
    void OnAudioPresetColour(const vx::widgets::ControlEvent& event);
    // "Close_bkColor_btn".
    void OnBackgroundOffButton(const vx::widgets::ControlEvent& event);

    // The control of that name below the panel (found once, then kept), or nullptr.
    QWidget* Control(const QString& name) const;
    template <class T>
    T* Control(const QString& name) const {
        return qobject_cast<T*>(Control(name));
    }

private:
    void FillFixedLists();
    void ApplyStartState(int32_t kind);
    void ApplyCaptions(const char* left, const char* right);
    void ShowColorControls(uint8_t red, uint8_t green, uint8_t blue, bool setPalette);
    bool HasAudioControls() const;
    void ShowAudioColor(uint8_t red, uint8_t green, uint8_t blue);

    // Page side of the handlers.
    void LeaveSync();
    void RunLightUpdate(const LightInfo& info);
    void StoreSaveRestart(const LightInfo& info);
    void WriteDevice();
    void HandOverAudio(const AudioLightInfo& info);

    void OnModeChosen(int index);
    void OnLevelMoved(bool brightness, int value);
    void OnColourChannel(int channel);
    void OnColourChosen(QRgb argb, bool fromSwatch);
    void OnAudioChoice(bool takeColour);
    void OnAudioChannel(int channel);
    void OnAudioColour(QRgb argb, bool clearSevenColour);

    int32_t m_deviceKind = 0;
    bool m_syncAvailable = false;
    AudioLightInfo m_audioInfo;
    vx::devices::CTavimondUSBDevice* m_page = nullptr;
    std::function<void(vx::devices::CTavimondUSBDevice&)> m_syncLeave;
    // The page's profile before the light change on its way to the device: put back when the
    // device does not take the change.
    Json::Value m_beforeWrite;
    mutable QHash<QString, QPointer<QWidget>> m_controls;
};

}  // namespace vx::panels
