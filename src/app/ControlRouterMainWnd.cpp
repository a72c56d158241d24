// What the control routing asks of the main window: the current device page, the window's own
// buttons and selector, questions, file dialogs, timers, and the pages' panels and same-mode
// lighting as pages are created.
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include "app/AudioLighting.h"
#include "app/ShellWindows.h"
#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "devices/lighting/LightingSync.h"
#include "app/LightingSyncPages.h"
#include "app/MainWnd.h"
#include "widgets/MsgWnd.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/LightControlUI.h"
#include "platform/DebugLog.h"
#include "widgets/ControlUI.h"
#include "widgets/FileDialogs.h"
#include "widgets/PaintManagerUI.h"

namespace {

// Qt reads the patterns from the parentheses of the filter's name ("Profile Files(*.json)");
// a name without them gets the pattern list appended.
QString QtFilter(const QString& filterName, const QString& pattern) {
    if (filterName.contains(QLatin1Char('('))) return filterName;
    QString patterns = pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return filterName + QStringLiteral(" (") + patterns.trimmed() + QStringLiteral(")");
}

}  // namespace

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

void CMainWnd::OnWindowButton(const QString& name) {
    if (QWidget* button = m_pm.FindControl(name)) OnClick(button);
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
    // Single-key capture arrives with the key-assignment panel; nothing is hooked until then.
}

void CMainWnd::ConnectNewPages() {
    if (!m_pages) return;
    const std::vector<CTavimondUSBDevice*> pages = m_pages->Pages();
    for (size_t i = m_pagesConnected; i < pages.size(); ++i) {
        CControlRouter::ConnectPagePanels(*pages[i], m_syncPages.get(), this);
        m_syncPages->AddPage(pages[i]);
    }
    m_pagesConnected = pages.size();
}

void CMainWnd::OnSyncAvailable(bool available) {
    if (!m_pages) return;
    for (CTavimondUSBDevice* page : m_pages->Pages()) {
        if (CLightControlUI* panel = CControlRouter::LightPanelOf(page)) panel->SetSyncAvailable(available);
    }
    if (available) return;
    for (CTavimondUSBDevice* page : m_pages->Headsets()) m_syncPages->Leave(page);
}
