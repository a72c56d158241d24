#include "widgets/OptionUI.h"

#include <QSignalBlocker>

#include "widgets/PaintManagerUI.h"

namespace vx::widgets {

namespace {
const char* const kGroupScope = "vx_group_scope";
}

void COptionUI::SetGroupScope(QWidget* container) {
    if (container) container->setProperty(kGroupScope, true);
}

const QWidget* COptionUI::GroupScopeOf(const QWidget* control) {
    if (!control) return nullptr;
    for (const QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
        if (w->property(kGroupScope).toBool() || w->isWindow()) return w;
    }
    return control;
}

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
    const QWidget* scope = GroupScopeOf(this);
    for (COptionUI* other : pm->GetOptionGroup(group)) {
        if (other == this || !other->isChecked() || GroupScopeOf(other) != scope) continue;
        const QSignalBlocker blocker(other);
        other->setChecked(false);
        other->update();
    }
}

}  // namespace vx::widgets
