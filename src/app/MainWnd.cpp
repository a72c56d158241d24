#include "app/MainWnd.h"

#include <QWidget>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "app/AudioLighting.h"
#include "app/ControlCenterBus.h"
#include "app/ControlRegistry.h"
#include "app/DataFileNotice.h"
#include "app/DeviceNotice.h"
#include "devices/lighting/LightingSync.h"
#include "app/LightingSyncPages.h"
#include "app/DeviceOptionUI.h"
#include "app/DeviceHook.h"
#include "app/HookMessageRoute.h"
#include "app/DevicePageSet.h"
#include "app/MainWndMessages.h"
#include "app/PagePanels.h"
#include "panels/ColorSelectWnd.h"
#include "widgets/MsgWnd.h"
#include "app/RegisteredMessages.h"
#include "app/SessionSleepWatch.h"
#include "app/SettingsLauncher.h"
#include "update/window/SetWnd.h"
#include "app/ShellWindows.h"
#include "app/discovery/DiscoverySink.h"
#include "app/discovery/UdevRulesFile.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "link/DeviceCatalog.h"
#include "panels/LightControlUI.h"
#include "platform/DebugLog.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/DataFolders.h"
#include "widgets/ControlUI.h"
#include "widgets/UIDefs.h"
#include "widgets/FileDialogs.h"
#include "widgets/MenuWnd.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/RenderEngine.h"
#include "widgets/ResourceManager.h"

using vx::devices::CTavimondUSBDevice;
using vx::discovery::DeviceDiscovery;
using vx::discovery::PermissionNotice;
using vx::discovery::UdevRulesCommand;
using vx::discovery::UdevRulesFile;
using vx::widgets::CMenuWnd;
using vx::widgets::CRenderEngine;
using vx::widgets::CResourceManager;
using vx::widgets::CWindowMessages;
using vx::widgets::TNotifyUI;
using vx::widgets::WindowHandle;
namespace ui = vx::widgets::ui;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::kTypeHeadset;
using vx::discovery::FindUdevRulesFile;
using vx::discovery::UdevRulesFolders;
using vx::panels::CLightControlUI;
using vx::update::CSetWnd;

namespace vx::app {

using vx::link::DeviceCatalog;
using vx::link::DeviceModel;
using vx::link::WiredTypeCodeOf;
using vx::platform::DebugLog;
using vx::platform::IHookEventSink;
using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;
using vx::profiles::InstallFolder;

using vx::lighting::CLightingSync;
using vx::lighting::ILightingSyncTarget;
using vx::lighting::SharedEffect;
using vx::lighting::SyncEffectState;

static_assert(WM_LANGUAGE_CHANGED == CSetWnd::kMsgLanguageChanged && WM_CLEAR_UPDATE_MARK == CSetWnd::kMsgClearUpdateMark,
              "the settings window and its owner must agree on the messages");
static_assert(WM_DEVICE_NOT_ANSWERING == CTavimondUSBDevice::kMsgDeviceNotAnswering,
              "the pages and the window must agree on the message");

namespace {

// Qt reads the patterns from the parentheses of the filter's name ("Profile Files(*.json)");
// a name without them gets the pattern list appended.
QString QtFilter(const QString& filterName, const QString& pattern) {
    if (filterName.contains(QLatin1Char('('))) return filterName;
    QString patterns = pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filterName + QStringLiteral(" (") + patterns.trimmed() + QStringLiteral(")");
}

// The window shows itself after the first scan; should the scan never finish (the listing of
// interfaces failed), it shows itself after this long anyway.
constexpr int kFirstScanFallbackMs = 3000;
constexpr int kRepaintDelayMs = 100;
constexpr int kTrayMenuDelayMs = 10;

// The page operations that follow the window's state exist only on the device classes that
// need them; pages without them are left alone.
template <class Page>
void TellWindowHidden(Page* page, bool hidden) {
    if constexpr (requires { page->SetWindowHidden(hidden); }) page->SetWindowHidden(hidden);
}
template <class Page>
void TellWindowActive(Page* page, bool active) {
    if constexpr (requires { page->SetWindowActive(active); }) page->SetWindowActive(active);
}
template <class Page>
void TellLightControl(Page* page, int flag) {
    if constexpr (requires { page->SetLightControl(flag); }) page->SetLightControl(flag);
}

void PutInt(QByteArray& record, int slot, uint32_t value) {
    for (int b = 0; b < 4; ++b) record[slot * 4 + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
}

}  // namespace

// The discovery thread's side of the window: arrivals and removals are sent (the thread waits
// until the window has handled them), the first-scan notice and permission notices are posted.
class CMainWnd::Sink : public vx::discovery::IDiscoverySink {
public:
    Sink(WindowHandle window, std::shared_ptr<Notices> notices)
        : m_window(window), m_notices(std::move(notices)) {}

