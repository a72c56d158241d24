#pragma once

#include <QWidget>

class QBoxLayout;
namespace vx::widgets {


// A plain container with the skin's background colour and image and style-sheet backgrounds.
class CContainerUI : public QWidget {
    Q_OBJECT
public:
    explicit CContainerUI(QWidget* parent = nullptr);

    // Appends a control to the container's layout (a vertical one is made when it has none).
    void Add(QWidget* control);

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual QBoxLayout* MakeLayout();
};

// Children side by side.
class CHorizontalLayoutUI : public CContainerUI {
    Q_OBJECT
public:
    explicit CHorizontalLayoutUI(QWidget* parent = nullptr) : CContainerUI(parent) {}

protected:
    QBoxLayout* MakeLayout() override;
};

// Children one below the other.
class CVerticalLayoutUI : public CContainerUI {
    Q_OBJECT
public:
    explicit CVerticalLayoutUI(QWidget* parent = nullptr) : CContainerUI(parent) {}
};

}  // namespace vx::widgets
