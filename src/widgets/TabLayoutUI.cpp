#include "widgets/TabLayoutUI.h"

#include <QSignalBlocker>

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= count()) return false;
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    return true;
}

bool CTabLayoutUI::SelectItem(QWidget* page) {
    return SelectItem(indexOf(page));
}