    void SlotArrived(size_t index) override {
        CWindowMessages::SendMessage(m_window, WM_DEVICE_SLOT_ARRIVED, index, 0);
    }
    void SlotRemoved(size_t index) override {
        CWindowMessages::SendMessage(m_window, WM_DEVICE_SLOT_REMOVED, index, 0);
    }
    void Activate() override { CWindowMessages::PostMessage(m_window, UWM_ACTIVATE_MSG, 0, 0); }
    void PermissionProblem(const PermissionNotice& notice) override {
        Queue(m_window, *m_notices, QString::fromStdString(notice.path));
    }

    static void Queue(WindowHandle window, Notices& notices, const QString& path) {
        {
            std::lock_guard<std::mutex> guard(notices.lock);
            notices.paths.push_back(path);
        }
        CWindowMessages::PostMessage(window, WM_DEVICE_PERMISSION, 0, 0);
    }

private:
    WindowHandle m_window;
    std::shared_ptr<Notices> m_notices;
};

CMainWnd::CMainWnd(QWidget* parent)
    : WindowImplBase(parent),
      m_router(std::make_unique<CControlRouter>(*this)),
      m_syncClock(std::make_unique<vx::lighting::SteadyLightingClock>()),
      m_lightingSync(std::make_unique<CLightingSync>(*m_syncClock)),
      m_syncPages(std::make_unique<CLightingSyncPages>(*m_lightingSync)),
      m_shellWindows(std::make_unique<CShellWindows>(*this, [this] { return m_audio.get(); })),
      m_settings(std::make_unique<CSettingsLauncher>(this)) {
    m_router->SetLightingSync(m_syncPages.get());
}

CMainWnd::~CMainWnd() {
    StopWorkers();
    m_dataFileNotice.reset();
    m_audio.reset();
    m_pages.reset();
    delete m_trayMenu.data();
}

void CMainWnd::InitWindow() {
    DebugLog("InitWindow");
    CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_cn.xml"));
    CResourceManager::GetInstance().ReloadText();
    m_closeBtn = m_pm.FindControl("closebtn");
    m_minBtn = m_pm.FindControl("minbtn");
    m_skinBtn = m_pm.FindControl("skinbtn");
    m_gameModeBtn = m_pm.FindControl("gamemodebtn");
    m_cloudBtn = m_pm.FindControl("cloudbtn");
    m_smartEyesBtn = m_pm.FindControl("smarteyesbtn");
    m_setBtn = m_pm.FindControl("setbtn");
    UpdateMaxRestore();

    setWindowIcon(QIcon(QPixmap::fromImage(CRenderEngine::LoadImage("common/app_icon.svg", QSize(64, 64)))));
    const WindowHandle self = GetHWND();
    m_tray.onLeftClick = [self] { CWindowMessages::PostMessage(self, WM_TRAY_NOTIFY, 0, kTrayLeftUp); };
    m_tray.onRightClick = [self] { CWindowMessages::PostMessage(self, WM_TRAY_NOTIFY, 0, kTrayRightUp); };
    m_tray.Create(QStringLiteral("common/app_icon.svg"), kTitle);

    m_selector.Attach(m_pm);
    m_selector.SetHooks({[this] { CloseSecondaryWindows(); },
                         // The selected device went during a capture: the hook goes and the
                         // panels are given back before another device is selected.
                         [this, self] {
                             CWindowMessages::SendMessage(self, WM_HOOK_SWITCH, 0, 0);
                             ApplyRecordingLock(false);
                         },
                         [this](bool available) { OnSyncAvailable(available); }});
}

void CMainWnd::OnWindowInit() {
    if (m_initDone) return;
    m_initDone = true;
    if (m_bus) m_bus->BroadcastSystemMessage(UWM_LIGHT_STATUS_MSG, 1, 1);
    ApplyLanguage(CLanguageSettings::ReadLanguageIndex());
    // Before the pages load their profiles, so that a file they cannot use is told.
    m_dataFileNotice = std::make_unique<CDataFileNotice>(
        [this](const QString& text) { ShowMessageBox(this, QString(), text, GetDPI(), false, 0); });

    m_slots.Fill(m_deviceModels);
    m_pages = std::make_unique<CDevicePageSet>(
        CDevicePageSet::Context{&m_pm, this, GetHWND(), &m_selector, &m_slots, m_headsetAudio, m_headsetAudioFolder});
    m_pages->CreatePlaceholderPages();
    ConnectNewPages();
    m_selector.UpdateNoDeviceNotice();

    // Hidden until the first scan has finished, so the window opens with its devices in place.
    QTimer::singleShot(0, this, [this] {
        if (!m_firstScanDone) hide();
    });
    m_sink = std::make_unique<Sink>(GetHWND(), m_notices);
    m_discovery = std::make_unique<DeviceDiscovery>(m_slots, *m_sink, m_discoveryOptions);
    if (!m_discovery->Start()) {
        DebugLog("device discovery did not start");
        m_firstScanDone = true;
        QTimer::singleShot(0, this, [this] { RestoreAndBringToFront(); });
    } else {
        QTimer::singleShot(kFirstScanFallbackMs, this, [this] {
            if (!m_firstScanDone && !m_workersStopped) RestoreAndBringToFront();
        });
    }
    m_lightingSync->Start();
    QTimer::singleShot(kRepaintDelayMs, this, [this] { update(); });
    m_audio = std::make_unique<CAudioLighting>(
        static_cast<qint64>(GetHWND()),
        CAudioLighting::Pages{[this] { return m_pages ? m_pages->Keyboards() : std::vector<CTavimondUSBDevice*>{}; },
                              [this] { return m_pages ? m_pages->Mice() : std::vector<CTavimondUSBDevice*>{}; },
                              [this] { return m_awake; }});
    m_audio->Start();

    m_sleepWatch = std::make_unique<CSessionSleepWatch>([self = GetHWND()](bool suspending) {
        CWindowMessages::PostMessage(self, WM_POWERBROADCAST, suspending ? kPowerSuspend : kPowerResume, 0);
    });
    m_sleepWatch->Start();
    connect(qApp, &QGuiApplication::screenAdded, this, [] { DebugLog("显示器分辨率发生变化"); });
    connect(qApp, &QGuiApplication::screenRemoved, this, [] { DebugLog("显示器分辨率发生变化"); });
    if (QWindow* window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &CMainWnd::OnScreenChanged);
        if (QScreen* screen = window->screen()) {
            connect(screen, &QScreen::logicalDotsPerInchChanged, this,
                    [this, screen] { OnScreenChanged(screen); });
            connect(screen, &QScreen::geometryChanged, this, [] { DebugLog("显示器分辨率发生变化"); });
        }
    }
}

void CMainWnd::OnScreenChanged(QScreen* screen) {
    if (screen == nullptr) return;
    SetDPI(qRound(screen->logicalDotsPerInch()));
    CenterWindow();
    DebugLog("界面 DPI 发生变化");
}

QWidget* CMainWnd::CreateControl(const QString& className, QWidget* parent) {
    return CControlRegistry::CreateElement(className, parent, this);
}

void CMainWnd::Notify(TNotifyUI& msg) {
    // The key edit of the key panel captures one key through the hook while it has the focus.
    if (msg.sType == vx::widgets::notify::kSetFocus && msg.pSender &&
        msg.pSender->objectName().compare(QLatin1String("keyset_keyboard_text_edit"), Qt::CaseInsensitive) == 0) {
        CWindowMessages::PostMessage(GetHWND(), WM_HOOK_SWITCH, 1, 0);
    }
    if (m_router->Notify(msg)) WindowImplBase::Notify(msg);
}

void CMainWnd::OnWindowButton(WindowButton button) {
    switch (button) {
        case WindowButton::Close:
            // The program lives on in the notification area; only the tray menu's "exit" ends it.
            CloseSecondaryWindows();
            hide();
            TellPagesHidden(true);
            return;
        case WindowButton::NoDeviceOk:
            hide();
            return;
        case WindowButton::Minimize:
            showMinimized();
            return;
        case WindowButton::Maximize:
            showMaximized();
            return;
        case WindowButton::Restore:
            showNormal();
            return;
        case WindowButton::LightControl:
            SetLightControlFlag(m_lightControl ? 0 : 1, true);
            return;
        case WindowButton::Settings:
            OpenSettingsWindow(false);
            return;
        case WindowButton::Skin:
            if (m_skinBtn) m_shellWindows->OpenSkin(m_skinBtn);
            return;
    }
}

void CMainWnd::TellPagesHidden(bool hidden) {
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Mice()) TellWindowHidden(page, hidden);
    for (CTavimondUSBDevice* page : m_pages->Keyboards()) TellWindowHidden(page, hidden);
}

