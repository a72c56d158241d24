#include "app/AboutWnd.h"

#include <QEvent>

#include "app/MainWndMessages.h"
#include "widgets/ControlUI.h"

using vx::widgets::TNotifyUI;
namespace ui = vx::widgets::ui;
namespace notify = vx::widgets::notify;

namespace vx::app {

#ifndef VX_PROGRAM_VERSION
#define VX_PROGRAM_VERSION "0"
#endif

QString CAboutWnd::VersionText() {
    return QStringLiteral(VX_PROGRAM_VERSION);
}

void CAboutWnd::InitWindow() {
    m_closeBtn = m_pm.FindControl("closebtn");
    m_maxBtn = m_pm.FindControl("maxbtn");
    m_restoreBtn = m_pm.FindControl("restorebtn");
    m_minBtn = m_pm.FindControl("minbtn");
    m_menuBtn = m_pm.FindControl("menubtn");
    // The language's text is read back from a key-mode label, so that it follows the language
    // the window was built in.
    QWidget* probe = m_pm.FindControl("text_test");
    ui::SetResourceText(probe, true);
    ui::SetText(probe, QStringLiteral("software_rev_text"));
    ui::SetText(m_pm.FindControl("software_ver_label"), ui::GetText(probe) + VersionText());
    UpdateMaxRestore();
}

void CAboutWnd::Notify(TNotifyUI& msg) {
    if (msg.sType != notify::kClick || msg.pSender == nullptr) return;
    if (msg.pSender == m_closeBtn) {
        Close(0);
    } else if (msg.pSender == m_minBtn) {
        showMinimized();
    } else if (msg.pSender == m_maxBtn) {
        showMaximized();
    } else if (msg.pSender == m_restoreBtn) {
        showNormal();
    }
}

void CAboutWnd::changeEvent(QEvent* event) {
    WindowImplBase::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) UpdateMaxRestore();
}

void CAboutWnd::UpdateMaxRestore() {
    const bool maximized = isMaximized();
    if (m_maxBtn) m_maxBtn->setVisible(!maximized);
    if (m_restoreBtn) m_restoreBtn->setVisible(maximized);
}

qintptr CAboutWnd::HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) {
    if (message == WM_LANGUAGE_CHANGED) {
        handled = true;
        for (QWidget* control : findChildren<QWidget*>()) ui::RefreshText(control);
        ui::SetText(m_pm.FindControl("software_ver_label"),
                    ui::GetText(m_pm.FindControl("text_test")) + VersionText());
        update();
        return 0;
    }
    return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

}  // namespace vx::app
