#pragma once

#include <QLineEdit>

namespace vx::widgets {

// A one-line text field. Typing raises "textchanged", Enter "return", losing the focus to the
// user "killfocus"; ui::SetText raises nothing.
class CEditUI : public QLineEdit {
    Q_OBJECT
public:
    explicit CEditUI(QWidget* parent = nullptr) : QLineEdit(parent) {}

    void SetMaxChar(int count) { setMaxLength(count); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
    bool IsReadOnly() const { return isReadOnly(); }
};

}  // namespace vx::widgets
