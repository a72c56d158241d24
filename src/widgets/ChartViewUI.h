#pragma once

#include <QList>
#include <QPair>
#include <QWidget>

namespace vx::widgets {

// A pie chart or a histogram of (name, value) items. Attributes: "view" ("pie" or "histpgram"),
// "shadowimage", "shadowimageheight", "pillarimage", "pillarimagewidth", "showhtml", "showtext",
// "font" (point size of the labels).
class CChartViewUI : public QWidget {
    Q_OBJECT
public:
    enum class ViewKind { Pie, Histogram };

    explicit CChartViewUI(QWidget* parent = nullptr);

    void Add(const QString& name, double value);
    void RemoveAll();
    int GetCount() const { return m_items.size(); }
    void SetView(ViewKind kind);
    ViewKind GetView() const { return m_kind; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetAttribute(const QString& name, const QString& value);
    void PaintPie(QPainter& p, const QRect& area);
    void PaintHistogram(QPainter& p, const QRect& area);

    QList<QPair<QString, double>> m_items;
    ViewKind m_kind = ViewKind::Pie;
    QString m_shadowImage;
    int m_shadowHeight = 0;
    QString m_pillarImage;
    int m_pillarWidth = 24;
    bool m_showHtml = false;
    bool m_showText = true;
    int m_font = -1;
};

}  // namespace vx::widgets