void CMainWnd::TellPagesPointerInside() {
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Pages()) {
        if (page->GetKind() != kTypeHeadset) TellWindowActive(page, m_pointerInside);
    }
}

void CMainWnd::OpenSettingsWindow(bool centred) {
    if (m_workersStopped) return;
    m_settings->Open(!centred, GetHWND(), GetDPI(), m_language.CurrentIndex(), UWM_UPDATE_PROGRESS_MSG,
                     CSettingsLauncher::Candidates(m_pages.get(), VX_PROGRAM_VERSION));
}

void CMainWnd::CloseSecondaryWindows() {
    // The settings, about, skin and audio-style windows and the colour picker.
    m_settings->Close();
    if (m_shellWindows) m_shellWindows->CloseAll();
    if (m_picker) m_picker->Close(0);
}

void CMainWnd::BringToFrontOnce() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void CMainWnd::RestoreAndBringToFront() {
    m_selector.UpdateNoDeviceNotice();
    TellPagesHidden(false);
    BringToFrontOnce();
}

void CMainWnd::TrayToggle() {
    m_selector.UpdateNoDeviceNotice();
    const bool shown = isVisible() && !isMinimized();
    CloseSecondaryWindows();
    if (shown) {
        hide();
        TellPagesHidden(true);
        return;
    }
    BringToFrontOnce();
    update();
    TellPagesHidden(false);
}

