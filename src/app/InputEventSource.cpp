#include "app/InputEventSource.h"

#include <QGuiApplication>
#include <QTimer>

#include "platform/DebugLog.h"

using vx::platform::DebugLog;
using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;

namespace vx::app {

QString CaptureScopeNoteKey(CaptureScope scope) {
    switch (scope) {
        case CaptureScope::Desktop:
            return {};
        case CaptureScope::KeyboardDevice:
            return QStringLiteral("hook_note_device");
        case CaptureScope::OwnWindow:
            return QStringLiteral("hook_note_window");
        case CaptureScope::None:
            break;
    }
    return QStringLiteral("hook_note_none");
}

CInputEventSource& CInputEventSource::Instance() {
    static CInputEventSource* source = new CInputEventSource();
    return *source;
}

QString CInputEventSource::ChosenBackEndName() {
    const QString wanted = qEnvironmentVariable("VX_INPUT_HOOK").trimmed().toLower();
    if (!wanted.isEmpty()) return wanted;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) return QStringLiteral("x11");
    if (platform.startsWith(QLatin1String("wayland"))) return QStringLiteral("evdev");
    return QStringLiteral("window");
}

bool CInputEventSource::EnsureBackEnd() {
    if (m_backEnd) return true;
    const QString name = ChosenBackEndName();
    // Each choice falls back to the narrower ones.
    if (name == QLatin1String("x11")) m_backEnd = CreateX11BackEnd();
    if (!m_backEnd && (name == QLatin1String("x11") || name == QLatin1String("evdev")))
        m_backEnd = CreateEvdevBackEnd();
    if (!m_backEnd) m_backEnd = CreateWindowBackEnd();
    if (!m_backEnd) {
        m_lastScope = CaptureScope::None;
        return false;
    }
    const uint64_t generation = ++m_generation;
    const bool started = m_backEnd->Start(
        [this, generation](uint32_t message, const KeyboardEventRecord& record) {
            if (generation == m_generation) DeliverKey(message, record);
        },
        [this, generation](uint32_t message, const MouseEventRecord& record) {
            if (generation == m_generation) DeliverMouse(message, record);
        });
    if (!started) {
        DebugLog("input hook: the " + name.toStdString() + " back end did not start");
        m_backEnd.reset();
        m_lastScope = CaptureScope::None;
        return false;
    }
    m_lastScope = m_backEnd->Scope();
    if (m_grabHolds > 0) m_backEnd->SetKeyboardGrab(true);
    return true;
}

void CInputEventSource::ReleaseIfUnused() {
    if (!m_backEnd || !m_keyListeners.empty() || !m_mouseListeners.empty() || m_grabHolds > 0) return;
    // A listener may end the capture from inside the back end's own delivery (a key that moves
    // the focus away from the key edit): the back end goes once that delivery has returned, and
    // what it still delivers meanwhile reaches no one.
    ++m_generation;
    std::shared_ptr<CInputBackEnd> released(std::move(m_backEnd));
    QTimer::singleShot(0, this, [released] {});
}

int CInputEventSource::AddKeyListener(KeyListener listener) {
    if (!EnsureBackEnd()) return 0;
    const int id = m_nextId++;
    m_keyListeners.emplace(id, std::move(listener));
    return id;
}

int CInputEventSource::AddMouseListener(MouseListener listener) {
    if (!EnsureBackEnd()) return 0;
    const int id = m_nextId++;
    m_mouseListeners.emplace(id, std::move(listener));
    return id;
}

void CInputEventSource::RemoveListener(int id) {
    m_keyListeners.erase(id);
    m_mouseListeners.erase(id);
    ReleaseIfUnused();
}

void CInputEventSource::HoldKeyboardGrab(bool hold) {
    if (!hold && m_grabHolds == 0) return;
    const bool wasHeld = m_grabHolds > 0;
    m_grabHolds += hold ? 1 : -1;
    const bool held = m_grabHolds > 0;
    if (held && !EnsureBackEnd()) {
        m_grabHolds = 0;
        return;
    }
    if (m_backEnd && wasHeld != held) m_backEnd->SetKeyboardGrab(held);
    ReleaseIfUnused();
}

void CInputEventSource::DeliverKey(uint32_t message, const KeyboardEventRecord& record) {
    // A listener may remove itself (or another) while it runs: walk a copy of the ids.
    std::vector<int> ids;
    for (const auto& entry : m_keyListeners) ids.push_back(entry.first);
    for (int id : ids) {
        const auto it = m_keyListeners.find(id);
        if (it == m_keyListeners.end()) continue;
        KeyListener listener = it->second;
        listener(message, record);
    }
}

void CInputEventSource::DeliverMouse(uint32_t message, const MouseEventRecord& record) {
    std::vector<int> ids;
    for (const auto& entry : m_mouseListeners) ids.push_back(entry.first);
    for (int id : ids) {
        const auto it = m_mouseListeners.find(id);
        if (it == m_mouseListeners.end()) continue;
        MouseListener listener = it->second;
        listener(message, record);
    }
}

}  // namespace vx::app
