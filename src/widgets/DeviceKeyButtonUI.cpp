#include "widgets/DeviceKeyButtonUI.h"

#include <QDynamicPropertyChangeEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/ControlUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/RenderEngine.h"

namespace vx::widgets {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : CButtonUI(parent) {}

void CDeviceKeyButtonUI::SetLightImage(const QString& image) {
    m_lightImage = image;
    update();
}

void CDeviceKeyButtonUI::SetKeySetImage(const QString& image) {
    m_keySetImage = image;
    update();
}

void CDeviceKeyButtonUI::SetLight(quint32 color, int brightness, bool flag) {
    if (m_lightColor == color && m_lightBrightness == brightness && m_light == flag) return;
    m_lightColor = color;
    m_lightBrightness = brightness;
    m_light = flag;
    update();
}

void CDeviceKeyButtonUI::SetKeySetImageHidden(bool hidden) {
    m_keySetHidden = hidden;
    update();
}

void CDeviceKeyButtonUI::SetSelected(bool selected) {
    if (m_selected == selected) return;
    m_selected = selected;
    update();
}

bool CDeviceKeyButtonUI::event(QEvent* e) {
    if (e->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName();
        const QString attr = QString::fromLatin1(name).toLower();
        if (attr == "lightimage") SetLightImage(property(name).toString());
        if (attr == "keysetimage") SetKeySetImage(property(name).toString());
    }
    return CButtonUI::event(e);
}

void CDeviceKeyButtonUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBevel(painter);
    ui::PaintBackground(painter, this);
    PaintStatusImages(painter);
    if (m_light)
        CRenderEngine::DrawImageString(painter, rect(), m_lightImage, m_lightColor, m_lightBrightness,
                                       m_light);
    if (!m_keySetHidden) CRenderEngine::DrawImageString(painter, rect(), m_keySetImage, 0, 0, false);
    if (m_selected) {
        // The rubber-band selection must stay visible on any skin image.
        painter.setPen(QPen(QColor(0, 200, 255), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    PaintText(painter);
}

void CDeviceKeyButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!isEnabled() || !rect().contains(event->position().toPoint())) {
        CButtonUI::mouseDoubleClickEvent(event);
        return;
    }
    setDown(true);
    m_hot = true;
    CPaintManagerUI::Notify(this, QStringLiteral("dbclick"));
    update();
}

}  // namespace vx::widgets
