#pragma once

#include <QStackedWidget>

namespace vx::widgets {

// Pages of which one is shown. Selecting a page never raises a notification.
class CTabLayoutUI : public QStackedWidget {
    Q_OBJECT
public:
    explicit CTabLayoutUI(QWidget* parent = nullptr) : QStackedWidget(parent) {}

    bool SelectItem(int index);
    bool SelectItem(QWidget* page);
    int GetCurSel() const { return currentIndex(); }
    int GetCount() const { return count(); }
    int Add(QWidget* page) { return addWidget(page); }
};

}  // namespace vx::widgets
