#pragma once

#include "widgets/ButtonUI.h"

namespace vx::widgets {

// Shows a window of a large picture ("handimage") the size of the control and lets the user pan
// it by dragging, never past the picture's edges. A picture no larger than the control is drawn
// whole and does not move. Entering and leaving raise "msenter" and "msleave".
class CHandImgSelectButtonUI : public CButtonUI {
    Q_OBJECT
public:
    explicit CHandImgSelectButtonUI(QWidget* parent = nullptr);

    void SetHandImage(const QString& file);
    QString GetHandImage() const { return m_file; }
    // The image string drawn: "file='…' source='l,t,r,b'" while panning, else the file alone.
    QString GetImageText() const { return m_imageText; }
    // The visible part of the picture (left, top, right, bottom as in the image string); empty
    // when the picture is drawn whole.
    QRect GetSourceRect() const { return m_source; }
    QSize GetPictureSize() const { return m_pictureSize; }
    // "arrow", "ibeam", "wait", "cross", "uparrow", "size", "icon", "sizenwse", "sizenesw",
    // "sizewe", "sizens", "sizeall", "no", "hand".
    void SetCursorName(const QString& name);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ComposeImageText();
    void StartDrag(QPoint pt);

    QString m_file;
    QString m_imageText;
    QSize m_pictureSize;
    QRect m_source;  // (left, top) .. (right, bottom) exclusive, as written in the image string
    bool m_dragging = false;
    QPoint m_last;
};

}  // namespace vx::widgets
