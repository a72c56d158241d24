#include "widgets/SelectPanelUI.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"

namespace vx::widgets {

namespace {
// QRect::normalized() shifts reversed corners by one pixel; the band must be the same rectangle
// whichever way it was dragged.
QRect Span(QPoint a, QPoint b) {
    return QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())),
                 QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())));
}
}  // namespace

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : CVerticalLayoutUI(parent) {}

void CSelectPanelUI::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || event->button() != Qt::LeftButton) {
        CVerticalLayoutUI::mousePressEvent(event);
        return;
    }
    m_anchor = m_current = event->position().toPoint();
    m_pressed = true;
    m_dragging = false;
}

void CSelectPanelUI::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed) return;
    m_dragging = true;
    m_current = event->position().toPoint();
    m_selectRect = Span(m_anchor, m_current);
    update();
}

void CSelectPanelUI::mouseReleaseEvent(QMouseEvent* event) {
    if (m_pressed && m_dragging) {
        m_current = event->position().toPoint();
        m_selectRect = Span(m_anchor, m_current);
        ApplySelection();
        m_dragging = false;
        update();
        CPaintManagerUI::Notify(this, QStringLiteral("click_select_end"));
    }
    m_pressed = false;
    m_dragging = false;
}

void CSelectPanelUI::ApplySelection() {
    for (CDeviceKeyButtonUI* key : findChildren<CDeviceKeyButtonUI*>()) {
        const QRect keyRect(key->mapTo(this, QPoint(0, 0)), key->size());
        key->SetSelected(!key->isHidden() && keyRect.intersects(m_selectRect));
    }
}

void CSelectPanelUI::paintEvent(QPaintEvent* event) {
    CVerticalLayoutUI::paintEvent(event);
    if (!m_dragging) return;
    QPainter painter(this);
    painter.setPen(QPen(QColor(0, 200, 255), 1, Qt::DashLine));
    painter.setBrush(QColor(0, 200, 255, 40));
    painter.drawRect(m_selectRect);
}

}  // namespace vx::widgets
