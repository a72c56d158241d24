#include "widgets/BatteryGaugeUI.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vx::widgets {

namespace {

constexpr qreal kOutline = 1.5;  // body outline width
constexpr qreal kPadding = 1.5;  // between the outline and the charge
constexpr qreal kNubWidth = 3.0;  // the terminal at the right end
const QColor kOutlineColour(0xC5, 0xCA, 0xD3);
const QColor kChargeColour(0x3D, 0xDC, 0x84);
const QColor kLowColour(0xE5, 0x48, 0x4D);

}  // namespace

CBatteryGaugeUI::CBatteryGaugeUI(QWidget* parent) : CProgressUI(parent) {
    setRange(0, 100);
    setAccessibleName(QStringLiteral("battery"));
}

int CBatteryGaugeUI::ChargePercent() const {
    const int span = std::max(1, maximum() - minimum());
    const int used = std::clamp(value() - minimum(), 0, span);
    return (span - used) * 100 / span;
}

QSize CBatteryGaugeUI::sizeHint() const {
    return {34, 16};
}

QSize CBatteryGaugeUI::minimumSizeHint() const {
    return {24, 12};
}

QRectF CBatteryGaugeUI::BodyRect() const {
    const qreal half = kOutline / 2;
    return QRectF(half, half, width() - kNubWidth - kOutline, height() - kOutline);
}

int CBatteryGaugeUI::FillWidth() const {
    const QRectF inner = BodyRect().adjusted(kOutline / 2 + kPadding, 0, -(kOutline / 2 + kPadding), 0);
    const int percent = ChargePercent();
    if (percent <= 0 || inner.width() <= 0) return 0;
    // A charge that is not empty always shows at least a sliver, a full one the whole body.
    return std::max(2, static_cast<int>(std::lround(inner.width() * percent / 100.0)));
}

void CBatteryGaugeUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF body = BodyRect();
    painter.setPen(QPen(kOutlineColour, kOutline));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(body, 2.5, 2.5);
    const qreal nubHeight = std::max<qreal>(2.0, body.height() * 0.45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kOutlineColour);
    painter.drawRoundedRect(QRectF(body.right() + kOutline / 2, (height() - nubHeight) / 2, kNubWidth - 0.5, nubHeight),
                            1.0, 1.0);

    const int fill = FillWidth();
    if (fill <= 0) return;
    const qreal inset = kOutline / 2 + kPadding;
    const QRectF charge(body.left() + inset, body.top() + inset, fill, body.height() - 2 * inset);
    painter.setBrush(IsLow() ? kLowColour : kChargeColour);
    painter.drawRoundedRect(charge, 1.0, 1.0);
}

}  // namespace vx::widgets
