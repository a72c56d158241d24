#include "app/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include "app/ControlCenterBus.h"
#include "app/RegisteredMessages.h"

namespace vx::app {

CSingleInstance::CSingleInstance() = default;

CSingleInstance::~CSingleInstance() {
    Release();
}

CSingleInstance::Result CSingleInstance::Acquire(const QString& lockDir) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()) {
        const auto reply = bus.interface()->registerService(CControlCenterBus::kService,
                                                            QDBusConnectionInterface::DontQueueService,
                                                            QDBusConnectionInterface::DontAllowReplacement);
        if (!reply.isValid()) return Result::Failed;
        m_bus = true;
        m_held = reply.value() == QDBusConnectionInterface::ServiceRegistered;
        return m_held ? Result::First : Result::AlreadyRunning;
    }
    QString dir = lockDir;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    m_lock = std::make_unique<QLockFile>(dir + QStringLiteral("/VexorUmbrelControlCenter.lock"));
    // A lock left by a crashed instance is recognised by its process id and taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        return m_lock->error() == QLockFile::LockFailedError ? Result::AlreadyRunning : Result::Failed;
    }
    m_held = true;
    return Result::First;
}

bool CSingleInstance::WakeRunning() {
    return CControlCenterBus::PostToRunning(registered_messages::kProductName, 0, 1) == 0;
}

void CSingleInstance::Release() {
    if (!m_held) return;
    if (m_bus) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() && bus.interface())
            bus.interface()->unregisterService(CControlCenterBus::kService);
    } else if (m_lock) {
        m_lock->unlock();
    }
    m_held = false;
}

}  // namespace vx::app
