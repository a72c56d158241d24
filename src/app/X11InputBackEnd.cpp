// The X11 back end of the input event source: XInput2 raw events of the root window on a
// connection of its own, read on the UI thread through a socket notifier.
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QWindow>
#include <QTimer>
#include <memory>

#include "app/InputEventSource.h"
#include "platform/DebugLog.h"
#include "platform/KeyCodeTable.h"

namespace vx::app {
// Keeps key events from the program's controls while the hook holds the grab; the lock keys pass.
// (Before Xlib, which defines KeyPress as a macro.)
class CaptureKeyFilter : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease &&
            event->type() != QEvent::ShortcutOverride)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key != Qt::Key_CapsLock && key != Qt::Key_NumLock && key != Qt::Key_ScrollLock;
    }
};
}  // namespace vx::app

// After the program's headers: Xlib defines names such as None and Bool as macros.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

using vx::platform::DebugLog;
using vx::platform::KeyboardEventRecord;
using vx::platform::kXKeyCodeOffset;
using vx::platform::MouseEventRecord;

namespace vx::app {

namespace {

// X button numbers: 1 left, 2 middle, 3 right, 8 back, 9 forward (4 to 7 are the wheel).
bool MouseMessageOf(int button, bool press, uint32_t* message, uint32_t* mouseData) {
    using namespace vx::platform;
    *mouseData = 0;
    switch (button) {
        case 1:
            *message = press ? kWmLButtonDown : kWmLButtonUp;
            return true;
        case 2:
            *message = press ? kWmMButtonDown : kWmMButtonUp;
            return true;
        case 3:
            *message = press ? kWmRButtonDown : kWmRButtonUp;
            return true;
        case 8:
        case 9:
            *message = press ? kWmXButtonDown : kWmXButtonUp;
            *mouseData = static_cast<uint32_t>(button == 8 ? 1 : 2) << 16;
            return true;
        default:
            return false;
    }
}

class CX11BackEnd : public CInputBackEnd {
public:
    ~CX11BackEnd() override {
        m_notifier.reset();
        if (m_display) {
            if (m_grabbed) SetKeyboardGrab(false);
            XCloseDisplay(m_display);
        }
    }

    bool Open() {
        m_display = XOpenDisplay(nullptr);
        if (!m_display) return false;
        int event = 0, error = 0;
        if (!XQueryExtension(m_display, "XInputExtension", &m_xiOpcode, &event, &error)) return false;
        int major = 2, minor = 1;
        if (XIQueryVersion(m_display, &major, &minor) != Success || major < 2) return false;
        return true;
    }

    bool Start(KeyFn onKey, MouseFn onMouse) override {
        m_onKey = std::move(onKey);
        m_onMouse = std::move(onMouse);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XIEventMask mask{XIAllMasterDevices, sizeof(bits), bits};
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
        XISetMask(bits, XI_RawMotion);
        if (XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1) != Success) return false;
        XSync(m_display, False);
        m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { Drain(); });
        return true;
    }

    // The grab is taken by the program's own X connection on its focused window, keys reported
    // to the program as usual (owner events): a grab by another connection, or on the root
    // window, takes the focus from the program's window, and its focused control (the key edit
    // that started the capture) would see itself left and end the capture at once. The controls
    // are then kept from the keys by an event filter; the raw events still reach the hook. Where
    // Qt has no X connection (tests run it off screen) the hook's own connection grabs the root
    // window, and its keys come as core events.
    void SetKeyboardGrab(bool on) override {
        if (on == m_grabbed) return;
        if (on) {
            Display* qtDisplay = nullptr;
            if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
                qtDisplay = x11->display();
            const QWindow* focused = QGuiApplication::focusWindow();
            m_grabDisplay = qtDisplay && focused ? qtDisplay : m_display;
            m_ownerEvents = m_grabDisplay != m_display;
            const Window grabWindow = m_ownerEvents ? static_cast<Window>(focused->winId()) : DefaultRootWindow(m_display);
            const int result = XGrabKeyboard(m_grabDisplay, grabWindow, m_ownerEvents ? True : False, GrabModeAsync,
                                             GrabModeAsync, CurrentTime);
            m_grabbed = result == GrabSuccess;
            if (!m_grabbed) DebugLog("input hook: the keyboard could not be grabbed (" + std::to_string(result) + ")");
            if (m_grabbed && m_ownerEvents) qApp->installEventFilter(&m_keyFilter);
        } else {
            XUngrabKeyboard(m_grabDisplay, CurrentTime);
            if (m_ownerEvents) qApp->removeEventFilter(&m_keyFilter);
            m_grabbed = false;
        }
        XFlush(m_grabDisplay);
        // The round trip may have queued events the socket will not announce again.
        QTimer::singleShot(0, m_notifier.get(), [this] { Drain(); });
    }

