#include "app/DeviceNotice.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <algorithm>

#include "widgets/ControlUI.h"

namespace ui = vx::widgets::ui;

namespace vx::app {

namespace {
constexpr int kBottomMargin = 48;
constexpr int kMaxWidth = 520;
}  // namespace

CDeviceNotice::CDeviceNotice(QWidget* host) : QObject(host), m_host(host) {
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(kShownMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &CDeviceNotice::Hide);
    if (m_host) m_host->installEventFilter(this);
}

CDeviceNotice::~CDeviceNotice() = default;

void CDeviceNotice::Show(const QString& key) {
    if (!m_host) return;
    if (!m_label) {
        m_label = new QLabel(m_host);
        m_label->setObjectName(QLatin1String(kLabelName));
        m_label->setWordWrap(true);
        m_label->setAlignment(Qt::AlignCenter);
        // Shown over the page; clicks go through to the controls below it.
        m_label->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    }
    // By its key: a notice still shown when the language changes follows it.
    ui::SetTextKey(m_label, key);
    ui::SetAccessibleName(m_label, key);
    Place();
    m_label->show();
    m_label->raise();
    m_hideTimer.start();
}

void CDeviceNotice::Hide() {
    m_hideTimer.stop();
    if (m_label) m_label->hide();
}

bool CDeviceNotice::IsShown() const {
    return m_label && m_label->isVisible();
}

void CDeviceNotice::Place() {
    if (!m_host || !m_label) return;
    const int width = std::min(kMaxWidth, std::max(0, m_host->width() - 40));
    m_label->setFixedWidth(width);
    m_label->adjustSize();
    m_label->move((m_host->width() - m_label->width()) / 2,
                  std::max(0, m_host->height() - m_label->height() - kBottomMargin));
}

bool CDeviceNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_host && event->type() == QEvent::Resize && IsShown()) Place();
    return QObject::eventFilter(watched, event);
}

}  // namespace vx::app
