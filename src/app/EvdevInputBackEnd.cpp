// The keyboard-device back end of the input event source: the evdev nodes of the keyboards and
// mice this user may read, for desktops where no client sees the others' input (Wayland). The
// nodes are read, never grabbed: the desktop keeps its keys, and a program that ends leaves
// nothing behind.
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <QDir>
#include <QSocketNotifier>
#include <memory>
#include <vector>

#include "app/InputEventSource.h"
#include "platform/KeyCodeTable.h"

using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;

namespace vx::app {

namespace {

struct Node {
    int fd = -1;
    libevdev* device = nullptr;
    std::unique_ptr<QSocketNotifier> notifier;
};

uint32_t MillisecondsOf(const input_event& event) {
    return static_cast<uint32_t>(event.input_event_sec * 1000 + event.input_event_usec / 1000);
}

class CEvdevBackEnd : public CInputBackEnd {
public:
    ~CEvdevBackEnd() override {
        for (Node& node : m_nodes) {
            node.notifier.reset();
            libevdev_free(node.device);
            close(node.fd);
        }
    }

    // Opens every readable node that has letter keys or a left button.
    bool Open(const QString& folder) {
        const QStringList names = QDir(folder).entryList({QStringLiteral("event*")}, QDir::System | QDir::Files);
        for (const QString& name : names) {
            const QByteArray path = QDir(folder).filePath(name).toLocal8Bit();
            const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) continue;
            libevdev* device = nullptr;
            if (libevdev_new_from_fd(fd, &device) != 0) {
                close(fd);
                continue;
            }
            const bool keyboard = libevdev_has_event_code(device, EV_KEY, KEY_A) &&
                                  libevdev_has_event_code(device, EV_KEY, KEY_SPACE);
            const bool mouse = libevdev_has_event_code(device, EV_KEY, BTN_LEFT);
            if (!keyboard && !mouse) {
                libevdev_free(device);
                close(fd);
                continue;
            }
            m_nodes.push_back(Node{fd, device, nullptr});
        }
        return !m_nodes.empty();
    }

    bool Start(KeyFn onKey, MouseFn onMouse) override {
        m_onKey = std::move(onKey);
        m_onMouse = std::move(onMouse);
        for (size_t i = 0; i < m_nodes.size(); ++i) {
            Node& node = m_nodes[i];
            node.notifier = std::make_unique<QSocketNotifier>(node.fd, QSocketNotifier::Read);
            QObject::connect(node.notifier.get(), &QSocketNotifier::activated, node.notifier.get(),
                             [this, i] { Drain(m_nodes[i]); });
        }
        return true;
    }

    void SetKeyboardGrab(bool) override {
        // Holding the device would also keep the keys from the desktop's own lock keys; the
        // panel says that other programs still see them.
    }

    CaptureScope Scope() const override { return CaptureScope::KeyboardDevice; }

private:
    void Drain(Node& node) {
        input_event event;
        int status = libevdev_next_event(node.device, LIBEVDEV_READ_FLAG_NORMAL, &event);
        while (status == LIBEVDEV_READ_STATUS_SUCCESS || status == LIBEVDEV_READ_STATUS_SYNC) {
            if (event.type == EV_KEY) OnKey(event);
            const unsigned flag = status == LIBEVDEV_READ_STATUS_SYNC ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL;
            status = libevdev_next_event(node.device, flag, &event);
        }
        if (status == -ENODEV) node.notifier->setEnabled(false);
    }

    void OnKey(const input_event& event) {
        using namespace vx::platform;
        // Value 2 is the device's auto-repeat, reported as a further key down as Windows does.
        const bool press = event.value != 0;
        if (OnButton(event.code, press, MillisecondsOf(event))) return;
        const std::optional<KeyCodes> codes = KeyCodesOfEvdev(event.code);
        if (!codes) return;
        const bool isAlt = codes->vkCode == kVkLMenu || codes->vkCode == kVkRMenu;
        if (isAlt) m_altDown = press;
        KeyboardEventRecord record;
        record.vkCode = codes->vkCode;
        record.scanCode = codes->scanCode;
        record.flags = (codes->extended ? kKeyFlagExtended : 0) | (m_altDown ? kKeyFlagAltDown : 0) |
                       (press ? 0 : kKeyFlagUp);
        record.time = MillisecondsOf(event);
        const bool system = m_altDown || isAlt;
        m_onKey(system ? (press ? kWmSysKeyDown : kWmSysKeyUp) : (press ? kWmKeyDown : kWmKeyUp), record);
    }

    bool OnButton(uint16_t code, bool press, uint32_t time) {
        using namespace vx::platform;
        MouseEventRecord record;
        uint32_t message = 0;
        switch (code) {
            case BTN_LEFT: message = press ? kWmLButtonDown : kWmLButtonUp; break;
            case BTN_RIGHT: message = press ? kWmRButtonDown : kWmRButtonUp; break;
            case BTN_MIDDLE: message = press ? kWmMButtonDown : kWmMButtonUp; break;
            case BTN_SIDE:
            case BTN_EXTRA:
                message = press ? kWmXButtonDown : kWmXButtonUp;
                record.mouseData = static_cast<uint32_t>(code == BTN_SIDE ? 1 : 2) << 16;
                break;
            default:
                return code >= BTN_MISC && code < KEY_OK;
        }
        // The device knows no screen position; the pointer's place is left at 0.
        record.time = time;
        m_onMouse(message, record);
        return true;
    }

    std::vector<Node> m_nodes;
    bool m_altDown = false;
    KeyFn m_onKey;
    MouseFn m_onMouse;
};

}  // namespace

std::unique_ptr<CInputBackEnd> CreateEvdevBackEnd() {
    QString folder = qEnvironmentVariable("VX_EVDEV_DIR");
    if (folder.isEmpty()) folder = QStringLiteral("/dev/input");
    auto backEnd = std::make_unique<CEvdevBackEnd>();
    if (!backEnd->Open(folder)) return nullptr;
    return backEnd;
}

}  // namespace vx::app
