#include "app/DataFileNotice.h"

#include <QPointer>

#include "widgets/ResourceManager.h"

using vx::widgets::CResourceManager;

namespace vx::app {

using vx::profiles::DataFileErrorText;
using vx::profiles::DataFileProblem;
using vx::profiles::DataFileProblemKind;
using vx::profiles::SetDataFileProblemHandler;

namespace {

QString Text(const char* key) {
    const QString text = CResourceManager::GetInstance().GetText(QLatin1String(key));
    return text.isEmpty() ? QLatin1String(key) : text;
}

QString Native(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QString Reason(int error) {
    const std::string text = DataFileErrorText(error);
    return text.empty() ? Text("datafile_reason_unknown") : QString::fromStdString(text);
}

}  // namespace

CDataFileNotice::CDataFileNotice(ShowBox show, QObject* parent) : QObject(parent), m_show(std::move(show)) {
    SetDataFileProblemHandler([this](const DataFileProblem& problem) { Take(problem); });
}

CDataFileNotice::~CDataFileNotice() {
    // Waits for a report in progress on another thread; none reaches this object afterwards.
    SetDataFileProblemHandler({});
}

QString CDataFileNotice::TextFor(const DataFileProblem& problem) {
    switch (problem.kind) {
        case DataFileProblemKind::Unreadable:
            return Text("datafile_unreadable").arg(Native(problem.path), Reason(problem.error));
        case DataFileProblemKind::Broken:
            if (problem.keptAs.empty())
                return Text("datafile_broken_left").arg(Native(problem.path), Reason(problem.error));
            return Text("datafile_broken").arg(Native(problem.path), Native(problem.keptAs));
        case DataFileProblemKind::NotSaved:
            return Text("datafile_not_saved").arg(Native(problem.path), Reason(problem.error));
    }
    return {};
}

void CDataFileNotice::Take(const DataFileProblem& problem) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_told.emplace(static_cast<int>(problem.kind), problem.path.string()).second) return;
        m_pending.push_back(problem);
    }
    // Queued even on the window's own thread: the box must not open inside the save that failed.
    QMetaObject::invokeMethod(this, [this] { ShowPending(); }, Qt::QueuedConnection);
}

void CDataFileNotice::ShowPending() {
    if (m_showing) return;  // the loop below takes it when the open box closes
    QPointer<CDataFileNotice> self(this);
    for (;;) {
        DataFileProblem problem;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_pending.empty()) return;
            problem = m_pending.front();
            m_pending.pop_front();
        }
        m_showing = true;
        m_show(TextFor(problem));
        // The window (and this object with it) may have gone while the box was open.
        if (!self) return;
        m_showing = false;
    }
}

}  // namespace vx::app
