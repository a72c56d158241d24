#include "widgets/HandImgButtonUI.h"

#include <QDynamicPropertyChangeEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/RenderEngine.h"

namespace vx::widgets {

CHandImgButtonUI::CHandImgButtonUI(QWidget* parent) : CButtonUI(parent) {
    setMouseTracking(true);
}

void CHandImgButtonUI::SetHandImage(const QString& image) {
    m_handImage = image;
    update();
}

void CHandImgButtonUI::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    update();
}

double CHandImgButtonUI::Scale() const {
    const CPaintManagerUI* pm = CPaintManagerUI::FromControl(this);
    return pm ? pm->GetDPIScale() : 1.0;
}

QRect CHandImgButtonUI::DeleteRect() const {
    const double s = Scale();
    const int right = width();
    const int bottom = height();
    return QRect(right - qRound(30 * s), bottom - qRound(29 * s), qRound(20 * s), qRound(20 * s));
}

bool CHandImgButtonUI::event(QEvent* e) {
    if (e->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName();
        const QString attr = QString::fromLatin1(name).toLower();
        const QString value = property(name).toString();
        if (attr == "handimage") SetHandImage(value);
        if (attr == "deletenormalimage") m_deleteNormal = m_deleteInUse = value;
        if (attr == "deletehotimage") m_deleteHot = value;
    }
    return CButtonUI::event(e);
}

void CHandImgButtonUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBevel(painter);
    ui::PaintBackground(painter, this);
    PaintStatusImages(painter);
    CRenderEngine::DrawImageString(painter, rect(), m_handImage);
    if (m_hot && !m_readOnly) {
        CRenderEngine::DrawImageString(painter, DeleteRect(),
                                       m_deleteInUse.isEmpty() ? m_deleteNormal : m_deleteInUse);
    }
    PaintText(painter);
}

void CHandImgButtonUI::enterEvent(QEnterEvent* event) {
    CButtonUI::enterEvent(event);
    if (isEnabled()) CPaintManagerUI::Notify(this, QStringLiteral("msenter"));
}

void CHandImgButtonUI::leaveEvent(QEvent* event) {
    CButtonUI::leaveEvent(event);
    m_deleteInUse = m_deleteNormal;
    if (isEnabled()) CPaintManagerUI::Notify(this, QStringLiteral("msleave"));
}

void CHandImgButtonUI::mouseMoveEvent(QMouseEvent* event) {
    const bool overMark = DeleteRect().contains(event->position().toPoint());
    const QString wanted = overMark ? m_deleteHot : m_deleteNormal;
    if (wanted != m_deleteInUse) {
        m_deleteInUse = wanted;
        update();
    }
    if (isDown()) m_hot = rect().contains(event->position().toPoint());
    CButtonUI::mouseMoveEvent(event);
}

void CHandImgButtonUI::mouseReleaseEvent(QMouseEvent* event) {
    const bool onMark = DeleteRect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton && isDown() && onMark && !m_readOnly) {
        setDown(false);
        m_hot = false;
        CPaintManagerUI::Notify(this, QStringLiteral("click_handdelete"));
        click();
        setDown(false);
        update();
        return;
    }
    CButtonUI::mouseReleaseEvent(event);
}

}  // namespace vx::widgets
