#pragma once

#include "widgets/ContainerUI.h"

namespace vx::widgets {

// A panel over the key buttons of a device picture: dragging spans a rectangle, and releasing
// selects exactly the key buttons it touches, then raises "click_select_end". A click without a
// drag selects nothing and raises nothing.
class CSelectPanelUI : public CVerticalLayoutUI {
    Q_OBJECT
public:
    explicit CSelectPanelUI(QWidget* parent = nullptr);

    // The selection rectangle in panel coordinates, normalised (left <= right, top <= bottom).
    QRect GetSelectRect() const { return m_selectRect; }
    bool IsDragging() const { return m_dragging; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplySelection();

    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_anchor;
    QPoint m_current;
    QRect m_selectRect;
};

}  // namespace vx::widgets
