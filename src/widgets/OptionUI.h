#pragma once

#include "widgets/ButtonUI.h"

namespace vx::widgets {

// A selectable button. Options with the same "group" (dynamic property, any letter case) in one
// group scope are exclusive, whichever containers they sit in; a selected option of a group stays
// selected when clicked again. A user click raises "click", then "selectchanged" when the
// selection changed. Selected() from code raises nothing.
//
// The scope is the nearest container marked with SetGroupScope (a device page, a panel), else the
// window: every device page carries the same panels with the same group names, and choosing a
// tab or a direction on one page must not clear the choice shown on another.
class COptionUI : public CButtonUI {
    Q_OBJECT
public:
    explicit COptionUI(QWidget* parent = nullptr);

    void Selected(bool selected);
    bool IsSelected() const { return isChecked(); }
    void SetGroup(const QString& group);
    QString GetGroup() const { return property("group").toString(); }
    // Whether the last user click changed the selection; read by the notification adapter.
    bool LastClickChanged() const { return m_lastClickChanged; }

    // Makes the options below `container` form groups of their own.
    static void SetGroupScope(QWidget* container);
    // The scope container of a control: the nearest marked ancestor, or its window; nullptr for
    // nullptr.
    static const QWidget* GroupScopeOf(const QWidget* control);

protected:
    void nextCheckState() override;

private:
    void DeselectOthers();
    bool m_lastClickChanged = false;
};

}  // namespace vx::widgets
