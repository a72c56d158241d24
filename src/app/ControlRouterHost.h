#pragma once
// What the control routing needs of the main window. UI thread only.

#include <QtGui/qrgb.h>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;
namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::app {


// The main window's own buttons, as their routing rows name them.
enum class WindowButton {
    Close,         // "closebtn"
    NoDeviceOk,    // "nodevice_ok_btn"
    LightControl,  // "control_light_status"
    Minimize,      // "minbtn"
    Maximize,      // "maxbtn"
    Restore,       // "restorebtn"
    Skin,          // "skinbtn"
    Settings,      // "setbtn"
};

class IControlRouterHost {
public:
    virtual ~IControlRouterHost() = default;
    // The page of the first visible selector entry whose "device_select" is selected, or null.
    virtual vx::devices::CTavimondUSBDevice* CurrentDevicePage() = 0;
    // A control of the main window by name (any letter case), or null.
    virtual QWidget* FindWindowControl(const QString& name) = 0;
    virtual void OnWindowInit() = 0;
    // One of the title-bar and notice buttons was clicked.
    virtual void OnWindowButton(WindowButton button) = 0;
    virtual void OnDeviceSelectChanged() = 0;
    virtual void SelectAdjacentDevice(bool next) = 0;
    // A yes/no question by language key: 1 for yes.
    virtual int AskQuestion(const QString& key) = 0;
    // A notice by language key.
    virtual void ShowNotice(const QString& key) = 0;
    // A notice whose text was made up from language texts and values (shown as it is).
    virtual void ShowNoticeText(const QString& text);
    // The chosen file, or empty when cancelled. filterName e.g. "Profile Files(*.json)", pattern
    // e.g. "*.json;".
    virtual QString OpenFileDialog(const QString& filterName, const QString& pattern) = 0;
    virtual QString SaveFileDialog(const QString& filterName, const QString& pattern) = 0;
    // The window's one-shot timers (1055 for the delayed profile action).
    virtual void SetWindowTimer(int id, int periodMs) = 0;
    virtual void KillWindowTimer(int id) = 0;
    virtual QSize ScreenSize() = 0;
    // Starts a program without waiting for it.
    virtual bool LaunchDetached(const QString& program, const QStringList& arguments) = 0;
    // A command to the audio-capture companion (commands 6, 7, 8: red, green, blue).
    virtual void SendCompanionCommand(int command, int value) = 0;
    // WM_HOOK_SWITCH 0: the single-key capture ends.
    virtual void EndKeyCapture() = 0;
    // The settings window, centred on the screen (tray menu) or beside the gear button.
    virtual void OpenSettingsWindow(bool centred) = 0;
    // "music_setting_btn", "music_setting_text": the audio-lighting style window.
    virtual void OpenAudioStyleWindow() = 0;
    // The tray menu's "about_menu".
    virtual void OpenAboutWindow() = 0;
    // The colour picker, opened modally with `colour`; on 1 (accepted) `colour` holds the choice.
    // 0 when it was closed, or when another picker is open already.
    virtual int PickColour(QRgb& colour) {
        (void)colour;
        return 0;
    }
};

}  // namespace vx::app
