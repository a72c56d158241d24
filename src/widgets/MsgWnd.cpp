#include "widgets/MsgWnd.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <algorithm>

#include "widgets/ControlUI.h"

namespace vx::widgets {

void CMsgWnd::InitWindow() {
    m_closeButton = m_pm.FindControl("closebtn");
}

void CMsgWnd::SetTitle(const QString& title) {
    if (!title.isEmpty()) ui::SetText(m_pm.FindControl("MessageTitle"), title);
}

void CMsgWnd::SetText(const QString& text, bool textIsKey) {
    QWidget* control = m_pm.FindControl("MessageText");
    ui::SetResourceText(control, textIsKey);
    if (!text.isEmpty()) ui::SetText(control, text);
}

void CMsgWnd::SetButtonMode(int mode) {
    if (mode != 0 && mode != 1) return;
    ui::SetVisible(m_pm.FindControl("cancel_btn"), mode == 1);
    ui::SetVisible(m_pm.FindControl("confirm_btn"), true);
}

void CMsgWnd::GrowToFitText() {
    QLayout* box = layout();
    if (box == nullptr) return;
    box->activate();
    const int needed = box->hasHeightForWidth() ? box->totalHeightForWidth(width()) : box->totalSizeHint().height();
    int limit = needed;
    if (QScreen* screen = QGuiApplication::primaryScreen()) limit = screen->availableGeometry().height();
    if (needed > height()) resize(width(), std::min(needed, limit));
}

void CMsgWnd::Notify(TNotifyUI& msg) {
    if (msg.sType != notify::kClick || !msg.pSender) return;
    const QString name = msg.pSender->objectName();
    if (name.compare("confirm_btn", Qt::CaseInsensitive) == 0) {
        Close(1);
    } else if (name.compare("cancel_btn", Qt::CaseInsensitive) == 0 ||
               name.compare("closebtn", Qt::CaseInsensitive) == 0) {
        Close(0);
    }
}

int ShowMessageBox(QWidget* parent, const QString& title, const QString& text, int dpi, bool textIsKey,
                   int buttonMode) {
    CMsgWnd box;
    if (!box.Create(parent ? parent->window() : nullptr, QStringLiteral("msgwnd"), 0x82000000u,
                    WindowImplBase::kExStyleToolWindow)) {
        return 0;
    }
    box.SetTitle(title);
    box.SetText(text, textIsKey);
    box.SetDPI(dpi, "MSG_WND DPI SET ERROR");
    box.SetButtonMode(buttonMode);
    box.GrowToFitText();
    box.CenterWindow();
    return box.ShowModal() == 1 ? 1 : 0;
}

}  // namespace vx::widgets
