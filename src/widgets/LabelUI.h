#pragma once

#include <QLabel>

// A text or picture label with the skin's background colour and image.
class CLabelUI : public QLabel {
    Q_OBJECT
public:
    explicit CLabelUI(QWidget* parent = nullptr) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
