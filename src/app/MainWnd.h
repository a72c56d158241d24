#pragma once

#include <QPointer>
#include <QStringList>
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "app/ControlRouter.h"
#include "app/DeviceHook.h"
#include "app/DeviceSelector.h"
#include "app/LanguageSettings.h"
#include "app/MainWndMessages.h"
#include "app/discovery/DeviceDiscovery.h"
#include "app/discovery/InterfaceSlotTable.h"
#include "widgets/TrayIcon.h"
#include "devices/lighting/LightingClock.h"
#include "platform/InputHookEvents.h"
#include "headset/audio/AudioLibrary.h"
#include "widgets/WindowImplBase.h"

namespace vx::lighting {
class CLightingSync;
}
namespace vx::panels {
class CColorSelectWnd;
}
class QTimer;
class QMenu;
class QScreen;
namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::app {

class CAudioLighting;
class CShellWindows;

class CControlCenterBus;
class CSettingsLauncher;
class CDataFileNotice;
class CLightingSyncPages;
class CDevicePageSet;
class CSessionSleepWatch;

// The program's one top-level window ("XML_MAIN"): title bar, device selector, device pages,
// tray icon, and the owner of the device discovery thread. It hides to the notification area on
// close; only the tray menu's "exit" ends the program.
//
// Threads: everything here runs on the UI thread except the discovery sink, which the discovery
// thread calls; the sink reaches the window only through its window messages (a send waits until
// the window has handled it).
class CMainWnd : public vx::widgets::WindowImplBase, public vx::app::IControlRouterHost,
                 public vx::platform::IRecordingHost {
    Q_OBJECT
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    static constexpr uint WM_TRAY_NOTIFY = vx::app::WM_TRAY_NOTIFY;
    static constexpr uint kTrayLeftUp = 0x0202;
    static constexpr uint kTrayRightUp = 0x0205;
    // Bound of each worker's stop.
    static constexpr int kWorkerStopMs = 1000;
    // The worker slot of the same-mode lighting (discovery has slot 0).
    static constexpr int kSyncLightingSlot = 8;
    static inline const QString kTitle = QStringLiteral("Vexor Umbrel Control Center");
    // Size of the device-identity record sent to a "WorkTool" peer.
    static constexpr int kWorkToolRecordSize = 1024;

    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    void Notify(vx::widgets::TNotifyUI& msg) override;
    QWidget* CreateControl(const QString& className, QWidget* parent) override;

    // Before Create: options of the discovery thread (tests shorten nothing; they may turn the
    // udev monitor off).
    void SetDiscoveryOptions(const vx::discovery::DiscoveryOptions& options) { m_discoveryOptions = options; }
    // The device models the window looks for (the built-in catalogue unless set before Create).
    void SetDeviceModels(std::vector<vx::link::DeviceModel> models) { m_deviceModels = std::move(models); }
    // Before Create: the audio library of headset pages (the in-memory one with virtual devices).
    // `folder` stands for the program's folder when the library is looked for (empty: the
    // program's own).
    void SetHeadsetAudio(vx::headset::AudioLibraryChoice choice, const std::filesystem::path& folder = {}) {
        m_headsetAudio = choice;
        m_headsetAudioFolder = folder;
    }
    // The program's D-Bus face, for broadcasts and the "WorkTool" report; may stay unset.
    void SetBus(CControlCenterBus* bus) { m_bus = bus; }

    // Shows, restores and raises the window; updates "No_device_Link" first.
    void RestoreAndBringToFront();
    // The tray's left click: hides a shown window, shows a hidden or minimised one.
    void TrayToggle();
    void ShowTrayMenu();
    // The tray menu's choice.
    void OnMenuItem(const QString& itemName);
    vx::widgets::CTrayIcon& GetTray() { return m_tray; }

    // Signals every worker, then waits for each within its bound. Idempotent. True when every
    // worker ended within its bound.
    bool StopWorkers();

    CDeviceSelector& Selector() { return m_selector; }
    CDevicePageSet* Pages() { return m_pages.get(); }
    vx::discovery::InterfaceSlotTable& Slots() { return m_slots; }
    vx::discovery::DeviceDiscovery* Discovery() { return m_discovery.get(); }
    bool FirstScanDone() const { return m_firstScanDone; }
    bool IsAwake() const { return m_awake; }
    int LightControl() const { return m_lightControl; }
    int LanguageIndex() const { return m_language.CurrentIndex(); }
    // The paths of supported interfaces this user may not open, as reported so far.
    QStringList PermissionProblems() const { return m_permissionPaths; }
    // From any thread (discovery's): a supported interface may not be opened by this user. The
    // window shows the fix once, below its no-device notice.
    void QueuePermissionNotice(const QString& path);

    CControlRouter& Router() { return *m_router; }
    // Audio-reactive lighting and its companion; null before "windowinit".
    CAudioLighting* AudioLighting() { return m_audio.get(); }
    CLightingSyncPages& SyncPages() { return *m_syncPages; }
    vx::lighting::CLightingSync& LightingSync() { return *m_lightingSync; }

    // ---- what the control routing asks of the window ----
    vx::devices::CTavimondUSBDevice* CurrentDevicePage() override;
    QWidget* FindWindowControl(const QString& name) override;
    void OnWindowInit() override;
    void OnWindowButton(WindowButton button) override;
    void OnDeviceSelectChanged() override;
    void SelectAdjacentDevice(bool next) override;
    int AskQuestion(const QString& key) override;
    void ShowNotice(const QString& key) override;
    QString OpenFileDialog(const QString& filterName, const QString& pattern) override;
    QString SaveFileDialog(const QString& filterName, const QString& pattern) override;
    void SetWindowTimer(int id, int periodMs) override;
    void KillWindowTimer(int id) override;
    QSize ScreenSize() override;
    bool LaunchDetached(const QString& program, const QStringList& arguments) override;
    void SendCompanionCommand(int command, int value) override;
    void EndKeyCapture() override;
    void OpenSettingsWindow(bool centred) override;
    int PickColour(QRgb& colour) override;
    CSettingsLauncher& Settings() { return *m_settings; }
    void OpenAudioStyleWindow() override;
    void OpenAboutWindow() override;
    CShellWindows& ShellWindows() { return *m_shellWindows; }

    // ---- the input hook ----
    // The timer that ends a game's lighting event, and how long the event's effect stays.
    static constexpr int kGameTimerId = 1066;
    static constexpr int kGameRestoreMs = 5000;
    // Installs (on) or removes (off) the hook for mode; then the recording lock follows.
    void SetRecordHook(int mode, bool on, bool useKeyboardHook, bool useLibrary);
    void StartRecording(int delayMode, int hookMode) override;
    void StopRecording() override;
    // False while a capture holds the selector, the profile panel and the key panel.
    bool RecordingUnlocked() const { return m_recordUnlocked; }
    vx::app::CDeviceHook& Hook() { return m_hook; }
    // Tests shorten the game event's five seconds.
    void SetGameRestoreDelay(int ms) { m_gameRestoreMs = ms; }
    bool GameRestorePending() const;

    // The record sent to a "WorkTool" peer: 32-bit little-endian integers 2, 3, 0, 2, the number
    // of device kinds, then vendor, product and type code of each kind.
    static QByteArray BuildWorkToolRecord();

signals:
    // The tray menu's "exit": the message loop ends.
    void ExitRequested();

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_MAIN"); }
    QString GetWindowClassName() const override { return QStringLiteral("MainWnd"); }
    void InitWindow() override;
    qintptr HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    class Sink;
    friend class Sink;

    // Pages created since the last call get their panels and join same-mode lighting.
    void ConnectNewPages();
    void OnSyncAvailable(bool available);
    bool HandleAwakeMessage(uint message, quintptr wParam, qintptr lParam);
    void OnPowerBroadcast(quintptr wParam);
    void OnSlotMessage(uint message, quintptr slotIndex);
    void OnWirelessState(quintptr kindIndex, qintptr linkUp);
    void OnLightControl(quintptr wParam, qintptr lParam);
    void SetLightControlFlag(int flag, bool broadcast);
    void ReportToWorkTool();
    void ApplyLanguage(int index);
    void OnPermissionNotices();
    void ShowDeviceNotice(const QString& key);
    void OnScreenChanged(QScreen* screen);
    void TellPagesHidden(bool hidden);
    void TellPagesPointerInside();
    void CloseSecondaryWindows();
    void BringToFrontOnce();
    bool HandleHookMessage(uint message, quintptr wParam, qintptr lParam);
    void OnHookSwitch(quintptr on);
    void ApplyRecordingLock(bool locked);
    void TellCaptureNote();
    void OnGameEvent(quintptr kind, qintptr mode);
    void OnGameTimer();

    QWidget* m_closeBtn = nullptr;
    QWidget* m_minBtn = nullptr;
    QWidget* m_skinBtn = nullptr;
    QWidget* m_gameModeBtn = nullptr;
    QWidget* m_cloudBtn = nullptr;
    QWidget* m_smartEyesBtn = nullptr;
    QWidget* m_setBtn = nullptr;
    vx::widgets::CTrayIcon m_tray;
    QPointer<QMenu> m_trayMenu;
    CControlCenterBus* m_bus = nullptr;

    vx::discovery::InterfaceSlotTable m_slots;
    CDeviceSelector m_selector;
    std::unique_ptr<CDevicePageSet> m_pages;
    vx::discovery::DiscoveryOptions m_discoveryOptions;
    vx::headset::AudioLibraryChoice m_headsetAudio = vx::headset::AudioLibraryChoice::SoundServer;
    std::filesystem::path m_headsetAudioFolder;
    std::vector<vx::link::DeviceModel> m_deviceModels{vx::link::DeviceCatalog().begin(), vx::link::DeviceCatalog().end()};
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<vx::discovery::DeviceDiscovery> m_discovery;
    std::unique_ptr<CSessionSleepWatch> m_sleepWatch;
    CLanguageSettings m_language;
    std::unique_ptr<CControlRouter> m_router;
    std::unique_ptr<vx::lighting::SteadyLightingClock> m_syncClock;
    std::unique_ptr<vx::lighting::CLightingSync> m_lightingSync;
    std::unique_ptr<CLightingSyncPages> m_syncPages;
    std::map<int, QTimer*> m_routerTimers;
    std::unique_ptr<CAudioLighting> m_audio;
    std::unique_ptr<CShellWindows> m_shellWindows;
    class CDeviceNotice* m_deviceNotice = nullptr;
    // Data files the program could not read, had to replace or could not save: told in a box.
    std::unique_ptr<CDataFileNotice> m_dataFileNotice;
    std::unique_ptr<CSettingsLauncher> m_settings;
    size_t m_pagesConnected = 0;

    vx::app::CDeviceHook m_hook;
    bool m_recordUnlocked = true;
    QTimer* m_gameTimer = nullptr;
    int m_gameRestoreMs = kGameRestoreMs;

    int m_lightControl = 1;
    bool m_windowActive = false;
    bool m_pointerInside = false;
    bool m_awake = true;
    bool m_firstScanDone = false;
    bool m_exiting = false;
    bool m_workersStopped = false;
    // The colour picker while it runs.
    QPointer<vx::panels::CColorSelectWnd> m_picker;
    bool m_initDone = false;
    // Slot changes that came while the machine slept, handled on resume.
    std::vector<std::pair<uint, quintptr>> m_sleptSlotChanges;
    // Permission notices from the discovery thread, taken by the UI thread.
    // Shared with the sink, which may outlive a late discovery thread's last call.
    struct Notices {
        std::mutex lock;
        std::deque<QString> paths;
    };
    std::shared_ptr<Notices> m_notices = std::make_shared<Notices>();
    QStringList m_permissionPaths;
};

}  // namespace vx::app
