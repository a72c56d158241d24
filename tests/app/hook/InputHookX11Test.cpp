// The input hook on a real X server (a private Xvfb), with keys and buttons injected through
// XTest as a keyboard and mouse would give them: what the hook sends to its window, that the keys
// reach no other client while it runs, that Caps Lock still toggles, and where it falls back when
// no X server is there.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

#include "app/DeviceHook.h"
#include "app/HookLibrary.h"
#include "app/HookMessageRoute.h"
#include "app/InputEventSource.h"
#include "app/RegisteredMessages.h"
#include "platform/InputHookEvents.h"
#include "widgets/WindowMessages.h"

// Named before Xlib defines None and FocusOut.
constexpr vx::app::CaptureScope kNoCapture = vx::app::CaptureScope::None;
// Counts the times a control lost the focus.
struct FocusWatch : QObject {
    int lost = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) ++lost;
        return false;
    }
};

// After the program's headers: Xlib's macros (None, Bool, ...) would break them.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using vx::app::UWM_MOUSELBUTTONDOWN_USER_MSG;
using vx::app::UWM_MOUSELBUTTONUP_USER_MSG;
using vx::app::UWM_MOUSEMOVE_USER_MSG;
using vx::app::UWM_MOUSERBUTTONDOWN_USER_MSG;
using vx::app::UWM_MOUSERBUTTONUP_USER_MSG;
using vx::app::WM_HOOK_KEY_KBMACROLATER_MSG;
using vx::app::WM_HOOK_KEY_KBMACRO_MSG;
using vx::app::WM_HOOK_KEY_MSMACROLATER_MSG;
using vx::app::WM_HOOK_KEY_MSMACROPREVIOUS_MSG;
using vx::app::WM_HOOK_KEY_MSMACROSINGLE_MSG;
using vx::app::WM_HOOK_KEY_MSMACRO_MSG;
using vx::app::WM_HOOK_KEY_SINGLEKEY_MSG;

using vx::app::CaptureScope;
using vx::app::CDeviceHook;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;
// The registered message numbers and their registration.
using namespace vx::app;
using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;

namespace {

// A private X server for the whole test program; its display number comes back on a pipe.
class PrivateXServer {
public:
    bool Start() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) return false;
        int fds[2];
        if (pipe(fds) != 0) return false;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            const std::string fd = std::to_string(fds[1]);
            const QByteArray path = xvfb.toLocal8Bit();
            execl(path.constData(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-noreset", "-nolisten",
                  "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (m_pid < 0) {
            close(fds[0]);
            return false;
        }
        char buffer[16] = {};
        ssize_t got = 0;
        // Xvfb writes the number once it accepts connections.
        for (ssize_t n = 0; got < static_cast<ssize_t>(sizeof(buffer) - 1); got += n) {
            n = read(fds[0], buffer + got, sizeof(buffer) - 1 - got);
            if (n <= 0 || memchr(buffer, '\n', static_cast<size_t>(got + n))) {
                if (n > 0) got += n;
                break;
            }
        }
        close(fds[0]);
        if (got <= 0) return false;
        m_display = ":" + std::string(buffer, strcspn(buffer, "\n"));
        return true;
    }
    void Stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

PrivateXServer* g_server = nullptr;
bool g_serverUp = false;

struct Received {
    uint message = 0;
    quintptr wParam = 0;
    KeyboardEventRecord key;
    MouseEventRecord mouse;
    bool isMouse = false;
};

class InputHookX11Test : public testing::Test {
protected:
    static void SetUpTestSuite() { registered_messages::RegisterHookMessages(); }

    void SetUp() override {
        if (!g_serverUp) GTEST_SKIP() << "Xvfb is not installed or did not start";
        m_injector = XOpenDisplay(nullptr);
        ASSERT_NE(m_injector, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(m_injector, &event, &error, &major, &minor)) << "no XTest on the server";
        m_window = CWindowMessages::Register(&m_receiver, [this](uint message, quintptr wParam, qintptr lParam) {
            Received got;
            got.message = message;
            got.wParam = wParam;
            got.isMouse = IsMouseMessage(message);
            // The record is valid during this call only: copied here, as a receiver must.
            if (got.isMouse) {
                got.mouse = *reinterpret_cast<const MouseEventRecord*>(lParam);
            } else {
                got.key = *reinterpret_cast<const KeyboardEventRecord*>(lParam);
            }
            m_received.push_back(got);
            return qintptr(0);
        });
    }

