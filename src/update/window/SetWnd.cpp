#include "update/window/SetWnd.h"

#include <QCloseEvent>
#include <algorithm>
#include <QEvent>

#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "update/window/UpdateInfoListItemUI.h"
#include "update/UpdateTimeFile.h"
#include "widgets/CircleProgressUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/ListUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/TabLayoutUI.h"
#include "widgets/UIDefs.h"

namespace vx::update {

using vx::platform::DebugLog;
using vx::profiles::DefaultDataFolder;
using vx::profiles::JsonFile;
using vx::profiles::UpdateDataFolder;
using vx::profiles::UserDataFolder;

using vx::widgets::CCircleProgressUI;
using vx::widgets::CComboUI;
using vx::widgets::CResourceManager;
using vx::widgets::CTabLayoutUI;
using vx::widgets::CWindowMessages;
using vx::widgets::TNotifyUI;
using vx::widgets::WindowHandle;
using vx::widgets::WindowImplBase;
namespace ui = vx::widgets::ui;
namespace wm = vx::widgets::wm;
namespace notify = vx::widgets::notify;
using vx::widgets::CListUI;

namespace {

bool NameIs(const QWidget* control, const char* name) {
    return control && control->objectName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

// The worker's side: every call is queued for the window's thread. The queue outlives the window
// when the worker does, so a late worker never touches a window that has gone; posting to it then
// simply fails.
class CSetWnd::QueuedView : public IUpdateView {
public:
    QueuedView(WindowHandle window, std::shared_ptr<Queue> queue) : m_window(window), m_queue(std::move(queue)) {}

    void ShowUpdateState(int state) override {
        Push([state](CSetWnd& w) { w.ShowUpdateState(state); });
    }
    void AddUpdateRow(const UpdateResult& row) override {
        Push([row](CSetWnd& w) {
            if (!w.AddUpdateRow(row)) DebugLog("update: the row could not be made");
        });
    }
    void UpdateRow(const UpdateResult& row) override {
        Push([row](CSetWnd& w) { w.UpdateRow(row); });
    }
    void FinishCheck(const std::vector<int>& selectable, int state) override {
        Push([selectable, state](CSetWnd& w) { w.FinishCheck(selectable, state); });
    }

private:
    void Push(std::function<void(CSetWnd&)> call) {
        {
            std::lock_guard<std::mutex> guard(m_queue->lock);
            m_queue->calls.push_back(std::move(call));
        }
        CWindowMessages::PostMessage(m_window, kMsgUpdateQueue, 0, 0);
    }

    WindowHandle m_window;
    std::shared_ptr<Queue> m_queue;
};

CSetWnd::CSetWnd(QWidget* parent) : WindowImplBase(parent) {
    const UpdateService service = ReadUpdateService(DefaultDataFolder() / kUpdateServiceFile);
    m_serviceAddress = service.address;
    m_http.caFile = service.caFile;
}

CSetWnd::~CSetWnd() {
    StopWorkers();
}

void CSetWnd::SetDpi(int dpi) {
    SetDPI(dpi, "SET_WND DPI SET ERROR");
}

void CSetWnd::SetOwnerInfo(WindowHandle owner, int languageIndex) {
    m_owner = owner;
    m_languageIndex = languageIndex;
}

void CSetWnd::SetUpdateService(std::string address, HttpSettings http) {
    m_serviceAddress = std::move(address);
    m_http = std::move(http);
}

QWidget* CSetWnd::CreateControl(const QString& className, QWidget* parent) {
    if (className.compare(QLatin1String("CircleProgress"), Qt::CaseInsensitive) == 0)
        return new CCircleProgressUI(parent);
    return nullptr;
}

void CSetWnd::InitWindow() {
    m_list = qobject_cast<CListUI*>(m_pm.FindControl("device_update_list_info"));
    m_ring = m_pm.FindControl("update_status_ring");
    m_image = m_pm.FindControl("update_status_image");
    m_statusText = m_pm.FindControl("Update_Status_text");
    m_updateButton = m_pm.FindControl("update_fw_and_ap");
    m_tabs = m_pm.FindControl("get_update_tab_layout");
    ui::SetText(m_pm.FindControl("update_download_folder"), QString::fromStdString(UpdateDataFolder().string()));
    resize(kWidth, kHeight);
}

void CSetWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == notify::kWindowInit) {
        OnWindowInit();
    } else if (msg.sType == notify::kClick) {
        OnClick(msg.pSender);
    } else if (msg.sType == notify::kSelectChanged && NameIs(msg.pSender, "check_name_select")) {
        OnCheckChanged();
    } else if (msg.sType == notify::kItemSelect && NameIs(msg.pSender, "Language_combox_info")) {
        OnLanguageChosen();
    }
}

void CSetWnd::OnWindowInit() {
    if (m_initDone) return;
    m_initDone = true;
    if (auto* combo = qobject_cast<CComboUI*>(m_pm.FindControl("Language_combox_info"))) {
        const Json::Value root = JsonFile().ReadJson(DefaultDataFolder() / "Language.config");
        const Json::Value& list = root.isObject() ? root["Language"] : Json::Value::nullSingleton();
        if (list.isArray()) {
            for (const Json::Value& entry : list) {
                const std::string label =
                    entry.isObject() && entry["Language_text"].isString() ? entry["Language_text"].asString() : "";
                combo->AddItem(Text(label), true);
            }
        }
        combo->SelectItem(m_languageIndex);
        combo->setFocus();
    }
    const std::filesystem::path timeFile = UserDataFolder() / kUpdateTimeFile;
    std::string date = ReadLastCheckDate(timeFile);
    if (date.empty()) {
        date = TodayText();
        WriteLastCheckDate(timeFile, date);
    }
    m_lastCheckDate = Text(date);
    m_worker = std::make_unique<CUpdateWorker>(std::make_shared<QueuedView>(GetHWND(), m_queue), m_serviceAddress,
                                               m_http);
    m_worker->Start(GetUpdateCandidates());
}

void CSetWnd::ShowUpdateState(int state) {
    m_state = state;
    static const char* kKeys[] = {"GetUpdateInfoText", "HaveUpdateInfoText", "NoUpdateInfoText", "ISUpdateINGText",
                                  "UpdateIsLastText"};
    static const char* kImages[] = {"", "file='common/update/available.svg'", "file='common/update/noinfo.svg'",
                                    "file='common/update/available.svg'", "file='common/update/ok.svg'"};
    if (state < 0 || state > 4) return;
    ui::SetVisible(m_ring, state == kStateChecking);
    ui::SetVisible(m_image, state != kStateChecking);
    ui::SetBkImage(m_image, QString::fromLatin1(kImages[state]));
    if (m_image) m_image->update();
    if (state != kStateChecking) ui::SetResourceText(m_statusText, true);
    ui::SetText(m_statusText, QString::fromLatin1(kKeys[state]));
    if (state != kStateUpToDate) return;
    // The date follows the translated text, so the whole is plain text, set again whenever the
    // language changes.
    const QString text = CResourceManager::GetInstance().GetText(QStringLiteral("UpdateIsLastText")) + m_lastCheckDate;
    ui::SetResourceText(m_statusText, false);
    ui::SetText(m_statusText, text);
    if (m_owner) CWindowMessages::SendMessage(m_owner, kMsgClearUpdateMark, 0, 0);
}

std::string CSetWnd::LocalFilePath(const std::string& displayName) const {
    return (UpdateDataFolder() / (displayName + ".exe")).string();
}

bool CSetWnd::AddUpdateRow(const UpdateResult& record) {
    if (m_list == nullptr) return false;
    CUpdateInfoListItemUI* row = CUpdateInfoListItemUI::Create();
    if (row == nullptr) return false;
    row->setFixedHeight(CUpdateInfoListItemUI::kRowHeight);
    row->SetProductName(Text(record.name));
    row->SetServerVersion(Text(record.serverLabel));
    row->SetLocalVersion(Text(record.localLabel));
    row->SetStatus(record.status);
    ui::SetUserData(row, Text(record.downloadAddress));
    row->SetCheckEnabled(false);
    m_list->Add(row);
    m_pm.AttachControls(row);
    UpdateResult stored = record;
    stored.localFilePath = LocalFilePath(record.name);
    stored.rowIndex = m_list->GetCount() - 1;
    m_results.push_back(stored);
    m_rowCount = m_list->GetCount();
    return true;
}

bool CSetWnd::UpdateRow(const UpdateResult& record) {
    CUpdateInfoListItemUI* row = Row(record.rowIndex);
    if (row == nullptr || record.rowIndex >= static_cast<int>(m_results.size())) return false;
    row->setFixedHeight(CUpdateInfoListItemUI::kRowHeight);
    row->SetProductName(Text(record.name));
    row->SetLocalVersion(Text(record.localLabel));
    row->SetServerVersion(record.status == kStatusCurrent ? QString() : Text(record.serverLabel));
    row->SetStatus(record.status);
    if (record.failed) row->ShowNoInformation();
    ui::SetUserData(row, Text(record.downloadAddress));
    row->SetCheckEnabled(false);
    UpdateResult stored = record;
    stored.localFilePath = LocalFilePath(record.name);
    m_results[record.rowIndex] = stored;
    m_rowCount = m_list->GetCount();
    // The file says when the service was last asked; the window keeps showing the previous date.
    WriteLastCheckDate(UserDataFolder() / kUpdateTimeFile, TodayText());
    return true;
}

void CSetWnd::FinishCheck(const std::vector<int>& selectable, int state) {
    for (int i = 0; i < RowCount(); ++i) {
        CUpdateInfoListItemUI* row = Row(i);
        if (std::find(selectable.begin(), selectable.end(), i) != selectable.end()) {
            row->SetCheckEnabled(true);
            row->SetChecked(true);
            SetUpdateButton(true);
        } else {
            row->SetCheckEnabled(false);
        }
    }
    ShowUpdateState(state);
}

int CSetWnd::RowCount() const {
    return m_list ? m_list->GetCount() : 0;
}

CUpdateInfoListItemUI* CSetWnd::Row(int index) const {
    if (m_list == nullptr || index < 0 || index >= m_list->GetCount()) return nullptr;
    return qobject_cast<CUpdateInfoListItemUI*>(m_list->GetItemAt(index));
}

void CSetWnd::SetUpdateButton(bool on) {
    ui::SetEnabled(m_updateButton, on);
    ui::SetVisible(m_updateButton, on);
}

void CSetWnd::OnClick(QWidget* sender) {
    if (sender == nullptr) return;
    if (NameIs(sender, "closebtn") || NameIs(sender, "laterbtn")) {
        StopWorkers();
        close();
    } else if (NameIs(sender, "minbtn")) {
        CWindowMessages::SendMessage(GetHWND(), kSysCommand, kSysMinimize, 0);
    } else if (NameIs(sender, "maxbtn")) {
        CWindowMessages::SendMessage(GetHWND(), kSysCommand, kSysMaximize, 0);
    } else if (NameIs(sender, "restorebtn")) {
        CWindowMessages::SendMessage(GetHWND(), kSysCommand, kSysRestore, 0);
    } else if (NameIs(sender, "set_in_update_wnd_btn")) {
        ui::SetVisible(m_pm.FindControl("update_tishi_layout"), false);
        resize(kWidth, kHeight);
    } else if (NameIs(sender, "update_fw_and_ap")) {
        if (auto* tabs = qobject_cast<CTabLayoutUI*>(m_tabs)) tabs->SelectItem(1);
    } else if (NameIs(sender, "update_OK_btn")) {
        OnConfirmUpdate();
    }
}

void CSetWnd::OnConfirmUpdate() {
    for (int i = 0; i < RowCount(); ++i) {
        CUpdateInfoListItemUI* row = Row(i);
        if (row->GetStatus() != kStatusOffered && row->GetStatus() != kStatusOfferedAgain) continue;
        if (row->IsChecked()) {
            row->SetStatus(kStatusWaiting);
            // The updater reports on the first confirmed row first.
            if (m_updatingRow < 0 || Row(m_updatingRow)->GetStatus() == kStatusCurrent) m_updatingRow = i;
        } else {
            row->SetCheckEnabled(false);
        }
    }
    ui::SetEnabled(m_updateButton, false);
    if (auto* tabs = qobject_cast<CTabLayoutUI*>(m_tabs)) tabs->SelectItem(0);
    if (m_updatingRow >= 0) ShowUpdateState(kStateUpdating);
}

void CSetWnd::OnCheckChanged() {
    bool any = false;
    for (int i = 0; i < RowCount(); ++i) any = any || Row(i)->IsChecked();
    SetUpdateButton(any);
}

void CSetWnd::OnLanguageChosen() {
    auto* combo = qobject_cast<CComboUI*>(m_pm.FindControl("Language_combox_info"));
    if (combo == nullptr || m_owner == 0) return;
    m_languageIndex = combo->GetCurSel();
    CWindowMessages::SendMessage(m_owner, kMsgLanguageChanged, static_cast<quintptr>(m_languageIndex), 0);
}

void CSetWnd::OnProgress(quintptr wParam, qintptr lParam) {
    CUpdateInfoListItemUI* row = Row(m_updatingRow);
    if (row == nullptr) return;
    if (wParam == 1) {
        row->SetLocalVersion(row->GetServerVersion());
        row->SetServerVersion(QString());
        row->SetStatus(kStatusCurrent);
        row->SetChecked(false);
        for (int i = 0; i < RowCount(); ++i) {
            CUpdateInfoListItemUI* next = Row(i);
            if (next->IsChecked() && next->GetStatus() != kStatusCurrent) {
                m_updatingRow = i;  // that row is next
                return;
            }
        }
        m_updatingRow = -1;
        bool waiting = false;
        for (int i = 0; i < RowCount(); ++i) {
            if (Row(i)->GetStatus() == kStatusCurrent) continue;
            Row(i)->SetCheckEnabled(true);
            waiting = true;
        }
        ShowUpdateState(waiting ? kStateAvailable : kStateUpToDate);
    } else if (wParam == 2 || wParam == 3) {
        row->SetStatus(kStatusFailed);
    } else if (wParam == 4) {
        // The first progress report starts the download the row was waiting for.
        if (row->GetStatus() == kStatusWaiting) row->SetStatus(kStatusDownloading);
        row->SetProgress(static_cast<int>(std::clamp<qintptr>(lParam, 0, 100)));
    }
}

qintptr CSetWnd::HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) {
    handled = true;
    if (message == kMsgUpdateQueue) {
        DrainQueue();
        return 0;
    }
    if (m_progressMessage != 0 && message == m_progressMessage) {
        OnProgress(wParam, lParam);
        return 0;
    }
    if (message == kMsgLanguageChanged) {
        if (m_state == kStateUpToDate) ShowUpdateState(kStateUpToDate);
        update();
        return 0;
    }
    if (message == kSysCommand) {
        if (wParam == kSysClose) {
            ForceClose();
        } else if (wParam == kSysMinimize) {
            showMinimized();
        } else if (wParam == kSysMaximize) {
            showMaximized();
        } else if (wParam == kSysRestore) {
            showNormal();
        }
        return 0;
    }
    if (message == wm::kClose) {
        close();
        return 0;
    }
    handled = false;
    return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

void CSetWnd::DrainQueue() {
    std::deque<std::function<void(CSetWnd&)>> calls;
    {
        std::lock_guard<std::mutex> guard(m_queue->lock);
        calls.swap(m_queue->calls);
    }
    for (auto& call : calls) call(*this);
}

bool CSetWnd::MayClose() const {
    for (int i = 0; i < RowCount(); ++i) {
        const int status = Row(i)->GetStatus();
        if (status != kStatusOffered && status != kStatusOfferedAgain && status != kStatusCurrent &&
            status != kStatusFailed)
            return false;
    }
    return true;
}

bool CSetWnd::StopWorkers() {
    if (!m_worker) return true;
    const bool ended = m_worker->Stop(std::chrono::milliseconds(kStopBoundMs));
    DebugLog(ended ? "所有对象处于激发状态\n" : "所有对象处于非激发状态，超时\n");
    m_worker.reset();
    return ended;
}

void CSetWnd::ForceClose() {
    m_forceClose = true;
    StopWorkers();
    close();
}

void CSetWnd::closeEvent(QCloseEvent* event) {
    // A row waiting for, or in the middle of, its download or update keeps the window open.
    if (!m_forceClose && !MayClose()) {
        event->ignore();
        return;
    }
    StopWorkers();
    WindowImplBase::closeEvent(event);
}

}  // namespace vx::update