    CaptureScope Scope() const override { return CaptureScope::Desktop; }

private:
    void Drain() {
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            // Under its own grab this client gets the keys as core events and not as raw ones.
            if (event.type == KeyPress || event.type == KeyRelease) {
                if (m_grabbed && !m_ownerEvents) OnKey(static_cast<int>(event.xkey.keycode - kXKeyCodeOffset), event.type == KeyPress,
                                     static_cast<uint32_t>(event.xkey.time));
                continue;
            }
            XGenericEventCookie* cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != m_xiOpcode) continue;
            if (!XGetEventData(m_display, cookie)) continue;
            // A button reports the position of the moves before it first.
            if (m_motionPending && (cookie->evtype == XI_RawButtonPress || cookie->evtype == XI_RawButtonRelease))
                FlushMotion();
            Handle(cookie->evtype, static_cast<const XIRawEvent*>(cookie->data));
            XFreeEventData(m_display, cookie);
        }
        if (m_motionPending) FlushMotion();
    }

    void Handle(int type, const XIRawEvent* raw) {
        switch (type) {
            case XI_RawKeyPress:
            case XI_RawKeyRelease:
                if (m_grabbed && !m_ownerEvents) return;
                OnKey(raw->detail - static_cast<int>(kXKeyCodeOffset), type == XI_RawKeyPress, static_cast<uint32_t>(raw->time));
                return;
            case XI_RawButtonPress:
            case XI_RawButtonRelease:
                OnButton(raw->detail, type == XI_RawButtonPress, static_cast<uint32_t>(raw->time));
                return;
            case XI_RawMotion:
                // A mouse reports up to a thousand moves a second: one position per batch read.
                m_motionPending = true;
                m_motionTime = static_cast<uint32_t>(raw->time);
                return;
            default:
                return;
        }
    }

    void OnKey(int evdev, bool press, uint32_t time) {
        using namespace vx::platform;
        if (evdev <= 0) return;
        const std::optional<KeyCodes> codes = KeyCodesOfEvdev(static_cast<uint32_t>(evdev));
        if (!codes) return;
        const bool isAlt = codes->vkCode == kVkLMenu || codes->vkCode == kVkRMenu;
        const bool isCtrl = codes->vkCode == 0xA2 || codes->vkCode == 0xA3;
        if (isAlt) m_altDown = press;
        if (isCtrl) m_ctrlDown = press;
        KeyboardEventRecord record;
        record.vkCode = codes->vkCode;
        record.scanCode = codes->scanCode;
        record.flags = (codes->extended ? kKeyFlagExtended : 0) | (m_altDown ? kKeyFlagAltDown : 0) |
                       (press ? 0 : kKeyFlagUp);
        record.time = time;
        // A key with Alt held (or Alt itself) and no Ctrl is a system key.
        const bool system = (m_altDown || isAlt) && !m_ctrlDown;
        const uint32_t message = system ? (press ? kWmSysKeyDown : kWmSysKeyUp) : (press ? kWmKeyDown : kWmKeyUp);
        m_onKey(message, record);
    }

    // Raw events carry no screen position: the pointer's place is read when the event is taken,
    // a few milliseconds after the click.
    void OnButton(int button, bool press, uint32_t time) {
        MouseEventRecord record;
        uint32_t message = 0;
        if (!MouseMessageOf(button, press, &message, &record.mouseData)) return;
        PointerPosition(&record.x, &record.y);
        record.time = time;
        m_onMouse(message, record);
    }

    void FlushMotion() {
        m_motionPending = false;
        OnMotion(m_motionTime);
    }

    void OnMotion(uint32_t time) {
        MouseEventRecord record;
        PointerPosition(&record.x, &record.y);
        // Raw motion also comes for moves that do not change the position (at a screen edge).
        if (record.x == m_lastX && record.y == m_lastY) return;
        m_lastX = record.x;
        m_lastY = record.y;
        record.time = time;
        m_onMouse(vx::platform::kWmMouseMove, record);
    }

    void PointerPosition(int32_t* x, int32_t* y) {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, winX = 0, winY = 0;
        unsigned int mask = 0;
        if (XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &winX, &winY,
                          &mask)) {
            *x = rootX;
            *y = rootY;
        }
    }

    Display* m_display = nullptr;
    Display* m_grabDisplay = nullptr;
    bool m_ownerEvents = false;
    vx::app::CaptureKeyFilter m_keyFilter;
    int m_xiOpcode = 0;
    bool m_grabbed = false;
    bool m_altDown = false;
    bool m_ctrlDown = false;
    int32_t m_lastX = -1, m_lastY = -1;
    bool m_motionPending = false;
    uint32_t m_motionTime = 0;
    KeyFn m_onKey;
    MouseFn m_onMouse;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace

std::unique_ptr<CInputBackEnd> CreateX11BackEnd() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return nullptr;
    auto backEnd = std::make_unique<CX11BackEnd>();
    if (!backEnd->Open()) return nullptr;
    return backEnd;
}

}  // namespace vx::app
