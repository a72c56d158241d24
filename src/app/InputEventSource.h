#pragma once
// Where the input hook gets the keyboard and mouse events of the desktop from. One source per
// process; the keyboard hook and the hook library listen to it while they are installed.
//
// Back ends, chosen when the first listener arrives:
//  - X11: XInput2 raw events of the root window (every key and button of the desktop, whichever
//    window has the focus); the keyboard is grabbed while a capture asks for it, so keys reach no
//    other program. The server keeps acting on Caps Lock, Num Lock and Scroll Lock under a grab.
//  - Keyboard device: on Wayland no client sees the desktop's input; the evdev nodes of the
//    keyboards (and mice) the user may read give the keys instead. Nothing is swallowed there.
//  - Own window: without either, the program's own windows' key and button events, while one of
//    them has the focus; they are kept from the window's controls during a capture.
// VX_INPUT_HOOK=x11|evdev|window picks a back end (it falls back as above when unusable).
//
// Threads: UI thread only. Events are delivered on the UI thread from its event loop; a record
// is valid during the listener's call only.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/InputHookEvents.h"

namespace vx::app {

enum class CaptureScope {
    None,            // no back end could start
    Desktop,         // every key of the desktop, kept from other programs
    KeyboardDevice,  // the keyboards' own device nodes; other programs still get the keys
    OwnWindow,       // only while this program's window has the focus
};

// The language key of the note a panel shows about a capture of this scope ("" when nothing is
// to be said).
QString CaptureScopeNoteKey(CaptureScope scope);

class CInputBackEnd {
public:
    using KeyFn = std::function<void(uint32_t message, const vx::platform::KeyboardEventRecord&)>;
    using MouseFn = std::function<void(uint32_t message, const vx::platform::MouseEventRecord&)>;
    virtual ~CInputBackEnd() = default;
    virtual bool Start(KeyFn onKey, MouseFn onMouse) = 0;
    // While on, keys reach no other program (where the back end can do that).
    virtual void SetKeyboardGrab(bool on) = 0;
    virtual CaptureScope Scope() const = 0;
};

class CInputEventSource : public QObject {
    Q_OBJECT
public:
    using KeyListener = CInputBackEnd::KeyFn;
    using MouseListener = CInputBackEnd::MouseFn;

    static CInputEventSource& Instance();

    // A listener id (> 0), or 0 when no back end could start.
    int AddKeyListener(KeyListener listener);
    int AddMouseListener(MouseListener listener);
    void RemoveListener(int id);
    // Grabs the keyboard while any grab is held; counted.
    void HoldKeyboardGrab(bool hold);
    CaptureScope Scope() const { return m_backEnd ? m_backEnd->Scope() : m_lastScope; }
    // The back end this process would start: VX_INPUT_HOOK, else the platform's.
    static QString ChosenBackEndName();

private:
    CInputEventSource() = default;
    bool EnsureBackEnd();
    void ReleaseIfUnused();
    void DeliverKey(uint32_t message, const vx::platform::KeyboardEventRecord& record);
    void DeliverMouse(uint32_t message, const vx::platform::MouseEventRecord& record);

    std::unique_ptr<CInputBackEnd> m_backEnd;
    CaptureScope m_lastScope = CaptureScope::None;
    std::map<int, KeyListener> m_keyListeners;
    std::map<int, MouseListener> m_mouseListeners;
    int m_nextId = 1;
    int m_grabHolds = 0;
    // Events of a back end started before the current one are dropped.
    uint64_t m_generation = 0;
};

// The back ends; each returns null when it cannot run here.
std::unique_ptr<CInputBackEnd> CreateX11BackEnd();
std::unique_ptr<CInputBackEnd> CreateEvdevBackEnd();
std::unique_ptr<CInputBackEnd> CreateWindowBackEnd();

}  // namespace vx::app
