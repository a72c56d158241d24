#include "widgets/HandImgSelectButtonUI.h"

#include <QDynamicPropertyChangeEvent>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/RenderEngine.h"

namespace vx::widgets {

CHandImgSelectButtonUI::CHandImgSelectButtonUI(QWidget* parent) : CButtonUI(parent) {}

void CHandImgSelectButtonUI::SetHandImage(const QString& file) {
    m_file = file;
    m_pictureSize = CRenderEngine::ImageSize(file);
    m_source = QRect();
    if (m_pictureSize.width() > width() || m_pictureSize.height() > height()) {
        const int w = qMin(width(), m_pictureSize.width());
        const int h = qMin(height(), m_pictureSize.height());
        m_source = QRect(0, 0, w, h);
    }
    ComposeImageText();
}

void CHandImgSelectButtonUI::ComposeImageText() {
    if (m_source.isNull()) {
        m_imageText = m_file;
    } else {
        m_imageText = QStringLiteral("file='%1' ").arg(m_file) + QStringLiteral("source='%1,%2,%3,%4'")
                                                                     .arg(m_source.left())
                                                                     .arg(m_source.top())
                                                                     .arg(m_source.left() + m_source.width())
                                                                     .arg(m_source.top() + m_source.height());
    }
    update();
}

void CHandImgSelectButtonUI::SetCursorName(const QString& name) {
    static const QHash<QString, Qt::CursorShape> kCursors = {
        {"arrow", Qt::ArrowCursor},    {"ibeam", Qt::IBeamCursor},        {"wait", Qt::WaitCursor},
        {"cross", Qt::CrossCursor},    {"uparrow", Qt::UpArrowCursor},    {"size", Qt::SizeAllCursor},
        {"icon", Qt::ArrowCursor},     {"sizenwse", Qt::SizeFDiagCursor}, {"sizenesw", Qt::SizeBDiagCursor},
        {"sizewe", Qt::SizeHorCursor}, {"sizens", Qt::SizeVerCursor},     {"sizeall", Qt::SizeAllCursor},
        {"no", Qt::ForbiddenCursor},   {"hand", Qt::PointingHandCursor},
    };
    auto it = kCursors.constFind(name.toLower());
    if (it != kCursors.constEnd()) setCursor(*it);
}

bool CHandImgSelectButtonUI::event(QEvent* e) {
    if (e->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName();
        const QString attr = QString::fromLatin1(name).toLower();
        if (attr == "handimage") SetHandImage(property(name).toString());
        if (attr == "cursor") SetCursorName(property(name).toString());
    }
    return CButtonUI::event(e);
}

void CHandImgSelectButtonUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBevel(painter);
    ui::PaintBackground(painter, this);
    PaintStatusImages(painter);
    CRenderEngine::DrawImageString(painter, rect(), m_imageText);
}

void CHandImgSelectButtonUI::enterEvent(QEnterEvent* event) {
    CButtonUI::enterEvent(event);
    if (isEnabled()) CPaintManagerUI::Notify(this, QStringLiteral("msenter"));
}

void CHandImgSelectButtonUI::leaveEvent(QEvent* event) {
    CButtonUI::leaveEvent(event);
    if (isEnabled()) CPaintManagerUI::Notify(this, QStringLiteral("msleave"));
}

void CHandImgSelectButtonUI::StartDrag(QPoint pt) {
    if (!isEnabled() || !rect().contains(pt)) return;
    m_last = pt;
    m_dragging = true;
}

void CHandImgSelectButtonUI::mousePressEvent(QMouseEvent* event) {
    StartDrag(event->position().toPoint());
    CButtonUI::mousePressEvent(event);
}

void CHandImgSelectButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
    StartDrag(event->position().toPoint());
    CButtonUI::mouseDoubleClickEvent(event);
}

void CHandImgSelectButtonUI::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (m_dragging && !m_source.isNull()) {
        // The picture follows the pointer, so its window moves the other way.
        const int maxLeft = m_pictureSize.width() - m_source.width();
        const int maxTop = m_pictureSize.height() - m_source.height();
        const int left = qBound(0, m_source.left() - (pt.x() - m_last.x()), qMax(0, maxLeft));
        const int top = qBound(0, m_source.top() - (pt.y() - m_last.y()), qMax(0, maxTop));
        m_source.moveTo(left, top);
        ComposeImageText();
    }
    m_last = pt;
    CButtonUI::mouseMoveEvent(event);
}

void CHandImgSelectButtonUI::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    CButtonUI::mouseReleaseEvent(event);
}

}  // namespace vx::widgets
