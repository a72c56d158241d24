#pragma once

#include <QColor>
#include <QWidget>

namespace vx::widgets {

// A colour field: hue across, saturation down, with a brightness bar below. Picking a colour with
// the pointer raises "colorchanged" (wParam = the colour as 0xAARRGGBB); SetSelectColor raises
// nothing.
class CColorPaletteUI : public QWidget {
    Q_OBJECT
public:
    explicit CColorPaletteUI(QWidget* parent = nullptr);

    void SetSelectColor(QRgb argb);
    QRgb GetSelectColor() const { return m_color.rgba(); }

signals:
    void colorPicked(QRgb argb);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect FieldRect() const;
    QRect BarRect() const;
    void PickAt(QPoint pt);

    QColor m_color = QColor(255, 0, 0);
    int m_hue = 0;
    int m_saturation = 255;
    int m_brightness = 255;
    enum class Drag { None, Field, Bar } m_drag = Drag::None;
};

}  // namespace vx::widgets
