#include "widgets/TrayIcon.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

#include "widgets/RenderEngine.h"

namespace vx::widgets {

namespace {
class TrayStandIn : public QWidget {
public:
    TrayStandIn(CTrayIcon* owner, const QImage& icon)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
          m_owner(owner),
          m_icon(icon) {
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(48, 48);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(255, 255, 255, 40));
        p.setBrush(QColor(24, 26, 31, 230));
        p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 10, 10);
        p.drawImage(rect().adjusted(8, 8, -8, -8), m_icon);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) m_owner->ReportLeftClick();
        if (event->button() == Qt::RightButton) m_owner->ReportRightClick();
    }

private:
    CTrayIcon* m_owner;
    QImage m_icon;
};
}  // namespace

CTrayIcon::CTrayIcon(QObject* parent) : QObject(parent) {}

CTrayIcon::~CTrayIcon() {
    Remove();
}

bool CTrayIcon::Create(const QString& icon, const QString& toolTip) {
    Remove();
    const QImage image = CRenderEngine::LoadImage(icon, QSize(64, 64));
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(QIcon(QPixmap::fromImage(image)), this);
        m_tray->setToolTip(toolTip);
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) ReportLeftClick();
            if (reason == QSystemTrayIcon::Context) ReportRightClick();
        });
        m_tray->show();
        return true;
    }
    auto* standIn = new TrayStandIn(this, image);
    standIn->setToolTip(toolTip);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        standIn->move(area.right() - standIn->width() - 12, area.bottom() - standIn->height() - 12);
    }
    standIn->show();
    m_fallback = standIn;
    return true;
}

void CTrayIcon::SetToolTip(const QString& toolTip) {
    if (m_tray) m_tray->setToolTip(toolTip);
    if (m_fallback) m_fallback->setToolTip(toolTip);
}

void CTrayIcon::Remove() {
    delete m_tray;
    m_tray = nullptr;
    delete m_fallback.data();
}

bool CTrayIcon::IsVisible() const {
    return (m_tray && m_tray->isVisible()) || (m_fallback && m_fallback->isVisible());
}

void CTrayIcon::ReportLeftClick() {
    if (onLeftClick) onLeftClick();
}

void CTrayIcon::ReportRightClick() {
    if (onRightClick) onRightClick();
}

}  // namespace vx::widgets
