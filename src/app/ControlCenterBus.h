#pragma once

#include <QObject>
#include <QString>

#include "widgets/WindowMessages.h"

namespace vx::app {

// The program's D-Bus face on the session bus (service "com.vexorumbrel.ControlCenter", object
// "/ControlCenter", interface "com.vexorumbrel.ControlCenter"):
//   method PostMessage(s name, x wParam, x lParam) -> b   posts a registered message, named by its
//                                                          text ("Game_Start", "Vexor Umbrel", ...),
//                                                          to the main window
//   signal Broadcast(s name, x wParam, x lParam)           what the program broadcasts
//   signal WorkToolReport(ay record)                        the device-kind identities, 1024 bytes
// From a shell:  VexorUmbrelControlCenter --post-message Game_Start
class CControlCenterBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vexorumbrel.ControlCenter")
public:
    static const QString kService;
    static const QString kPath;
    static const QString kInterface;

    explicit CControlCenterBus(QObject* parent = nullptr);

    // Exports the object on the session bus; false without a session bus.
    bool Export();
    void SetTarget(vx::widgets::WindowHandle mainWindow) { m_target = mainWindow; }

    // Posts `message` to every program listening (the D-Bus signal) and to this program's own
    // main window, as a broadcast to all applications does.
    bool BroadcastSystemMessage(uint message, qint64 wParam, qint64 lParam);

    // Sends the device-identity record to a "WorkTool" peer (the WorkToolReport signal).
    void SendWorkToolReport(const QByteArray& record) { emit WorkToolReport(record); }

    // Client side: asks the running program to post `name`. 0 delivered, 1 no running program
    // or no session bus, 2 the program refused the name.
    static int PostToRunning(const QString& name, qint64 wParam, qint64 lParam, int timeoutMs = 2000);

public slots:
    Q_SCRIPTABLE bool PostMessage(const QString& name, qlonglong wParam, qlonglong lParam);

signals:
    Q_SCRIPTABLE void Broadcast(const QString& name, qlonglong wParam, qlonglong lParam);
    // What a "WorkTool" window asked for with the UWM_WORKTOOL_MSG message.
    Q_SCRIPTABLE void WorkToolReport(const QByteArray& record);

private:
    vx::widgets::WindowHandle m_target = 0;
};

}  // namespace vx::app