void CMainWnd::ShowTrayMenu() {
    delete m_trayMenu.data();
    // The desktop places the menu at the pointer; it keeps it on the screen itself.
    m_trayMenu = CMenuWnd::Show(QStringLiteral("menu.xml"), QCursor::pos(),
                                CMenuWnd::kAlignRight | CMenuWnd::kAlignBottom,
                                [this](const QString& item) {
                                    // Run after the menu has finished handling the click: "exit"
                                    // stops the workers while delivering events, which may delete
                                    // the menu, and QMenu still writes to itself once its
                                    // triggered signal returns (heap corruption, seen as a rare
                                    // malloc abort or crash on exit).
                                    QTimer::singleShot(0, this, [this, item] { OnMenuItem(item); });
                                });
}

void CMainWnd::OnMenuItem(const QString& itemName) {
    if (itemName.compare("exit", Qt::CaseInsensitive) == 0) {
        CloseSecondaryWindows();
        m_exiting = true;
        DebugLog("退出测试");
        StopWorkers();
        m_tray.Remove();
        close();
        emit ExitRequested();
        return;
    }
    m_router->OnMenuCommand(itemName);
}

bool CMainWnd::StopWorkers() {
    if (m_workersStopped) return true;
    m_workersStopped = true;
    hide();
    bool allStopped = true;
    if (m_discovery) {
        m_discovery->RequestStop();
        // A send of the discovery thread may be waiting for this thread: keep delivering.
        const bool ended = m_discovery->Stop(std::chrono::milliseconds(kWorkerStopMs), [] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        });
        DebugLog(ended ? "所有对象处于激发状态\n" : "所有对象处于非激发状态，超时\n");
        allStopped = ended;
    }
    // The companion hears its disconnect commands while the pages it feeds are still there.
    if (m_audio) m_audio->Shutdown();
    const int syncStopped = m_lightingSync->Stop(kWorkerStopMs);
    if (syncStopped == 0) {
        DebugLog("所有对象处于非激发状态，超时\n");
        allStopped = false;
    }
    if (m_pages) m_pages->CloseAll();
    return allStopped;
}

void CMainWnd::ApplyLanguage(int index) {
    if (!m_language.Apply(index)) return;
    // Texts the pages compose from a language text and a value are not retexted by the language
    // file's reload.
    if (m_pages) {
        for (CTavimondUSBDevice* page : m_pages->Keyboards()) {
            if (auto* keyboard = dynamic_cast<CTavimondKeyboardDevice*>(page)) keyboard->RefreshLanguageTexts();
        }
    }
    update();
    m_settings->LanguageChanged();
}

void CMainWnd::SetLightControlFlag(int flag, bool broadcast) {
    m_lightControl = flag;
    if (broadcast && m_bus) m_bus->BroadcastSystemMessage(UWM_LIGHT_STATUS_MSG, 1, flag);
    if (QWidget* status = m_pm.FindControl("control_light_status")) {
        ui::SetResourceText(status, true);
        ui::SetText(status, flag ? QStringLiteral("light_control_on") : QStringLiteral("light_control_off"));
    }
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Pages()) {
        if (page->GetKind() != kTypeHeadset) TellLightControl(page, m_lightControl);
    }
}

