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
using vx::platform::MouseEventRecord;

namespace vx::app {

namespace {

// Native scan codes on X11 and Wayland are evdev codes plus 8.
constexpr quint32 kEvdevOffset = 8;

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
        if (native <= kEvdevOffset) return false;
        const std::optional<KeyCodes> codes = KeyCodesOfEvdev(native - kEvdevOffset);
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
