#pragma once

#include "widgets/ButtonUI.h"

namespace vx::widgets {

// A picture tile ("handimage") with a delete mark at its bottom right while the pointer is over an
// editable tile. Releasing over the mark raises "click_handdelete" and then clicks the tile;
// entering and leaving raise "msenter" and "msleave".
class CHandImgButtonUI : public CButtonUI {
    Q_OBJECT
public:
    explicit CHandImgButtonUI(QWidget* parent = nullptr);

    void SetHandImage(const QString& image);
    QString GetHandImage() const { return m_handImage; }
    void SetDeleteNormalImage(const QString& image) { m_deleteNormal = image; }
    void SetDeleteHotImage(const QString& image) { m_deleteHot = image; }
    // The mark image in use: the hot one while the pointer is over the mark.
    QString GetDeleteImage() const { return m_deleteInUse; }
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return m_readOnly; }
    // The delete mark's box in control coordinates, scaled by the window's DPI.
    QRect DeleteRect() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double Scale() const;

    QString m_handImage;
    QString m_deleteNormal;
    QString m_deleteHot;
    QString m_deleteInUse;
    bool m_readOnly = true;
};

}  // namespace vx::widgets
