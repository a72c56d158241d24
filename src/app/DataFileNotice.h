#pragma once
// Tells the user, in the program's message box, about a data file the program could not read,
// had to replace, or could not save (profiles/DataFileProblems.h): once per file and kind in a
// run, so that a read-only data folder costs one box, not one per change.
//
// Problems arrive on any thread (a page's save may run beside the window). They are queued and
// shown later from the window's own event loop, never from inside the code that met them: the
// box is modal, and neither a device worker nor a half-done page operation may wait for the user.

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "profiles/DataFileProblems.h"

namespace vx::app {

class CDataFileNotice : public QObject {
    Q_OBJECT
public:
    // Shows one finished text and returns when the user has closed it.
    using ShowBox = std::function<void(const QString& text)>;

    // Installs itself as the data-file problem handler until destroyed.
    explicit CDataFileNotice(ShowBox show, QObject* parent = nullptr);
    ~CDataFileNotice() override;

    // The text of the notice in the current language, the file (and where a damaged copy went)
    // named in it.
    static QString TextFor(const vx::profiles::DataFileProblem& problem);

    // Any thread. A problem already told in this run (same file, same kind) is dropped.
    void Take(const vx::profiles::DataFileProblem& problem);

private:
    void ShowPending();

    ShowBox m_show;
    std::mutex m_lock;  // m_pending and m_told
    std::deque<vx::profiles::DataFileProblem> m_pending;
    std::set<std::pair<int, std::string>> m_told;
    bool m_showing = false;  // UI thread only: a box is open, later ones wait for it
};

}  // namespace vx::app