void CMainWnd::OnLightControl(quintptr wParam, qintptr lParam) {
    if (wParam != 1) return;
    if (lParam == 0 || lParam == 1) {
        SetLightControlFlag(static_cast<int>(lParam), false);
        return;
    }
    SetLightControlFlag(m_lightControl, false);
}

QByteArray CMainWnd::BuildWorkToolRecord() {
    QByteArray record(kWorkToolRecordSize, '\0');
    const std::span<const DeviceModel> models = DeviceCatalog();
    const uint32_t head[] = {2, 3, 0, 2, static_cast<uint32_t>(models.size())};
    int slot = 0;
    for (uint32_t value : head) PutInt(record, slot++, value);
    for (const DeviceModel& model : models) {
        if ((slot + 3) * 4 > kWorkToolRecordSize) break;
        PutInt(record, slot++, model.vendorId);
        PutInt(record, slot++, model.productId);
        PutInt(record, slot++, WiredTypeCodeOf(model.deviceClass));
    }
    return record;
}

void CMainWnd::ReportToWorkTool() {
    if (m_bus) m_bus->SendWorkToolReport(BuildWorkToolRecord());
}

void CMainWnd::OnPowerBroadcast(quintptr wParam) {
    if (wParam == kPowerSuspend) {
        m_awake = false;
        if (m_pages) {
            for (CTavimondUSBDevice* page : m_pages->Pages()) TellLightControl(page, 0);
        }
        return;
    }
    if (wParam != kPowerResume) return;
    m_awake = true;
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Pages()) TellLightControl(page, m_lightControl);
    for (const auto& [message, slot] : std::exchange(m_sleptSlotChanges, {})) OnSlotMessage(message, slot);
    // The device may have been changed or reset while the machine slept: every bound page runs
    // its connection sequence again, which rereads the device and restarts its lighting.
    for (CTavimondUSBDevice* page : m_pages->Pages()) {
        CDeviceOptionUI* entry = m_pages->EntryOf(page);
        if (entry && page->CommandLink().IsConnected()) entry->StartStartUpTimer();
    }
}

void CMainWnd::OnSlotMessage(uint message, quintptr slotIndex) {
    if (!m_pages || m_workersStopped) return;
    if (message == WM_DEVICE_SLOT_ARRIVED) {
        if (!m_slots.IsValidIndex(slotIndex)) return;
        m_pages->OnSlotArrived(slotIndex);
        ConnectNewPages();
        RestoreAndBringToFront();
    } else {
        m_pages->OnSlotRemoved(slotIndex);
    }
}

void CMainWnd::OnWirelessState(quintptr kindIndex, qintptr linkUp) {
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Pages()) {
        if (page->GetKindIndex() != static_cast<int>(kindIndex)) continue;
        const int index = m_selector.IndexOf(m_pages->EntryOf(page));
        if (index < 0) return;
        if (linkUp == 0) {
            m_selector.HideEntry(index);
            DebugLog("2.4gcesvdfherhue 1");
        } else if (!ui::IsVisible(m_selector.Entry(index))) {
            m_selector.ShowEntry(index, true, m_selector.CountConnected() == 0);
        }
        return;
    }
}

void CMainWnd::QueuePermissionNotice(const QString& path) {
    Sink::Queue(GetHWND(), *m_notices, path);
}

