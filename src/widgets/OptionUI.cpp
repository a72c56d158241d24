#include "widgets/OptionUI.h"

#include <QSignalBlocker>

#include "widgets/PaintManagerUI.h"

COptionUI::COptionUI(QWidget* parent) : CButtonUI(parent) {
    setCheckable(true);
}

void COptionUI::SetGroup(const QString& group) {
    setProperty("group", group);
    if (auto* pm = CPaintManagerUI::FromControl(this)) pm->AddOptionGroup(group, this);
}

void COptionUI::Selected(bool selected) {
    {
        const QSignalBlocker blocker(this);
        setChecked(selected);
    }
    if (selected) DeselectOthers();
    update();
}

void COptionUI::nextCheckState() {
    const bool before = isChecked();
    if (GetGroup().isEmpty() || !before) setChecked(!before);
    m_lastClickChanged = isChecked() != before;
    if (isChecked()) DeselectOthers();
}

void COptionUI::DeselectOthers() {
    const QString group = GetGroup();
    if (group.isEmpty()) return;
    auto* pm = CPaintManagerUI::FromControl(this);
    if (!pm) return;
    for (COptionUI* other : pm->GetOptionGroup(group)) {
        if (other == this || !other->isChecked()) continue;
        const QSignalBlocker blocker(other);
        other->setChecked(false);
        other->update();
    }
}
