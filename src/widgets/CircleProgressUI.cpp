#include "widgets/CircleProgressUI.h"

#include <QPainter>

#include "widgets/ControlUI.h"

namespace vx::widgets {

CCircleProgressUI::CCircleProgressUI(QWidget* parent) : CProgressUI(parent) {}

double CCircleProgressUI::SweepDegrees() const {
    const int span = maximum() - minimum();
    if (span <= 0) return 0.0;
    // Measured from the minimum, so that a range not starting at 0 still fills at most once.
    return qBound(0.0, double(value() - minimum()) / span, 1.0) * 360.0;
}

void CCircleProgressUI::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF rc = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setBrush(QColor::fromRgba(ui::GetBkColor(this)));
    p.drawEllipse(rc);
    p.setBrush(QColor::fromRgba(GetForeColor()));
    // The ring starts at the bottom (90° measured clockwise from three o'clock) and runs
    // clockwise; Qt counts angles anticlockwise in sixteenths of a degree.
    p.drawPie(rc, -90 * 16, -qRound(SweepDegrees() * 16));
    const QString inner = property("innercolor").toString();
    p.setBrush(QColor::fromRgba(inner.isEmpty() ? 0xFFFFFFFFu : ui::ParseColor(inner)));
    p.drawEllipse(rc.adjusted(10, 10, -10, -10));
}

}  // namespace vx::widgets
