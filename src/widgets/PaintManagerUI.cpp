#include "widgets/PaintManagerUI.h"

#include <QEvent>
#include <QLayout>
#include <QTimer>

#include "widgets/NotifyAdapter.h"
#include "widgets/OptionUI.h"

namespace vx::widgets {

namespace {
const char* const kManagerProperty = "vx_paintmanager";
}

CPaintManagerUI::CPaintManagerUI(QObject* parent) : QObject(parent), m_adapter(new CNotifyAdapter(this)) {}

CPaintManagerUI::~CPaintManagerUI() {
    if (m_root) {
        m_root->removeEventFilter(this);
        m_root->setProperty(kManagerProperty, QVariant());
    }
    for (auto& [key, timer] : m_timers) delete timer;
}

void CPaintManagerUI::AttachRoot(QWidget* root) {
    m_root = root;
    if (!root) return;
    root->setProperty(kManagerProperty, QVariant::fromValue<void*>(this));
    root->installEventFilter(this);
    AttachControls(root);
}

void CPaintManagerUI::AttachControls(QWidget* subtree) {
    if (!subtree) return;
    m_adapter->Attach(subtree);
    for (QWidget* w : subtree->findChildren<QWidget*>()) m_adapter->Attach(w);
}

CPaintManagerUI* CPaintManagerUI::FromControl(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const QVariant v = w->property(kManagerProperty);
        if (v.isValid()) return static_cast<CPaintManagerUI*>(v.value<void*>());
    }
    return nullptr;
}

QWidget* CPaintManagerUI::FindControl(const QString& name) const {
    if (!m_root || name.isEmpty()) return nullptr;
    if (m_root->objectName().compare(name, Qt::CaseInsensitive) == 0) return m_root;
    return FindSubControlByName(m_root, name);
}

QWidget* CPaintManagerUI::FindSubControlByName(const QWidget* parent, const QString& name) {
    if (!parent || name.isEmpty()) return nullptr;
    // Breadth first, so that a window's own control wins over a same-named one deep in a page.
    QList<const QWidget*> level{parent};
    while (!level.isEmpty()) {
        QList<const QWidget*> next;
        for (const QWidget* w : level) {
            for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
                next.append(child);
            }
        }
        level = next;
    }
    return nullptr;
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (notifier && !m_notifiers.contains(notifier)) m_notifiers.append(notifier);
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    m_notifiers.removeAll(notifier);
}

void CPaintManagerUI::SendNotify(QWidget* sender, const QString& type, quintptr wParam, qintptr lParam) {
    TNotifyUI msg{type, sender, wParam, lParam};
    // A handler may add or remove handlers (a page created on a click); the list is copied.
    const QList<INotifyUI*> notifiers = m_notifiers;
    for (INotifyUI* n : notifiers) {
        if (m_notifiers.contains(n)) n->Notify(msg);
    }
}

bool CPaintManagerUI::Notify(QWidget* sender, const QString& type, quintptr wParam, qintptr lParam) {
    CPaintManagerUI* pm = FromControl(sender);
    if (!pm) return false;
    pm->SendNotify(sender, type, wParam, lParam);
    return true;
}

bool CPaintManagerUI::SetTimer(QWidget* control, int id, int periodMs) {
    if (!control || periodMs <= 0) return false;
    const auto key = std::make_pair(control, id);
    auto it = m_timers.find(key);
    QTimer* timer = nullptr;
    if (it != m_timers.end()) {
        timer = it->second;
    } else {
        timer = new QTimer;
        m_timers.emplace(key, timer);
        connect(timer, &QTimer::timeout, this, [this, control, id] { OnTimer(control, id); });
        // A destroyed control must not be ticked; its timers go with it.
        connect(control, &QObject::destroyed, this, [this, control] { KillTimers(control); });
    }
    timer->start(periodMs);
    return true;
}

bool CPaintManagerUI::KillTimer(QWidget* control, int id) {
    auto it = m_timers.find(std::make_pair(control, id));
    if (it == m_timers.end()) return false;
    QTimer* timer = it->second;
    m_timers.erase(it);
    timer->stop();
    timer->deleteLater();
    return true;
}

void CPaintManagerUI::KillTimers(QWidget* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->first.first == control) {
            it->second->stop();
            it->second->deleteLater();
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool CPaintManagerUI::HasTimer(QWidget* control, int id) const {
    return m_timers.count(std::make_pair(control, id)) != 0;
}

void CPaintManagerUI::OnTimer(QWidget* control, int id) {
    if (auto* target = dynamic_cast<IControlEvents*>(control)) {
        target->DoTimer(id);
    } else {
        SendNotify(control, notify::kTimer, static_cast<quintptr>(id));
    }
}

void CPaintManagerUI::SetDPI(int dpi) {
    if (dpi <= 0) return;
    m_dpi = dpi;
    if (m_root) m_root->update();
}

void CPaintManagerUI::AddOptionGroup(const QString& group, COptionUI* option) {
    if (group.isEmpty() || !option) return;
    auto& list = m_groups[group.toLower()];
    for (const auto& existing : list) {
        if (existing == option) return;
    }
    list.append(option);
}

QList<COptionUI*> CPaintManagerUI::GetOptionGroup(const QString& group) const {
    QList<COptionUI*> out;
    for (const auto& option : m_groups.value(group.toLower())) {
        if (option) out.append(option.data());
    }
    return out;
}

bool CPaintManagerUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_root) {
        if (event->type() == QEvent::Show && !m_initSent) {
            m_initSent = true;
            if (m_root->layout()) m_root->layout()->activate();
            SendNotify(m_root, notify::kWindowInit);
        } else if (event->type() == QEvent::Resize && m_initSent) {
            SendNotify(m_root, notify::kWindowSize, static_cast<quintptr>(m_root->width()), m_root->height());
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vx::widgets
