#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;
namespace vx::widgets {


// Notification types as the layouts' controls report them. Custom controls add their own
// ("dbclick", "click_select_end", "click_handdelete", "msenter", "msleave", "itemactivate", "menu").
namespace notify {
inline const QString kClick = QStringLiteral("click");
inline const QString kSelectChanged = QStringLiteral("selectchanged");
inline const QString kValueChanged = QStringLiteral("valuechanged");
inline const QString kMoveValueChanged = QStringLiteral("movevaluechanged");
inline const QString kItemSelect = QStringLiteral("itemselect");
inline const QString kItemClick = QStringLiteral("itemclick");
inline const QString kItemActivate = QStringLiteral("itemactivate");
inline const QString kKillFocus = QStringLiteral("killfocus");
inline const QString kSetFocus = QStringLiteral("setfocus");
inline const QString kTextChanged = QStringLiteral("textchanged");
inline const QString kReturn = QStringLiteral("return");
inline const QString kColorChanged = QStringLiteral("colorchanged");
inline const QString kWindowInit = QStringLiteral("windowinit");
inline const QString kWindowSize = QStringLiteral("windowsize");
inline const QString kTimer = QStringLiteral("timer");
inline const QString kMenu = QStringLiteral("menu");
}  // namespace notify

// One notification: its type, the control that raised it and two type-specific values
// (item index, timer id, ...).
struct TNotifyUI {
    QString sType;
    QWidget* pSender = nullptr;
    quintptr wParam = 0;
    qintptr lParam = 0;
};

// Receives the notifications of a window's controls; windows and device pages implement it.
class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

// Creates the program's own element names while a layout is built. Returns nullptr for a name it
// does not know, so that the factory and then Qt's own classes are tried.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual QWidget* CreateControl(const QString& className, QWidget* parent) = 0;
};

// Controls that handle their own timer ticks; every other control reports a tick as a "timer"
// notification with the id in wParam.
class IControlEvents {
public:
    virtual ~IControlEvents() = default;
    virtual void DoTimer(int id) = 0;
};

}  // namespace vx::widgets
