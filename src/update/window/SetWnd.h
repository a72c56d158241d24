#pragma once
// The settings window ("SetWnd", layout "setwnd.xml", 630 × 500): the interface language and the
// list of available updates. As soon as it is shown it starts an update check on a worker
// thread (CUpdateWorker); the worker's results come back through a queue that this window
// drains on its own thread, in the order the check made them.
//
// It talks to its owner (the main window) by window messages only: the language choice
// (kMsgLanguageChanged with the index) and the end of the update badge (kMsgClearUpdateMark).

#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "update/UpdateCheck.h"
#include "update/UpdateWorker.h"
#include "widgets/WindowImplBase.h"

namespace vx::widgets { class CListUI; }
namespace vx::update {

class CUpdateInfoListItemUI;

class CSetWnd : public vx::widgets::WindowImplBase {
    Q_OBJECT
public:
    static constexpr int kWidth = 630;
    static constexpr int kHeight = 500;
    static constexpr int kStopBoundMs = 500;
    // The owner's private messages.
    static constexpr uint kMsgLanguageChanged = 0x0C11;
    static constexpr uint kMsgClearUpdateMark = 0x0C16;
    // The worker's queued calls are waiting.
    static constexpr uint kMsgUpdateQueue = vx::widgets::wm::kUser + 0x301;
    static constexpr uint kSysMinimize = 0xF020, kSysMaximize = 0xF030, kSysRestore = 0xF120, kSysClose = 0xF060;
    static constexpr uint kSysCommand = 0x0112;

    explicit CSetWnd(QWidget* parent = nullptr);
    ~CSetWnd() override;

    // Before the window is shown.
    void SetDpi(int dpi);
    void SetOwnerInfo(vx::widgets::WindowHandle owner, int languageIndex);
    // The registered number of the updater's progress message.
    void SetProgressMessage(uint message) { m_progressMessage = message; }
    void SetUpdateService(std::string address, HttpSettings http);
    void SetUpdateCandidates(std::vector<ProductEntry> candidates) { m_candidates = std::move(candidates); }
    std::vector<ProductEntry> GetUpdateCandidates() const { return m_candidates; }

    // The status area (UpdateState).
    void ShowUpdateState(int state);
    int UpdateState() const { return m_state; }
    bool AddUpdateRow(const UpdateResult& record);
    bool UpdateRow(const UpdateResult& record);
    int RowCount() const;
    CUpdateInfoListItemUI* Row(int index) const;
    const std::vector<UpdateResult>& Results() const { return m_results; }
    QString LastCheckDate() const { return m_lastCheckDate; }
    int LanguageIndex() const { return m_languageIndex; }

    // Signals the worker and waits for it within kStopBoundMs. True when it had ended.
    bool StopWorkers();
    // Ends the window whatever its rows show (the program is going away).
    void ForceClose();

    void Notify(vx::widgets::TNotifyUI& msg) override;
    QWidget* CreateControl(const QString& className, QWidget* parent) override;

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_SETWND"); }
    QString GetWindowClassName() const override { return QStringLiteral("SetWnd"); }
    void InitWindow() override;
    qintptr HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class QueuedView;
    struct Queue {
        std::mutex lock;
        std::deque<std::function<void(CSetWnd&)>> calls;
    };

    void OnWindowInit();
    void OnClick(QWidget* sender);
    void OnCheckChanged();
    void OnLanguageChosen();
    void OnProgress(quintptr wParam, qintptr lParam);
    void OnConfirmUpdate();
    void FinishCheck(const std::vector<int>& selectable, int state);
    void DrainQueue();
    bool MayClose() const;
    void SetUpdateButton(bool on);
    std::string LocalFilePath(const std::string& displayName) const;

    vx::widgets::WindowHandle m_owner = 0;
    int m_languageIndex = -1;
    int m_state = 0;
    uint m_progressMessage = 0;
    QString m_lastCheckDate;
    std::vector<ProductEntry> m_candidates;
    std::vector<UpdateResult> m_results;
    int m_rowCount = 0;
    int m_updatingRow = -1;
    bool m_forceClose = false;
    bool m_initDone = false;
    std::string m_serviceAddress;
    HttpSettings m_http;
    std::shared_ptr<Queue> m_queue = std::make_shared<Queue>();
    std::unique_ptr<CUpdateWorker> m_worker;

    vx::widgets::CListUI* m_list = nullptr;
    QWidget* m_ring = nullptr;
    QWidget* m_image = nullptr;
    QWidget* m_statusText = nullptr;
    QWidget* m_updateButton = nullptr;
    QWidget* m_tabs = nullptr;
};

}  // namespace vx::update
