#pragma once
// What a user action on a control hands to the operation that owns the control. The main
// window's routing finds the owner (the window, the current device page or one of its panels)
// by the control's name once; the operation receives what it needs and never looks at the name
// again.

#include <QtGlobal>

class QWidget;
namespace vx::widgets {


struct ControlEvent {
    // The control the user acted on; null for a menu command.
    QWidget* control = nullptr;
    // The number after the name's last underscore for a control of an indexed group
    // ("DPI_slider_" with 3 gives 3); -1 for a control with a name of its own.
    int index = -1;
    // The action's value: a slider's value, a combo's new position, a palette's ARGB colour.
    qint64 param = 0;
    // Whether an option or check box is now selected.
    bool checked = false;
    // The constant the routing row gives its control (a tab number, a colour channel, ...).
    int rowValue = 0;
};

}  // namespace vx::widgets
