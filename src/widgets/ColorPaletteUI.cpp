#include "widgets/ColorPaletteUI.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace vx::widgets {

namespace {
constexpr int kBarHeight = 14;
constexpr int kGap = 8;
}  // namespace

CColorPaletteUI::CColorPaletteUI(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 80);
    setCursor(Qt::CrossCursor);
}

void CColorPaletteUI::SetSelectColor(QRgb argb) {
    m_color = QColor::fromRgba(argb);
    const QColor hsv = m_color.toHsv();
    m_hue = qMax(0, hsv.hsvHue());
    m_saturation = hsv.hsvSaturation();
    m_brightness = hsv.value();
    update();
}

QRect CColorPaletteUI::FieldRect() const {
    return rect().adjusted(0, 0, -1, -(kBarHeight + kGap));
}

QRect CColorPaletteUI::BarRect() const {
    return QRect(0, height() - kBarHeight, width() - 1, kBarHeight - 1);
}

void CColorPaletteUI::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect field = FieldRect();
    QLinearGradient hue(field.topLeft(), field.topRight());
    for (int i = 0; i <= 6; ++i) hue.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
    p.fillRect(field, hue);
    QLinearGradient white(field.topLeft(), field.bottomLeft());
    white.setColorAt(0, QColor(255, 255, 255, 0));
    white.setColorAt(1, QColor(255, 255, 255, 255));
    p.fillRect(field, white);

    const QRect bar = BarRect();
    QLinearGradient value(bar.topLeft(), bar.topRight());
    value.setColorAt(0, Qt::black);
    value.setColorAt(1, QColor::fromHsv(m_hue, m_saturation, 255));
    p.fillRect(bar, value);

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    const int fx = field.left() + m_hue * field.width() / 359;
    const int fy = field.top() + (255 - m_saturation) * field.height() / 255;
    p.drawEllipse(QPoint(fx, fy), 5, 5);
    const int bx = bar.left() + m_brightness * bar.width() / 255;
    p.drawRect(QRect(bx - 2, bar.top() - 2, 4, bar.height() + 4));
}

void CColorPaletteUI::PickAt(QPoint pt) {
    if (m_drag == Drag::Field) {
        const QRect field = FieldRect();
        m_hue = qBound(0, (pt.x() - field.left()) * 359 / qMax(1, field.width()), 359);
        m_saturation = 255 - qBound(0, (pt.y() - field.top()) * 255 / qMax(1, field.height()), 255);
    } else if (m_drag == Drag::Bar) {
        const QRect bar = BarRect();
        m_brightness = qBound(0, (pt.x() - bar.left()) * 255 / qMax(1, bar.width()), 255);
    } else {
        return;
    }
    const QColor picked = QColor::fromHsv(m_hue, m_saturation, m_brightness);
    update();
    if (picked.rgba() == m_color.rgba()) return;
    m_color = picked;
    emit colorPicked(m_color.rgba());
}

void CColorPaletteUI::mousePressEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    m_drag = FieldRect().contains(pt) ? Drag::Field : (BarRect().contains(pt) ? Drag::Bar : Drag::None);
    PickAt(pt);
}

void CColorPaletteUI::mouseMoveEvent(QMouseEvent* event) {
    PickAt(event->position().toPoint());
}

void CColorPaletteUI::mouseReleaseEvent(QMouseEvent*) {
    m_drag = Drag::None;
}

}  // namespace vx::widgets
