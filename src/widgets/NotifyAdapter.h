#pragma once

#include <QObject>

class QWidget;
namespace vx::widgets {

class CPaintManagerUI;

// Turns user actions on the standard controls into the window's notifications ("click",
// "selectchanged", "itemselect", "itemclick", "itemactivate", "valuechanged",
// "movevaluechanged", "textchanged", "return", "killfocus", "setfocus", "colorchanged").
// It listens only to what the user does: a control's state set from code reports nothing.
class CNotifyAdapter : public QObject {
    Q_OBJECT
public:
    explicit CNotifyAdapter(CPaintManagerUI* manager);

    // Connects one control; a control already connected is left alone. Also registers option
    // groups and puts layout texts written as "%[key]" into language-key mode.
    void Attach(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AttachButton(QWidget* control);
    void AttachSlider(QWidget* control);

    CPaintManagerUI* m_manager;
};

}  // namespace vx::widgets
