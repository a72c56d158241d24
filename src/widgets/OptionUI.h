#pragma once

#include "widgets/ButtonUI.h"

// A selectable button. Options with the same "group" (dynamic property, any letter case) in one
// window are exclusive, whichever containers they sit in; a selected option of a group stays
// selected when clicked again. A user click raises "click", then "selectchanged" when the
// selection changed. Selected() from code raises nothing.
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

protected:
    void nextCheckState() override;

private:
    void DeselectOthers();
    bool m_lastClickChanged = false;
};
