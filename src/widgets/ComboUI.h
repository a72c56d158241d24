#pragma once

#include <QComboBox>

namespace vx::widgets {

// A drop-down list. A user choice raises "itemselect" (wParam new index, lParam previous index);
// SelectItem and the item setters raise nothing.
class CComboUI : public QComboBox {
    Q_OBJECT
public:
    explicit CComboUI(QWidget* parent = nullptr);

    // Adds an item; with keyMode the text is a language key and follows language switches.
    int AddItem(const QString& text, bool keyMode = false, const QString& userData = QString());
    void RemoveAll();
    int GetCount() const { return count(); }
    bool SelectItem(int index);
    int GetCurSel() const { return currentIndex(); }
    QString GetItemUserData(int index) const;
    // The selection before the user's last choice.
    int PreviousIndex() const { return m_previous; }
    void RefreshItemTexts();

private:
    int m_previous = -1;
    int m_current = -1;
};

}  // namespace vx::widgets