    void TearDown() override {
        m_hook.RemoveHook();
        if (m_window) CWindowMessages::Unregister(m_window);
        if (m_other) XCloseDisplay(m_other);
        if (m_injector) XCloseDisplay(m_injector);
    }

    static bool IsMouseMessage(uint message) {
        return message == WM_HOOK_KEY_MSMACRO_MSG || message == WM_HOOK_KEY_MSMACROPREVIOUS_MSG ||
               message == WM_HOOK_KEY_MSMACROLATER_MSG || message == WM_HOOK_KEY_MSMACROSINGLE_MSG ||
               message == UWM_MOUSELBUTTONDOWN_USER_MSG || message == UWM_MOUSELBUTTONUP_USER_MSG ||
               message == UWM_MOUSERBUTTONDOWN_USER_MSG || message == UWM_MOUSERBUTTONUP_USER_MSG ||
               message == UWM_MOUSEMOVE_USER_MSG;
    }

    void PressKey(KeySym sym) {
        const KeyCode code = XKeysymToKeycode(m_injector, sym);
        ASSERT_NE(code, 0) << "the server's keymap has no key for " << sym;
        XTestFakeKeyEvent(m_injector, code, True, 0);
        XTestFakeKeyEvent(m_injector, code, False, 0);
        XSync(m_injector, False);
    }

    void ClickButton(unsigned button, int x, int y) {
        XTestFakeMotionEvent(m_injector, -1, x, y, 0);
        XTestFakeButtonEvent(m_injector, button, True, 0);
        XTestFakeButtonEvent(m_injector, button, False, 0);
        XSync(m_injector, False);
    }

    // Delivers the program's events until `count` messages of `message` arrived or 3 s passed.
    std::vector<Received> WaitFor(uint message, size_t count) {
        QElapsedTimer timer;
        timer.start();
        std::vector<Received> matching;
        while (timer.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            matching.clear();
            for (const Received& got : m_received) {
                if (got.message == message) matching.push_back(got);
            }
            if (matching.size() >= count) break;
        }
        return matching;
    }

