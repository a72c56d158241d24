#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class QObject;
namespace vx::widgets {


using WindowHandle = quintptr;  // 0 = no window; a closed window's handle is never reused

// Message numbers shared with every window.
namespace wm {
constexpr uint kDestroy = 0x0002;
constexpr uint kClose = 0x0010;
constexpr uint kTimer = 0x0113;
constexpr uint kUser = 0x0400;
constexpr uint kFirstRegistered = 0xC000;
constexpr uint kLastRegistered = 0xFFFF;
}  // namespace wm

// A small in-process window-message layer: windows register a handler and get a handle; any
// thread posts (queued, returns at once) or sends (waits until the window's thread has handled
// it) messages to that handle. Registered messages give a number per text.
class CWindowMessages {
public:
    using Handler = std::function<qintptr(uint message, quintptr wParam, qintptr lParam)>;

    // The handler runs on `receiver`'s thread; the registration ends with the receiver.
    static WindowHandle Register(QObject* receiver, Handler handler);
    // Ends the registration: later posts fail, and sends waiting for the window return 0.
    static void Unregister(WindowHandle window);
    static bool IsWindow(WindowHandle window);

    static bool PostMessage(WindowHandle window, uint message, quintptr wParam = 0, qintptr lParam = 0);
    // On the window's own thread the handler is called directly. From another thread the caller
    // waits until the handler has run or the window has gone (result 0). While waiting the
    // caller's own windows are not served, so a window thread must not send to a thread that
    // waits for it; use SendMessageTimeout where that can happen.
    static qintptr SendMessage(WindowHandle window, uint message, quintptr wParam = 0, qintptr lParam = 0);
    // As SendMessage, giving up after timeoutMs; false when it timed out or the window is gone.
    static bool SendMessageTimeout(WindowHandle window, uint message, quintptr wParam, qintptr lParam,
                                   int timeoutMs, qintptr* result);

    // The number of a message text, in 0xC000–0xFFFF. The number is computed from the text
    // alone, so every process gets the same number for the same text.
    static uint RegisterWindowMessage(const QString& name);
    // The text registered under a number in this process, or empty.
    static QString GetRegisteredName(uint message);
};

}  // namespace vx::widgets
