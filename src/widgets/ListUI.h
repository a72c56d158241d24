#pragma once

#include <QListWidget>

#include "widgets/ContainerUI.h"

namespace vx::widgets {

// A row of a list that holds controls of its own.
class CListContainerElementUI : public CContainerUI {
    Q_OBJECT
public:
    explicit CListContainerElementUI(QWidget* parent = nullptr) : CContainerUI(parent) {}
};

// A list of text rows or of element rows. A user click raises "itemclick", a change of the
// selected row by the user "itemselect" (wParam new row, lParam previous row), a double click
// "itemactivate"; SelectItem and the item setters raise nothing.
class CListUI : public QListWidget {
    Q_OBJECT
public:
    explicit CListUI(QWidget* parent = nullptr);

    int AddText(const QString& text, const QString& userData = QString());
    // The list takes the element; its height is the element's size hint.
    int Add(QWidget* element);
    QWidget* GetItemAt(int index) const;
    int GetCount() const { return count(); }
    void RemoveAll();
    bool SelectItem(int index);
    int GetCurSel() const { return currentRow(); }
    QString GetItemUserData(int index) const;
    int PreviousRow() const { return m_previous; }

private:
    int m_previous = -1;
    int m_current = -1;
};

}  // namespace vx::widgets
