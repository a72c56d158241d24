#pragma once

#include <QLabel>

namespace vx::widgets {

// A text or picture label with the skin's background colour and image. A one-line text wider
// than the label ends in an ellipsis instead of being cut off mid-word; the label keeps the whole
// text (GetText, the accessible name).
class CLabelUI : public QLabel {
    Q_OBJECT
public:
    explicit CLabelUI(QWidget* parent = nullptr) : QLabel(parent) {}

    // The text as drawn in the current width: the text itself, or its elided form.
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool Elides() const;
};

}  // namespace vx::widgets