void CMainWnd::OnPermissionNotices() {
    std::deque<QString> paths;
    {
        std::lock_guard<std::mutex> guard(m_notices->lock);
        paths.swap(m_notices->paths);
    }
    bool added = false;
    for (const QString& path : paths) {
        if (m_permissionPaths.contains(path)) continue;
        m_permissionPaths << path;
        added = true;
    }
    QWidget* notice = m_pm.FindControl("nodevice_permission");
    if (notice == nullptr || !added) return;
    // The fix names a rules file only root can change: the one installed with the program. A
    // build tree's file is the user's own, so the notice says to read it and copy it as root.
    const UdevRulesFile rules =
        FindUdevRulesFile(UdevRulesFolders(), InstallFolder(),
                          std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
    const char* hintKey = "permission_hint";
    if (rules.kind == UdevRulesFile::Kind::InstalledElsewhere) hintKey = "permission_hint_elsewhere";
    if (rules.kind == UdevRulesFile::Kind::BuildTree) hintKey = "permission_hint_build";
    if (rules.kind == UdevRulesFile::Kind::Missing) hintKey = "permission_hint_missing";
    if (QWidget* hint = m_pm.FindControl("nodevice_permission_hint")) {
        ui::SetResourceText(hint, true);
        ui::SetText(hint, QString::fromLatin1(hintKey));
    }
    if (QWidget* command = m_pm.FindControl("nodevice_permission_command")) {
        ui::SetText(command, QString::fromStdString(UdevRulesCommand(rules)));
        ui::SetVisible(command, rules.kind != UdevRulesFile::Kind::Missing);
    }
    ui::SetVisible(notice, true);
}

qintptr CMainWnd::HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) {
    handled = true;
    if (message == UWM_ACTIVATE_MSG && UWM_ACTIVATE_MSG != 0) {
        DebugLog(QString::asprintf("软件标示 %u，%llx%llx", message, static_cast<unsigned long long>(wParam),
                                   static_cast<unsigned long long>(lParam))
                     .toStdString());
        if (lParam == 0) m_firstScanDone = true;
        if (!m_workersStopped) RestoreAndBringToFront();
        return 0;
    }
    if (message == UWM_UPDATE_PROGRESS_MSG && UWM_UPDATE_PROGRESS_MSG != 0) {
        m_settings->ForwardProgress(message, wParam, lParam);
        return 0;
    }
    if (message == UWM_LIGHT_CONTROL_MSG && UWM_LIGHT_CONTROL_MSG != 0) {
        OnLightControl(wParam, lParam);
        return 0;
    }
    if (message == UWM_WORKTOOL_MSG && UWM_WORKTOOL_MSG != 0) {
        ReportToWorkTool();
        return 0;
    }
    if (message == WM_POWERBROADCAST) {
        OnPowerBroadcast(wParam);
        return 0;
    }
    if (m_awake && HandleHookMessage(message, wParam, lParam)) return 0;
    if (m_awake && HandleAwakeMessage(message, wParam, lParam)) return 0;
    if (!m_awake && (message == WM_DEVICE_SLOT_ARRIVED || message == WM_DEVICE_SLOT_REMOVED)) {
        m_sleptSlotChanges.emplace_back(message, wParam);
        return 0;
    }
    handled = false;
    return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

bool CMainWnd::HandleAwakeMessage(uint message, quintptr wParam, qintptr lParam) {
    switch (message) {
        case WM_TRAY_NOTIFY:
            if (static_cast<uint>(lParam) == kTrayLeftUp) TrayToggle();
            if (static_cast<uint>(lParam) == kTrayRightUp)
                QTimer::singleShot(kTrayMenuDelayMs, this, [this] { ShowTrayMenu(); });
            return true;
        case WM_SHOW_SETTING_PROGRESS:
            ui::SetVisible(m_pm.FindControl("setting_progress"), true);
            return true;
        case WM_LANGUAGE_CHANGED:
            ApplyLanguage(static_cast<int>(wParam));
            return true;
        case WM_OPEN_SETTINGS:
            OpenSettingsWindow(true);
            return true;
        case WM_CLEAR_UPDATE_MARK:
            CSettingsLauncher::ClearUpdateMark(m_setBtn);
            return true;
        case WM_DEVICE_SLOT_ARRIVED:
        case WM_DEVICE_SLOT_REMOVED:
            OnSlotMessage(message, wParam);
            return true;
        case WM_DEVICE_PERMISSION:
            OnPermissionNotices();
            return true;
        case WM_WIRELESS_STATE:
            OnWirelessState(wParam, lParam);
            return true;
        case WM_DEVICE_NOT_ANSWERING:
            ShowDeviceNotice(QStringLiteral("device_not_answering"));
            return true;
        case WM_DISPLAYCHANGE:
            DebugLog("显示器分辨率发生变化");
            return true;
        default:
            return false;
    }
}

bool CMainWnd::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            m_windowActive = e->type() == QEvent::WindowActivate;
            m_pointerInside = m_windowActive;
            TellPagesPointerInside();
            break;
        case QEvent::Enter:
        case QEvent::Leave:
            DebugLog(e->type() == QEvent::Enter ? "鼠标移入" : "鼠标移出");
            if (!m_windowActive) {
                m_pointerInside = e->type() == QEvent::Enter;
                TellPagesPointerInside();
            }
            break;
        default:
            break;
    }
    return WindowImplBase::event(e);
}

void CMainWnd::ShowDeviceNotice(const QString& key) {
    if (m_deviceNotice == nullptr) m_deviceNotice = new CDeviceNotice(this);
    m_deviceNotice->Show(key);
}

