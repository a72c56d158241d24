#include "widgets/CloudShareListItemUI.h"

#include <QContextMenuEvent>
#include <QPainter>

#include "widgets/PaintManagerUI.h"
#include "widgets/UIDefs.h"

namespace vx::widgets {

CCloudShareListItemUI::CCloudShareListItemUI(QWidget* parent) : CListContainerElementUI(parent) {
    setAttribute(Qt::WA_Hover);
}

void CCloudShareListItemUI::enterEvent(QEnterEvent* event) {
    if (isEnabled()) {
        m_hot = true;
        update();
    }
    CListContainerElementUI::enterEvent(event);
}

void CCloudShareListItemUI::leaveEvent(QEvent* event) {
    if (isEnabled()) {
        m_hot = false;
        update();
    }
    CListContainerElementUI::leaveEvent(event);
}

void CCloudShareListItemUI::mouseDoubleClickEvent(QMouseEvent* event) {
    CPaintManagerUI::Notify(this, notify::kItemActivate);
    CListContainerElementUI::mouseDoubleClickEvent(event);
}

void CCloudShareListItemUI::contextMenuEvent(QContextMenuEvent* event) {
    if (!property("menu").toBool()) {
        CListContainerElementUI::contextMenuEvent(event);
        return;
    }
    CPaintManagerUI::Notify(this, notify::kMenu, static_cast<quintptr>(event->pos().x()), event->pos().y());
}

void CCloudShareListItemUI::paintEvent(QPaintEvent* event) {
    CListContainerElementUI::paintEvent(event);
    if (!m_hot) return;
    QPainter p(this);
    p.fillRect(rect(), QColor(255, 255, 255, 18));
}

}  // namespace vx::widgets
