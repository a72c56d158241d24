#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <utility>

#include "widgets/UIDefs.h"

class QTimer;
namespace vx::widgets {

class COptionUI;
class CNotifyAdapter;

// The UI tree of one window: finds its controls by name, delivers their notifications to the
// window's handlers, runs control timers, keeps option groups and the window's DPI.
//
// Typical use from a page or panel:
//   auto* mode = pm.FindControl<CComboUI>("light_mode");   // once, then kept
//   mode->SelectItem(2);                                   // raises nothing
//   void Notify(TNotifyUI& msg) { if (msg.sType == notify::kItemSelect && msg.pSender == mode) ... }
class CPaintManagerUI : public QObject {
    Q_OBJECT
public:
    explicit CPaintManagerUI(QObject* parent = nullptr);
    ~CPaintManagerUI() override;

    // Takes the built layout as the window's tree: its controls start reporting notifications.
    void AttachRoot(QWidget* root);
    QWidget* GetRoot() const { return m_root; }
    // Connects controls added to the tree after AttachRoot (pages, list rows, sub-layouts).
    void AttachControls(QWidget* subtree);
    // The manager of the window a control belongs to, or nullptr.
    static CPaintManagerUI* FromControl(const QWidget* control);

    // The first control of that name (any letter case) in the window, or nullptr.
    QWidget* FindControl(const QString& name) const;
    template <class T>
    T* FindControl(const QString& name) const {
        return qobject_cast<T*>(FindControl(name));
    }
    // The first control of that name below `parent` (not `parent` itself).
    static QWidget* FindSubControlByName(const QWidget* parent, const QString& name);
    template <class T>
    static T* FindSubControl(const QWidget* parent, const QString& name) {
        return qobject_cast<T*>(FindSubControlByName(parent, name));
    }

    // Handlers called, in the order added, for every notification of the window's controls.
    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    // Delivers at once, on the calling (UI) thread.
    void SendNotify(QWidget* sender, const QString& type, quintptr wParam = 0, qintptr lParam = 0);
    // SendNotify through the window of `sender`; false when it belongs to no window.
    static bool Notify(QWidget* sender, const QString& type, quintptr wParam = 0, qintptr lParam = 0);

    // A timer per (control, id). Setting it again restarts it with the new period. A tick goes to
    // the control's DoTimer when it implements IControlEvents, else it is a "timer" notification
    // with the id in wParam. Timers end with their control.
    bool SetTimer(QWidget* control, int id, int periodMs);
    bool KillTimer(QWidget* control, int id);
    void KillTimers(QWidget* control);
    bool HasTimer(QWidget* control, int id) const;

    // The window's DPI (96 = 100 %); lengths in skin units are multiplied by GetDPIScale().
    void SetDPI(int dpi);
    int GetDPI() const { return m_dpi; }
    double GetDPIScale() const { return m_dpi / 96.0; }
    int ScaleValue(int value) const { return qRound(value * GetDPIScale()); }

    void AddOptionGroup(const QString& group, COptionUI* option);
    QList<COptionUI*> GetOptionGroup(const QString& group) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTimer(QWidget* control, int id);

    QPointer<QWidget> m_root;
    QList<INotifyUI*> m_notifiers;
    CNotifyAdapter* m_adapter = nullptr;
    std::map<std::pair<QWidget*, int>, QTimer*> m_timers;
    QHash<QString, QList<QPointer<COptionUI>>> m_groups;
    int m_dpi = 96;
    bool m_initSent = false;
};

}  // namespace vx::widgets