void CMainWnd::closeEvent(QCloseEvent* event) {
    if (!m_exiting) {
        // Closing by the window manager hides, as the close button does.
        event->ignore();
        CloseSecondaryWindows();
        hide();
        TellPagesHidden(true);
        return;
    }
    WindowImplBase::closeEvent(event);
}

// ---- what the control routing asks of the window ----

CTavimondUSBDevice* CMainWnd::CurrentDevicePage() {
    for (int i = 0; i < m_selector.EntryCount(); ++i) {
        CDeviceOptionUI* entry = m_selector.Entry(i);
        if (entry == nullptr || !ui::IsVisible(entry) || !entry->IsSelected()) continue;
        return entry->GetDevicePage();
    }
    return nullptr;
}

QWidget* CMainWnd::FindWindowControl(const QString& name) {
    return m_pm.FindControl(name);
}

void CMainWnd::OnDeviceSelectChanged() {
    m_selector.OnSelectionChanged();
}

void CMainWnd::SelectAdjacentDevice(bool next) {
    if (next) {
        m_selector.SelectNext();
    } else {
        m_selector.SelectPrevious();
    }
}

int CMainWnd::AskQuestion(const QString& key) {
    return ShowMessageBox(this, QString(), key, GetDPI(), true, 1);
}

int CMainWnd::PickColour(QRgb& colour) {
    // One picker at a time: a second click while one is open (its modal loop runs this window's
    // timers) does nothing.
    if (m_picker || m_workersStopped) return 0;
    return vx::panels::CColorSelectWnd::PickColour(this, GetDPI(), colour, &m_picker);
}

void CMainWnd::ShowNotice(const QString& key) {
    ShowMessageBox(this, QString(), key, GetDPI(), true, 0);
}

QString CMainWnd::OpenFileDialog(const QString& filterName, const QString& pattern) {
    return ui::AskOpenFile(this, QtFilter(filterName, pattern));
}

QString CMainWnd::SaveFileDialog(const QString& filterName, const QString& pattern) {
    // The first pattern's suffix ("*.json" gives "json") is added to a name typed without it.
    const QString first = pattern.section(QLatin1Char(';'), 0, 0).trimmed();
    const QString suffix = first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
    return ui::AskSaveFile(this, QtFilter(filterName, pattern), suffix);
}

void CMainWnd::SetWindowTimer(int id, int periodMs) {
    QTimer*& timer = m_routerTimers[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { m_router->OnTimer(id); });
    }
    timer->start(periodMs);
}

void CMainWnd::KillWindowTimer(int id) {
    const auto it = m_routerTimers.find(id);
    if (it != m_routerTimers.end()) it->second->stop();
}

QSize CMainWnd::ScreenSize() {
    const QScreen* shown = screen();
    return shown ? shown->size() : QSize();
}

bool CMainWnd::LaunchDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

void CMainWnd::SendCompanionCommand(int command, int value) {
    if (m_audio) m_audio->SendCommand(command, value);
}

void CMainWnd::OpenAudioStyleWindow() {
    m_shellWindows->OpenAudioStyles();
}

void CMainWnd::OpenAboutWindow() {
    m_shellWindows->OpenAbout();
}

void CMainWnd::EndKeyCapture() {
    CWindowMessages::SendMessage(GetHWND(), WM_HOOK_SWITCH, 0, 0);
}

// ---- the input hook ----

bool CMainWnd::HandleHookMessage(uint message, quintptr wParam, qintptr lParam) {
    if (message == WM_HOOK_SWITCH) {
        OnHookSwitch(wParam);
        return true;
    }
    if (message < vx::widgets::wm::kFirstRegistered) return false;
    if (message == UWM_GAME_START_MSG || message == UWM_GAME_END_MSG || message == UWM_GAME_KILL_MSG ||
        message == UWM_GAME_DEATH_MSG) {
        OnGameEvent(wParam, lParam);
        return true;
    }
    if (!vx::app::IsHookMessage(message)) return false;
    if (message == WM_HOOK_KEY_MSMACRO_MSG) DebugLog("WM_HOOK_KEY_MSMACRO");
    CTavimondUSBDevice* page = CurrentDevicePage();
    vx::app::DeliverHookMessage(page ? page->HookEventSink() : nullptr, message, wParam, lParam);
    return true;
}

void CMainWnd::OnHookSwitch(quintptr on) {
    if (on == 1) {
        m_hook.SetHook(0, vx::platform::kHookSingleKey, GetHWND(), true, true);
        TellCaptureNote();
    } else if (on == 0) {
        m_hook.RemoveHook();
    }
}