    void Settle(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // Another program: a mapped window with the input focus that listens for keys.
    void OpenOtherClient() {
        m_other = XOpenDisplay(nullptr);
        ASSERT_NE(m_other, nullptr);
        m_otherWindow = XCreateSimpleWindow(m_other, DefaultRootWindow(m_other), 0, 0, 200, 200, 0, 0, 0);
        XSelectInput(m_other, m_otherWindow, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XMapWindow(m_other, m_otherWindow);
        for (;;) {
            XEvent event;
            XNextEvent(m_other, &event);
            if (event.type == MapNotify) break;
        }
        XSetInputFocus(m_other, m_otherWindow, RevertToParent, CurrentTime);
        XSync(m_other, False);
    }

    // The key presses the other program got since the last call.
    int OtherClientKeyPresses() {
        XSync(m_other, False);
        int presses = 0;
        while (XPending(m_other) > 0) {
            XEvent event;
            XNextEvent(m_other, &event);
            if (event.type == KeyPress) ++presses;
        }
        return presses;
    }

    bool CapsLocked() {
        XkbStateRec state{};
        XkbGetState(m_injector, XkbUseCoreKbd, &state);
        return (state.locked_mods & LockMask) != 0;
    }

    QObject m_receiver;
    WindowHandle m_window = 0;
    std::vector<Received> m_received;
    CDeviceHook m_hook;
    Display* m_injector = nullptr;
    Display* m_other = nullptr;
    Window m_otherWindow = 0;
};

TEST_F(InputHookX11Test, SingleKeyCaptureGetsTheKeyAndNoOtherProgramDoes) {
    ASSERT_NO_FATAL_FAILURE(OpenOtherClient());
    // Without the hook the other program gets the keys: the check below can see them.
    PressKey(XK_q);
    ASSERT_EQ(OtherClientKeyPresses(), 1);

    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    EXPECT_EQ(m_hook.Scope(), CaptureScope::Desktop);
    PressKey(XK_a);
    PressKey(XK_Control_R);
    PressKey(XK_KP_Enter);
    const std::vector<Received> keys = WaitFor(WM_HOOK_KEY_SINGLEKEY_MSG, 6);
    ASSERT_EQ(keys.size(), 6u);
    // A: set-1 0x1E, virtual key 'A'; down, then up with the key-up flag.
    EXPECT_EQ(keys[0].wParam, vx::platform::kWmKeyDown);
    EXPECT_EQ(keys[0].key.scanCode, 0x1Eu);
    EXPECT_EQ(keys[0].key.vkCode, uint32_t('A'));
    EXPECT_EQ(keys[0].key.flags & vx::platform::kKeyFlagExtended, 0u);
    EXPECT_EQ(keys[1].wParam, vx::platform::kWmKeyUp);
    EXPECT_NE(keys[1].key.flags & 0x80u, 0u);
    // Right Ctrl and the keypad's Enter carry E0: the key table tells them from left Ctrl and Enter.
    EXPECT_EQ(keys[2].key.scanCode, 0x1Du);
    EXPECT_EQ(keys[2].key.flags & vx::platform::kKeyFlagExtended, vx::platform::kKeyFlagExtended);
    EXPECT_EQ(keys[2].key.vkCode, 0xA3u);
    EXPECT_EQ(keys[4].key.scanCode, 0x1Cu);
    EXPECT_EQ(keys[4].key.flags & vx::platform::kKeyFlagExtended, vx::platform::kKeyFlagExtended);
    EXPECT_EQ(OtherClientKeyPresses(), 0) << "a captured key reached another program";

    // Removed, the keys go where they went before, and the window hears no more.
    EXPECT_EQ(m_hook.RemoveHook(), 1);
    EXPECT_EQ(m_hook.RemoveHook(), 0);
    m_received.clear();
    PressKey(XK_b);
    Settle(200);
    EXPECT_EQ(OtherClientKeyPresses(), 1);
    EXPECT_TRUE(m_received.empty());
}

TEST_F(InputHookX11Test, CapsLockStillTogglesWhileTheKeyboardIsCaptured) {
    const bool before = CapsLocked();
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    PressKey(XK_Caps_Lock);
    const std::vector<Received> keys = WaitFor(WM_HOOK_KEY_SINGLEKEY_MSG, 2);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].key.vkCode, 0x14u);
    EXPECT_EQ(keys[0].key.scanCode, 0x3Au);
    EXPECT_NE(CapsLocked(), before) << "Caps Lock did not toggle under the capture";
    PressKey(XK_Caps_Lock);
    Settle(50);
    EXPECT_EQ(CapsLocked(), before);
}

TEST_F(InputHookX11Test, ARecordingGetsKeysAndButtonsAsTheMessagesOfItsTarget) {
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookMacroLater, m_window, true, true), 1);
    PressKey(XK_Escape);
    // Raw button events carry no position: the pointer's is read as the event is taken, so the
    // clicks come at a user's pace, not faster than the program reads them.
    ClickButton(1, 100, 120);
    WaitFor(WM_HOOK_KEY_MSMACROLATER_MSG, 2);
    ClickButton(3, 30, 40);
    const std::vector<Received> keys = WaitFor(WM_HOOK_KEY_KBMACROLATER_MSG, 2);
    const std::vector<Received> buttons = WaitFor(WM_HOOK_KEY_MSMACROLATER_MSG, 4);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].key.scanCode, 0x01u);
    std::vector<Received> clicks;
    for (const Received& got : buttons) {
        if (got.wParam != vx::platform::kWmMouseMove) clicks.push_back(got);
    }
    ASSERT_EQ(clicks.size(), 4u);
    EXPECT_EQ(clicks[0].wParam, vx::platform::kWmLButtonDown);
    EXPECT_EQ(clicks[0].mouse.x, 100);
    EXPECT_EQ(clicks[0].mouse.y, 120);
    EXPECT_EQ(clicks[1].wParam, vx::platform::kWmLButtonUp);
    EXPECT_EQ(clicks[2].wParam, vx::platform::kWmRButtonDown);
    EXPECT_EQ(clicks[2].mouse.x, 30);
    EXPECT_EQ(clicks[3].wParam, vx::platform::kWmRButtonUp);
    // No message of another target and no single-key message came.
    for (const Received& got : m_received) {
        EXPECT_NE(got.message, WM_HOOK_KEY_KBMACRO_MSG);
        EXPECT_NE(got.message, WM_HOOK_KEY_MSMACRO_MSG);
        EXPECT_NE(got.message, WM_HOOK_KEY_SINGLEKEY_MSG);
    }

    // Installing again replaces the mode: single key sends no mouse messages.
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    m_received.clear();
    ClickButton(1, 10, 10);
    PressKey(XK_z);
    const std::vector<Received> single = WaitFor(WM_HOOK_KEY_SINGLEKEY_MSG, 2);
    EXPECT_EQ(single.size(), 2u);
    for (const Received& got : m_received) EXPECT_FALSE(got.message == WM_HOOK_KEY_MSMACROLATER_MSG);
}

