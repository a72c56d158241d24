#include "app/SkinFrame.h"

#include <QEvent>
#include <QFileDialog>
#include <QSettings>

#include "app/SkinChange.h"
#include "profiles/DataFolders.h"
#include "widgets/ControlUI.h"
#include "widgets/FileDialogs.h"
#include "widgets/TabLayoutUI.h"

using vx::widgets::CTabLayoutUI;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;

namespace vx::app {

using vx::profiles::UserDataFolder;

SkinChangedObserver& SkinChangeSubject() {
    // Never destroyed: receivers may detach during the program's own teardown.
    static auto* subject = new SkinChangedObserver;
    return *subject;
}

namespace {
bool Is(const QWidget* control, const char* name) {
    return control && control->objectName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}
}  // namespace

CSkinFrame::CSkinFrame(QWidget* mainWindow, QWidget* anchor)
    : WindowImplBase(nullptr), m_mainWindow(mainWindow), m_anchor(anchor) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CSkinFrame* CSkinFrame::Open(QWidget* mainWindow, QWidget* anchor) {
    auto* frame = new CSkinFrame(mainWindow, anchor);
    // A tool window without a frame, on top, not in the task bar.
    if (!frame->Create(nullptr, QStringLiteral("skinframe"), kStyleVisible,
                       kExStyleToolWindow | kExStyleTopmost)) {
        delete frame;
        return nullptr;
    }
    frame->PlaceUnderAnchor();
    frame->show();
    frame->activateWindow();
    return frame;
}

void CSkinFrame::InitWindow() {
    if (auto* tabs = m_pm.FindControl<CTabLayoutUI>("skin_tab")) tabs->SelectItem(0);
}

void CSkinFrame::PlaceUnderAnchor() {
    if (!m_anchor || !m_mainWindow) return;
    // The panel's top-right corner at the skin button's bottom-right corner.
    const QRect anchor(m_anchor->mapTo(m_mainWindow, QPoint(0, 0)), m_anchor->size());
    const QPoint local(anchor.right() + 1 - width(), anchor.bottom() + 1);
    move(m_mainWindow->mapToGlobal(local));
}

bool CSkinFrame::event(QEvent* e) {
    // A popup closes by itself when the user clicks elsewhere; deactivation covers window
    // managers that do not give popups that rule.
    if (e->type() == QEvent::WindowActivate) m_hadFocus = true;
    if (e->type() == QEvent::WindowDeactivate && m_hadFocus) Close(0);
    return WindowImplBase::event(e);
}

void CSkinFrame::WriteSkinRecord(const QString& flags, const QString& image) {
    // An INI file, as the record always was; its result is not looked at.
    QSettings record(QString::fromStdString((UserDataFolder() / "main.ini").string()), QSettings::IniFormat);
    record.setValue(QStringLiteral("SKINIMAGE/FLAGS"), flags);
    record.setValue(QStringLiteral("SKINIMAGE/IMAGE"), image);
    record.sync();
}

void CSkinFrame::Notify(TNotifyUI& msg) {
    if (msg.sType != notify::kClick || msg.pSender == nullptr) return;
    QWidget* sender = msg.pSender;
    auto* tabs = m_pm.FindControl<CTabLayoutUI>("skin_tab");
    if (Is(sender, "skin_image_btn")) {
        const QString image = ui::GetUserData(sender);
        SkinChangeSubject().Broadcast({false, 0, image});
        WriteSkinRecord(QStringLiteral("1"), image);
    } else if (Is(sender, "skin_color_btn")) {
        SkinChangeSubject().Broadcast({true, ui::GetBkColor(sender), QString()});
    } else if (Is(sender, "skin_color")) {
        if (tabs) tabs->SelectItem(1);
    } else if (Is(sender, "skin_image")) {
        if (tabs) tabs->SelectItem(0);
    } else if (Is(sender, "skin_reset")) {
        const QString image = QStringLiteral("common/background.png");
        SkinChangeSubject().Broadcast({false, 0, image});
        WriteSkinRecord(QStringLiteral("0"), image);
    } else if (Is(sender, "skin_Custom")) {
        m_hadFocus = false;  // the dialog takes the focus; that is no reason to close
        const QString path = ui::AskOpenFile(this, QStringLiteral("(*.png) (*.png);;(*.*) (*)"));
        if (!path.isEmpty()) SkinChangeSubject().Broadcast({false, 0, path});
    }
}

}  // namespace vx::app