void CMainWnd::TellCaptureNote() {
    CTavimondUSBDevice* page = CurrentDevicePage();
    IHookEventSink* sink = page ? page->HookEventSink() : nullptr;
    if (sink == nullptr) return;
    const QByteArray key = vx::app::CaptureScopeNoteKey(m_hook.Scope()).toLatin1();
    sink->OnCaptureNote(key.constData());
}

void CMainWnd::SetRecordHook(int mode, bool on, bool useKeyboardHook, bool useLibrary) {
    if (on) {
        // A hook that cannot be installed still locks: the panel's recording runs and is ended
        // by its stop button as usual.
        m_hook.SetHook(0, mode, GetHWND(), useKeyboardHook, useLibrary);
    } else {
        m_hook.RemoveHook();
    }
    ApplyRecordingLock(on);
}

void CMainWnd::ApplyRecordingLock(bool locked) {
    m_recordUnlocked = !locked;
    m_selector.SetLocked(locked);
    CTavimondUSBDevice* page = CurrentDevicePage();
    if (page == nullptr || page->GetPage() == nullptr) return;
    for (const char* name : {"DeviceProfileItem", "KeySetControlItem"}) {
        if (QWidget* panel = page->GetPage()->findChild<QWidget*>(QLatin1String(name))) panel->setEnabled(!locked);
    }
}

void CMainWnd::StartRecording(int delayMode, int hookMode) {
    // The macro panel asking has taken the delay mode already.
    (void)delayMode;
    SetRecordHook(hookMode, true, true, true);
    TellCaptureNote();
}

void CMainWnd::StopRecording() {
    SetRecordHook(vx::platform::kHookMacro, false, true, true);
}

bool CMainWnd::GameRestorePending() const {
    return m_gameTimer && m_gameTimer->isActive();
}

namespace {

// The page's light settings: its profile's when it has one, else its engine's.
LightInfo PageLightInfo(CTavimondUSBDevice& page) {
    if (vx::profiles::CBasicProfiledata* data = page.GetProfileData()) return data->GetLightInfo();
    return page.GetLightInfo();
}

}  // namespace

void CMainWnd::OnGameEvent(quintptr kind, qintptr mode) {
    CTavimondUSBDevice* page = CurrentDevicePage();
    CLightControlUI* panel = page ? CPagePanels::LightPanelOf(page) : nullptr;
    if (page && panel && kind <= 2 && mode >= 0 && mode <= 255) {
        LightInfo info = PageLightInfo(*page);
        if (kind == 0) info.oldLedmode = (info.selectItem >= 1 && info.selectItem <= 20) ? info.selectItem : 1;
        info.selectItem = static_cast<uint8_t>(mode);
        // A mode the page does not have leaves the lighting as it is.
        if (!panel->ApplyLightRecord(info)) DebugLog("game event: no light mode " + std::to_string(mode));
    }
    if (m_gameTimer == nullptr) {
        m_gameTimer = new QTimer(this);
        m_gameTimer->setSingleShot(true);
        // A coarse timer may end the five seconds a quarter second early.
        m_gameTimer->setTimerType(Qt::PreciseTimer);
        connect(m_gameTimer, &QTimer::timeout, this, [this] {
            if (m_awake) OnGameTimer();
        });
    }
    m_gameTimer->start(m_gameRestoreMs);
}

void CMainWnd::OnGameTimer() {
    CTavimondUSBDevice* page = CurrentDevicePage();
    CLightControlUI* panel = page ? CPagePanels::LightPanelOf(page) : nullptr;
    if (page == nullptr || panel == nullptr) return;
    LightInfo info = PageLightInfo(*page);
    info.selectItem = info.oldLedmode;
    panel->ApplyLightRecord(info);
}

void CMainWnd::ConnectNewPages() {
    if (!m_pages) return;
    const std::vector<CTavimondUSBDevice*> pages = m_pages->Pages();
    for (size_t i = m_pagesConnected; i < pages.size(); ++i) {
        CPagePanels::Connect(*pages[i], m_syncPages.get(), this);
        pages[i]->SetRecordingHost(this);
        m_syncPages->AddPage(pages[i]);
    }
    m_pagesConnected = pages.size();
}

void CMainWnd::OnSyncAvailable(bool available) {
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Pages()) {
        if (CLightControlUI* panel = CPagePanels::LightPanelOf(page)) panel->SetSyncAvailable(available);
    }
    if (available) return;
    for (CTavimondUSBDevice* page : m_pages->Headsets()) m_syncPages->Leave(page);
}

}  // namespace vx::app