// A page's receiving side that keeps what it was handed.
class RecordingSink : public vx::platform::IHookEventSink {
public:
    struct Call {
        std::string kind;
        int target = 0;
        uint32_t message = 0;
        uint32_t code = 0;  // scan code or x
    };
    void OnSingleKey(uint32_t message, const KeyboardEventRecord& record) override {
        calls.push_back({"single", 0, message, record.scanCode});
    }
    void OnRecordKey(int target, uint32_t message, const KeyboardEventRecord& record) override {
        calls.push_back({"key", target, message, record.scanCode});
    }
    void OnRecordMouse(int target, uint32_t message, const MouseEventRecord& record) override {
        calls.push_back({"mouse", target, message, static_cast<uint32_t>(record.x)});
    }
    std::vector<Call> calls;
};

// From the desktop's keys and buttons to the panel, as the main window routes them: each mode's
// messages reach the receiver as the recording target the panel asked for.
TEST_F(InputHookX11Test, EachModeReachesThePanelAsItsTarget) {
    RecordingSink sink;
    QObject windowObject;
    const WindowHandle window = CWindowMessages::Register(&windowObject, [&](uint message, quintptr wParam, qintptr lParam) {
        vx::app::DeliverHookMessage(&sink, message, wParam, lParam);
        return qintptr(0);
    });
    auto waitCalls = [&](size_t count) {
        QElapsedTimer timer;
        timer.start();
        while (sink.calls.size() < count && timer.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        Settle(50);
    };

    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, window, true, true), 1);
    PressKey(XK_Delete);
    waitCalls(2);
    ASSERT_EQ(sink.calls.size(), 2u);
    EXPECT_EQ(sink.calls[0].kind, "single");
    EXPECT_EQ(sink.calls[0].code, 0x53u);

    for (int target : {vx::platform::kHookMacro, vx::platform::kHookMacroPrevious, vx::platform::kHookMacroSingle}) {
        SCOPED_TRACE(target);
        sink.calls.clear();
        ASSERT_EQ(m_hook.SetHook(0, target, window, true, true), 1);
        PressKey(XK_Tab);
        ClickButton(2, 50 + target, 60);
        waitCalls(4);
        std::vector<RecordingSink::Call> calls;
        for (const auto& call : sink.calls) {
            if (call.message != vx::platform::kWmMouseMove) calls.push_back(call);
        }
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_EQ(calls[0].kind, "key");
        EXPECT_EQ(calls[0].target, target);
        EXPECT_EQ(calls[0].code, 0x0Fu);
        EXPECT_EQ(calls[2].kind, "mouse");
        EXPECT_EQ(calls[2].target, target);
        EXPECT_EQ(calls[2].message, vx::platform::kWmMButtonDown);
        EXPECT_EQ(calls[2].code, static_cast<uint32_t>(50 + target));
    }

    // Mode 2 has no receiver in the program: nothing reaches the panel.
    sink.calls.clear();
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookHitKey, window, true, true), 1);
    PressKey(XK_Tab);
    Settle(200);
    EXPECT_TRUE(sink.calls.empty());
    m_hook.RemoveHook();
    CWindowMessages::Unregister(window);
}

