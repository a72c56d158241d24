#include "widgets/TabLayoutUI.h"

#include <QSignalBlocker>

namespace vx::widgets {

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= count()) return false;
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    return true;
}

bool CTabLayoutUI::SelectItem(QWidget* page) {
    return SelectItem(indexOf(page));
}

}  // namespace vx::widgets
