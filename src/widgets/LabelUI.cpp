#include "widgets/LabelUI.h"

#include <QPainter>
#include <QStyle>
#include <QTextDocument>

#include "widgets/ControlUI.h"

namespace vx::widgets {

namespace {
QRect TextRect(const QLabel& label) {
    const int m = label.margin();
    QRect r = label.contentsRect().adjusted(m, m, -m, -m);
    const int indent = label.indent() > 0 ? label.indent() : 0;
    if (label.alignment() & Qt::AlignLeft) r.setLeft(r.left() + indent);
    if (label.alignment() & Qt::AlignRight) r.setRight(r.right() - indent);
    return r;
}
}  // namespace

bool CLabelUI::Elides() const {
    const QString full = text();
    if (full.isEmpty() || wordWrap() || full.contains(QLatin1Char('\n'))) return false;
    if (textFormat() == Qt::RichText || (textFormat() == Qt::AutoText && Qt::mightBeRichText(full))) return false;
    return fontMetrics().horizontalAdvance(full) > TextRect(*this).width();
}

QString CLabelUI::ShownText() const {
    if (!Elides()) return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, TextRect(*this).width());
}

void CLabelUI::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        ui::PaintBackground(painter, this);
    }
    if (!Elides()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect rect = TextRect(*this);
    style()->drawItemText(&painter, rect, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), fontMetrics().elidedText(text(), Qt::ElideRight, rect.width()),
                          foregroundRole());
}

}  // namespace vx::widgets
