#pragma once

#include "widgets/ListUI.h"

namespace vx::widgets {

// A list row that shows a hover state. A double click raises "itemactivate"; a context-menu
// request raises "menu" (wParam/lParam = the point in the row) when the row has "menu" = true.
class CCloudShareListItemUI : public CListContainerElementUI {
    Q_OBJECT
public:
    explicit CCloudShareListItemUI(QWidget* parent = nullptr);

    bool IsHot() const { return m_hot; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_hot = false;
};

}  // namespace vx::widgets
