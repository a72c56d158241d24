#include "app/ControlCenterBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

#include "app/RegisteredMessages.h"

using vx::widgets::CWindowMessages;

namespace vx::app {

const QString CControlCenterBus::kService = QStringLiteral("com.vexorumbrel.ControlCenter");
const QString CControlCenterBus::kPath = QStringLiteral("/ControlCenter");
const QString CControlCenterBus::kInterface = QStringLiteral("com.vexorumbrel.ControlCenter");

CControlCenterBus::CControlCenterBus(QObject* parent) : QObject(parent) {}

bool CControlCenterBus::Export() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    return bus.registerObject(
        kPath, this, QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals);
}

bool CControlCenterBus::PostMessage(const QString& name, qlonglong wParam, qlonglong lParam) {
    // Only the texts this program registered are accepted, so another program cannot reach the
    // window's private numbers.
    if (!registered_messages::AllNames().contains(name)) return false;
    const uint message = CWindowMessages::RegisterWindowMessage(name);
    return CWindowMessages::PostMessage(m_target, message, static_cast<quintptr>(wParam),
                                        static_cast<qintptr>(lParam));
}

bool CControlCenterBus::BroadcastSystemMessage(uint message, qint64 wParam, qint64 lParam) {
    const QString name = CWindowMessages::GetRegisteredName(message);
    if (name.isEmpty()) return false;
    CWindowMessages::PostMessage(m_target, message, static_cast<quintptr>(wParam),
                                 static_cast<qintptr>(lParam));
    emit Broadcast(name, wParam, lParam);
    return true;
}

int CControlCenterBus::PostToRunning(const QString& name, qint64 wParam, qint64 lParam, int timeoutMs) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return 1;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("PostMessage"));
    call << name << qlonglong(wParam) << qlonglong(lParam);
    const QDBusReply<bool> reply = bus.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid()) return 1;
    return reply.value() ? 0 : 2;
}

}  // namespace vx::app
