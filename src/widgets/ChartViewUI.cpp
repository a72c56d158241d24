#include "widgets/ChartViewUI.h"

#include <QDynamicPropertyChangeEvent>
#include <QPainter>
#include <QTextDocument>

#include "widgets/RenderEngine.h"

namespace vx::widgets {

namespace {
// Slice and bar colours, in the skin's accent family first.
const QRgb kPalette[] = {0xFF00B4FF, 0xFFFF6A3D, 0xFF7BD88F, 0xFFFFC857, 0xFFB48EFF, 0xFFFF5C8A};
}  // namespace

CChartViewUI::CChartViewUI(QWidget* parent) : QWidget(parent) {}

void CChartViewUI::Add(const QString& name, double value) {
    m_items.append({name, value});
    update();
}

void CChartViewUI::RemoveAll() {
    m_items.clear();
    update();
}

void CChartViewUI::SetView(ViewKind kind) {
    m_kind = kind;
    update();
}

bool CChartViewUI::event(QEvent* e) {
    if (e->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName();
        SetAttribute(QString::fromLatin1(name).toLower(), property(name).toString());
    }
    return QWidget::event(e);
}

void CChartViewUI::SetAttribute(const QString& name, const QString& value) {
    if (name == "view")
        m_kind = value.compare("histpgram", Qt::CaseInsensitive) == 0 ? ViewKind::Histogram : ViewKind::Pie;
    if (name == "shadowimage") m_shadowImage = value;
    if (name == "shadowimageheight") m_shadowHeight = value.toInt();
    if (name == "pillarimage") m_pillarImage = value;
    if (name == "pillarimagewidth") m_pillarWidth = value.toInt();
    if (name == "showhtml") m_showHtml = value.compare("true", Qt::CaseInsensitive) == 0;
    if (name == "showtext") m_showText = value.compare("true", Qt::CaseInsensitive) == 0;
    if (name == "font") m_font = value.toInt();
    update();
}

void CChartViewUI::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_font > 0) {
        QFont f = font();
        f.setPointSize(m_font);
        p.setFont(f);
    }
    QRect area = rect();
    if (!m_shadowImage.isEmpty() && m_shadowHeight > 0) {
        CRenderEngine::DrawImageString(p, QRect(0, height() - m_shadowHeight, width(), m_shadowHeight),
                                       m_shadowImage);
        area.setBottom(area.bottom() - m_shadowHeight);
    }
    if (m_kind == ViewKind::Pie) {
        PaintPie(p, area);
    } else {
        PaintHistogram(p, area);
    }
}

void CChartViewUI::PaintPie(QPainter& p, const QRect& area) {
    double total = 0;
    for (const auto& item : m_items) total += qMax(0.0, item.second);
    if (total <= 0) return;
    const int side = qMin(area.width(), area.height()) - 8;
    const QRect pie(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    int start = 90 * 16;
    for (int i = 0; i < m_items.size(); ++i) {
        const int span = -qRound(qMax(0.0, m_items[i].second) / total * 360 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(kPalette[i % std::size(kPalette)]));
        p.drawPie(pie, start, span);
        start += span;
    }
}

void CChartViewUI::PaintHistogram(QPainter& p, const QRect& area) {
    if (m_items.isEmpty()) return;
    double maxValue = 0;
    for (const auto& item : m_items) maxValue = qMax(maxValue, item.second);
    if (maxValue <= 0) return;
    const int textHeight = m_showText ? p.fontMetrics().height() + 4 : 0;
    const int slot = area.width() / m_items.size();
    for (int i = 0; i < m_items.size(); ++i) {
        const int barHeight = qRound(qMax(0.0, m_items[i].second) / maxValue * (area.height() - textHeight));
        const int barWidth = qMin(m_pillarWidth, slot - 4);
        const QRect bar(area.left() + i * slot + (slot - barWidth) / 2,
                        area.bottom() - textHeight - barHeight, barWidth, barHeight);
        if (m_pillarImage.isEmpty() || !CRenderEngine::DrawImageString(p, bar, m_pillarImage)) {
            p.fillRect(bar, QColor::fromRgba(kPalette[i % std::size(kPalette)]));
        }
        if (!m_showText) continue;
        const QRect label(area.left() + i * slot, area.bottom() - textHeight, slot, textHeight);
        if (m_showHtml) {
            QTextDocument doc;
            doc.setHtml(m_items[i].first);
            p.save();
            p.translate(label.topLeft());
            doc.drawContents(&p);
            p.restore();
        } else {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(label, Qt::AlignCenter, m_items[i].first);
        }
    }
}

}  // namespace vx::widgets