// On an X11 desktop the key edit that starts a capture keeps the focus (a capture that took it
// away would end itself), its window's controls get none of the keys, and a global shortcut of
// another program does not fire.
TEST_F(InputHookX11Test, ACaptureFromTheProgramsFocusedEditKeepsItsFocus) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "runs as app_input_hook_xcb";
    QWidget window;
    auto* edit = new QLineEdit(&window);
    window.resize(200, 60);
    window.show();
    window.activateWindow();
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 3000)) << "the edit never got the focus";
    FocusWatch watch;
    edit->installEventFilter(&watch);

    // Another program's global shortcut on Q.
    m_other = XOpenDisplay(nullptr);
    ASSERT_NE(m_other, nullptr);
    const KeyCode q = XKeysymToKeycode(m_other, XK_q);
    XGrabKey(m_other, q, AnyModifier, DefaultRootWindow(m_other), True, GrabModeAsync, GrabModeAsync);
    XSync(m_other, False);
    auto shortcutFired = [&] {
        XSync(m_other, False);
        int fired = 0;
        while (XPending(m_other) > 0) {
            XEvent event;
            XNextEvent(m_other, &event);
            if (event.type == KeyPress) ++fired;
        }
        return fired;
    };

    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    PressKey(XK_a);
    PressKey(XK_q);
    const std::vector<Received> keys = WaitFor(WM_HOOK_KEY_SINGLEKEY_MSG, 4);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].key.scanCode, 0x1Eu);
    EXPECT_EQ(keys[2].key.scanCode, 0x10u);
    Settle(100);
    EXPECT_EQ(watch.lost, 0) << "the capture took the focus from the edit that started it";
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_TRUE(edit->text().isEmpty()) << "a captured key reached the window's control";
    EXPECT_EQ(shortcutFired(), 0) << "another program's shortcut fired during the capture";

    // Without the capture the edit types again and the shortcut fires: both checks can see it.
    m_hook.RemoveHook();
    PressKey(XK_b);
    PressKey(XK_q);
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->text() == QStringLiteral("b"); }, 3000)) << edit->text().toStdString();
    EXPECT_EQ(shortcutFired(), 1);
}

// The receiver ends the capture from inside the delivery of a key (as a key panel does when the
// key moves the focus on): the keys still queued go nowhere, and a new capture works.
TEST_F(InputHookX11Test, ACaptureEndedByItsOwnKeyLeavesNothingBehind) {
    QObject windowObject;
    int delivered = 0;
    const WindowHandle window = CWindowMessages::Register(&windowObject, [&](uint, quintptr, qintptr) {
        ++delivered;
        m_hook.RemoveHook();
        return qintptr(0);
    });
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, window, true, true), 1);
    PressKey(XK_a);
    PressKey(XK_b);
    PressKey(XK_c);
    Settle(300);
    EXPECT_EQ(delivered, 1);
    EXPECT_FALSE(m_hook.KeyboardHookInstalled());
    CWindowMessages::Unregister(window);

    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    PressKey(XK_d);
    EXPECT_EQ(WaitFor(WM_HOOK_KEY_SINGLEKEY_MSG, 2).size(), 2u);
}

TEST_F(InputHookX11Test, WithoutAnXServerTheCaptureFallsBackToTheOwnWindow) {
    const QByteArray display = qgetenv("DISPLAY");
    QTemporaryDir noDevices;
    qputenv("DISPLAY", ":99999");
    qputenv("VX_EVDEV_DIR", noDevices.path().toLocal8Bit());
    CDeviceHook hook;
    EXPECT_EQ(hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    EXPECT_EQ(hook.Scope(), CaptureScope::OwnWindow);
    EXPECT_EQ(vx::app::CaptureScopeNoteKey(hook.Scope()), QStringLiteral("hook_note_window"));
    hook.RemoveHook();
    EXPECT_EQ(hook.Scope(), kNoCapture);
    qputenv("DISPLAY", display);
    qunsetenv("VX_EVDEV_DIR");
    // With the server back, the next capture is the desktop's again.
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_window, true, true), 1);
    EXPECT_EQ(m_hook.Scope(), CaptureScope::Desktop);
}

}  // namespace

// The program off screen (its windows on no display; the hook's own connection grabs), or, with
// VX_TEST_QPA=xcb, on the private X server itself, as it runs on an X11 desktop.
int main(int argc, char** argv) {
    PrivateXServer server;
    g_server = &server;
    g_serverUp = server.Start();
    if (g_serverUp) qputenv("DISPLAY", QByteArray::fromStdString(server.Display()));
    qputenv("VX_INPUT_HOOK", "x11");
    // Without a server every test skips, saying why.
    const QByteArray platform =
        qEnvironmentVariableIsEmpty("VX_TEST_QPA") || !g_serverUp ? QByteArray("offscreen") : qgetenv("VX_TEST_QPA");
    qputenv("QT_QPA_PLATFORM", platform);
    int result = 0;
    {
        QApplication app(argc, argv);
        testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    server.Stop();
    return result;
}
