// The own-window back end of the input event source: the key and button events of this
// program's windows, taken from the application before any control sees them.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <memory>

#include "app/InputEventSource.h"
#include "platform/KeyCodeTable.h"

using vx::platform::KeyboardEventRecord;
using vx::platform::kXKeyCodeOffset;
using vx::platform::MouseEventRecord;

namespace vx::app {

namespace {

// Platforms without evdev scan codes (and synthesised events) give only Qt's key: the evdev code
// of the key that types it on a US layout. Both Shift, Ctrl and Alt keys read as the left ones.
uint32_t EvdevOfQtKey(int key, bool keypad) {
    // A to Z.
    static const uint8_t kLetters[] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                       49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return kLetters[key - Qt::Key_A];
    if (keypad) {
        static const uint32_t kPad[] = {82, 79, 80, 81, 75, 76, 77, 71, 72, 73};  // 0-9
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return kPad[key - Qt::Key_0];
        switch (key) {
            case Qt::Key_Enter: return 96;
            case Qt::Key_Slash: return 98;
            case Qt::Key_Asterisk: return 55;
            case Qt::Key_Minus: return 74;
            case Qt::Key_Plus: return 78;
            case Qt::Key_Period: return 83;
            default: break;
        }
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) return static_cast<uint32_t>(2 + key - Qt::Key_1);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F10) return static_cast<uint32_t>(59 + key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_0: return 11;
        case Qt::Key_F11: return 87;
        case Qt::Key_F12: return 88;
        case Qt::Key_Escape: return 1;
        case Qt::Key_Minus: return 12;
        case Qt::Key_Equal: return 13;
        case Qt::Key_Backspace: return 14;
        case Qt::Key_Tab: return 15;
        case Qt::Key_BracketLeft: return 26;
        case Qt::Key_BracketRight: return 27;
        case Qt::Key_Return: return 28;
        case Qt::Key_Enter: return 96;
        case Qt::Key_Control: return 29;
        case Qt::Key_Semicolon: return 39;
        case Qt::Key_Apostrophe: return 40;
        case Qt::Key_QuoteLeft: return 41;
        case Qt::Key_Shift: return 42;
        case Qt::Key_Backslash: return 43;
        case Qt::Key_Comma: return 51;
        case Qt::Key_Period: return 52;
        case Qt::Key_Slash: return 53;
        case Qt::Key_Alt: return 56;
        case Qt::Key_Space: return 57;
        case Qt::Key_CapsLock: return 58;
        case Qt::Key_NumLock: return 69;
        case Qt::Key_ScrollLock: return 70;
        case Qt::Key_Print: return 99;
        case Qt::Key_Home: return 102;
        case Qt::Key_Up: return 103;
        case Qt::Key_PageUp: return 104;
        case Qt::Key_Left: return 105;
        case Qt::Key_Right: return 106;
        case Qt::Key_End: return 107;
        case Qt::Key_Down: return 108;
        case Qt::Key_PageDown: return 109;
        case Qt::Key_Insert: return 110;
        case Qt::Key_Delete: return 111;
        case Qt::Key_Pause: return 119;
        case Qt::Key_Meta: return 125;
        case Qt::Key_Menu: return 127;
        default: return 0;
    }
}

class CWindowBackEnd : public QObject, public CInputBackEnd {
public:
    ~CWindowBackEnd() override {
        if (qApp) qApp->removeEventFilter(this);
    }

    bool Start(KeyFn onKey, MouseFn onMouse) override {
        if (!qApp) return false;
        m_onKey = std::move(onKey);
        m_onMouse = std::move(onMouse);
        qApp->installEventFilter(this);
        return true;
    }

    void SetKeyboardGrab(bool on) override { m_grab = on; }
    CaptureScope Scope() const override { return CaptureScope::OwnWindow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) return false;
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                if (!FirstPass(static_cast<QInputEvent*>(event))) return m_swallowed;
                m_swallowed = OnKey(static_cast<QKeyEvent*>(event));
                return m_swallowed;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
                if (FirstPass(static_cast<QInputEvent*>(event))) OnButton(static_cast<QMouseEvent*>(event));
                return false;
            default:
                return false;
        }
    }

private:
    // An event that a control leaves unaccepted is offered to its parents, and passes this filter
    // again each time: it is taken on its first pass only.
    bool FirstPass(const QInputEvent* event) {
        const bool same = event == m_last && event->type() == m_lastType && event->timestamp() == m_lastTime;
        m_last = event;
        m_lastType = event->type();
        m_lastTime = event->timestamp();
        return !same;
    }

    bool OnKey(QKeyEvent* event) {
        using namespace vx::platform;
        const quint32 native = event->nativeScanCode();
        const uint32_t evdev = native > kXKeyCodeOffset
                                   ? native - kXKeyCodeOffset
                                   : EvdevOfQtKey(event->key(), event->modifiers() & Qt::KeypadModifier);
        const std::optional<KeyCodes> codes = KeyCodesOfEvdev(evdev);
        if (!codes) return false;
        const bool press = event->type() == QEvent::KeyPress;
        KeyboardEventRecord record;
        record.vkCode = codes->vkCode;
        record.scanCode = codes->scanCode;
        const bool alt = event->modifiers() & Qt::AltModifier;
        record.flags = (codes->extended ? kKeyFlagExtended : 0) | (alt ? kKeyFlagAltDown : 0) | (press ? 0 : kKeyFlagUp);
        record.time = static_cast<uint32_t>(event->timestamp());
        m_onKey(alt ? (press ? kWmSysKeyDown : kWmSysKeyUp) : (press ? kWmKeyDown : kWmKeyUp), record);
        // During a capture the key is the capture's, not the control's.
        return m_grab && !IsLockKey(codes->vkCode);
    }

    void OnButton(QMouseEvent* event) {
        using namespace vx::platform;
        const bool press = event->type() == QEvent::MouseButtonPress;
        MouseEventRecord record;
        uint32_t message = 0;
        switch (event->button()) {
            case Qt::LeftButton: message = press ? kWmLButtonDown : kWmLButtonUp; break;
            case Qt::RightButton: message = press ? kWmRButtonDown : kWmRButtonUp; break;
            case Qt::MiddleButton: message = press ? kWmMButtonDown : kWmMButtonUp; break;
            case Qt::BackButton:
            case Qt::ForwardButton:
                message = press ? kWmXButtonDown : kWmXButtonUp;
                record.mouseData = static_cast<uint32_t>(event->button() == Qt::BackButton ? 1 : 2) << 16;
                break;
            default:
                return;
        }
        const QPoint global = event->globalPosition().toPoint();
        record.x = global.x();
        record.y = global.y();
        record.time = static_cast<uint32_t>(event->timestamp());
        m_onMouse(message, record);
    }

    KeyFn m_onKey;
    MouseFn m_onMouse;
    bool m_grab = false;
    bool m_swallowed = false;
    const QInputEvent* m_last = nullptr;
    QEvent::Type m_lastType = QEvent::None;
    quint64 m_lastTime = 0;
};

}  // namespace

std::unique_ptr<CInputBackEnd> CreateWindowBackEnd() {
    if (!qApp) return nullptr;
    return std::make_unique<CWindowBackEnd>();
}

}  // namespace vx::app
