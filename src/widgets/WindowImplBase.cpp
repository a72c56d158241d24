#include "widgets/WindowImplBase.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <QtDebug>

#include "widgets/DialogBuilder.h"

namespace vx::widgets {

WindowImplBase::WindowImplBase(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    m_handle = CWindowMessages::Register(this, [this](uint message, quintptr w, qintptr l) {
        bool handled = false;
        return HandleMessage(message, w, l, handled);
    });
}

WindowImplBase::~WindowImplBase() {
    CWindowMessages::Unregister(m_handle);
    m_pm.RemoveNotifier(this);
}

bool WindowImplBase::Create(QWidget* owner, const QString& title, quint32 style, quint32 exStyle,
                            const QRect& rc) {
    Qt::WindowFlags flags = Qt::FramelessWindowHint;
    flags |= (exStyle & kExStyleToolWindow) ? Qt::Tool : Qt::Window;
    if (exStyle & kExStyleTopmost) flags |= Qt::WindowStaysOnTopHint;
    setParent(owner, flags);
    setObjectName(GetWindowClassName());
    setWindowTitle(title);

    m_root = CDialogBuilder::Create(GetSkinFile(), this, this);
    if (!m_root) {
        qWarning("%s: %s", qPrintable(GetWindowClassName()), qPrintable(CDialogBuilder::LastError()));
        return false;
    }
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_root);

    m_baseSize = rc.size().isEmpty() ? m_root->size() : rc.size();
    resize(m_baseSize);
    if (!rc.isNull()) move(rc.topLeft());
    m_root->installEventFilter(this);
    m_pm.AttachRoot(m_root);
    m_pm.AddNotifier(this);
    InitWindow();
    if (style & kStyleVisible) show();
    return true;
}

void WindowImplBase::CenterWindow() {
    QRect area;
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible()) {
        area = owner->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isEmpty()) return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

int WindowImplBase::ShowModal() {
    m_closeCode = 0;
    setWindowModality(parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    return m_closeCode;
}

void WindowImplBase::Close(int code) {
    m_closeCode = code;
    close();
}

void WindowImplBase::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!event->isAccepted()) return;
    if (m_modalLoop) m_modalLoop->exit(m_closeCode);
    OnFinalMessage();
}

void WindowImplBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) UpdateMaxRestore();
}

void WindowImplBase::UpdateMaxRestore() {
    const bool maximized = isMaximized();
    if (QWidget* max = m_pm.FindControl(QStringLiteral("maxbtn"))) max->setVisible(!maximized);
    if (QWidget* restore = m_pm.FindControl(QStringLiteral("restorebtn"))) restore->setVisible(maximized);
}

void WindowImplBase::SetDPI(int dpi, const char* errorLine) {
    if (dpi == m_pm.GetDPI()) return;
    static const int kAllowed[] = {48, 72, 96, 120, 144, 168, 192};
    if (std::find(std::begin(kAllowed), std::end(kAllowed), dpi) == std::end(kAllowed)) {
        qDebug("%s", errorLine);
        dpi = 96;
    }
    m_pm.SetDPI(dpi);
    // Qt already scales for the screen; the window's own DPI scales the skin's lengths on top.
    if (!m_baseSize.isEmpty()) resize(m_baseSize * m_pm.GetDPIScale());
}

void WindowImplBase::Notify(TNotifyUI&) {}

QWidget* WindowImplBase::CreateControl(const QString&, QWidget*) {
    return nullptr;
}

qintptr WindowImplBase::HandleMessage(uint message, quintptr, qintptr, bool& handled) {
    if (message == wm::kClose) {
        handled = true;
        Close(0);
    }
    return 0;
}

bool WindowImplBase::eventFilter(QObject* watched, QEvent* event) {
    // The skin's title area (the root's "caption" height in skin units) moves the window; the
    // press reaches the root only where no control took it.
    if (watched == m_root && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int caption = m_pm.ScaleValue(m_root->property("caption").toInt());
        if (mouse->button() == Qt::LeftButton && mouse->position().y() < caption && windowHandle()) {
            windowHandle()->startSystemMove();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vx::widgets
