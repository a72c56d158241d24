#pragma once
// The main window's notification routing: every control of the main layout and of the device
// pages reports to the window, and the router decides by the notification type and the control's
// name what it means -- an operation of the window, of the current device page or of one of the
// page's panels.
//
// UI thread only.

#include <json/json.h>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/ControlRouterTables.h"
#include "widgets/UIDefs.h"

class CDeviceProfileUI;
class RouterProfilePrompts;
class CLightControlUI;
class CLightingSyncPages;
class CTavimondUSBDevice;
class QWidget;

// What the router needs of the main window.
class IControlRouterHost {
public:
    virtual ~IControlRouterHost() = default;
    // The page of the first visible selector entry whose "device_select" is selected, or null.
    virtual CTavimondUSBDevice* CurrentDevicePage() = 0;
    // A control of the main window by name (any letter case), or null.
    virtual QWidget* FindWindowControl(const QString& name) = 0;
    virtual void OnWindowInit() = 0;
    // "closebtn", "nodevice_ok_btn", "control_light_status", "minbtn", "maxbtn", "restorebtn",
    // "skinbtn", "setbtn" (the row's own spelling).
    virtual void OnWindowButton(const QString& name) = 0;
    virtual void OnDeviceSelectChanged() = 0;
    virtual void SelectAdjacentDevice(bool next) = 0;
    // A yes/no question by language key: 1 for yes.
    virtual int AskQuestion(const QString& key) = 0;
    // A notice by language key.
    virtual void ShowNotice(const QString& key) = 0;
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
    // "music_setting_btn", "music_setting_text": the audio-lighting style window.
    virtual void OpenAudioStyleWindow() = 0;
    // The tray menu's "about_menu".
    virtual void OpenAboutWindow() = 0;
};

class CControlRouter {
public:
    static constexpr int kProfileTimerId = 1055;
    static constexpr int kProfileTimerMs = 400;
    static constexpr int kQorinDpiMin = 200;
    static constexpr int kQorinDpiMax = 6500;
    static inline const QString kProfileFilterName = QStringLiteral("Profile Files(*.json)");
    static inline const QString kProfileFilterPattern = QStringLiteral("*.json;");

    explicit CControlRouter(IControlRouterHost& host);
    ~CControlRouter();
    CControlRouter(const CControlRouter&) = delete;
    CControlRouter& operator=(const CControlRouter&) = delete;

    void SetLightingSync(CLightingSyncPages* sync) { m_sync = sync; }

    // Routes one notification. Returns false when the UI library's default handling must be
    // skipped (the "click_wp..." types), true otherwise.
    bool Notify(TNotifyUI& msg);
    // A menu command other than "exit" (the tray menu, the macro-action menu).
    void OnMenuCommand(const QString& itemName);
    // The window's timer 1055 fired.
    void OnTimer(int id);

    // The row a notification type and control name route to (nullptr: none), with the index of a
    // prefix row. Types without a table give nullptr.
    static const RouteRow* Resolve(const QString& type, const QString& name, int& index);

    // The panels of a page (null when the page has none yet).
    static CLightControlUI* LightPanelOf(CTavimondUSBDevice* page);
    static CDeviceProfileUI* ProfilePanelOf(CTavimondUSBDevice* page);

    // Places the lighting panel and the profile panel into the page's "LightControlItem" and
    // "DeviceProfileItem" containers (when its layout has them) and binds them to the page; a
    // user change on the lighting panel takes the page out of same-mode lighting. Returns how
    // many panels were connected.
    static int ConnectPagePanels(CTavimondUSBDevice& page, CLightingSyncPages* sync,
                                 IDialogBuilderCallback* callback = nullptr);

    // The last action run, for the diagnostic output and tests.
    RouteAction LastAction() const { return m_lastAction; }

    // The desktop's keyboard (0) or mouse (1) settings program with its arguments; empty when
    // none is installed.
    static QStringList SystemSettingsCommand(int index);

private:
    void Run(const RouteRow& row, int index, TNotifyUI& msg);
    void RunWindowRow(const RouteRow& row, int index, TNotifyUI& msg);
    void RunPageRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page);
    void RunProfileRow(const RouteRow& row, TNotifyUI& msg, CTavimondUSBDevice* page);
    void RunDelayedProfile(CTavimondUSBDevice* page);
    void RunLightRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page);
    // Keyboard and mouse settings rows; false when the page is not of that kind.
    bool RunKeyboardRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page);
    bool RunMouseRow(const RouteRow& row, int index, TNotifyUI& msg, CTavimondUSBDevice* page);
    // before: the profile before the change, when the change stands only once the device took it
    // (nullptr for settings the device does not hold).
    void SendSaveRedraw(CTavimondUSBDevice* page, const Json::Value* before = nullptr);
    void QorinDrag(int index, TNotifyUI& msg);
    void QorinEdit(int index, TNotifyUI& msg);
    void CompanionSlider(const RouteRow& row, TNotifyUI& msg);

    IControlRouterHost& m_host;
    CLightingSyncPages* m_sync = nullptr;
    RouteAction m_lastAction = RouteAction::None;
    // The profile panel's questions and dialogs, answered through the host.
    std::unique_ptr<RouterProfilePrompts> m_profilePrompts;
};
