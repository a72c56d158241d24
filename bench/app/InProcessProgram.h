#pragma once
// What the in-process benchmarks set up before they make the main window, as start-up does for
// the program: the virtual devices' folder, a private data folder, the skin and the registered
// messages.

#include "BuildPaths.h"
#include <QByteArray>
#include <QString>
#include <string>

#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "profiles/DataFolders.h"

inline void PrepareInProcessProgram(const std::string& hidDir, const std::string& dataDir) {
    qputenv("VX_VIRTUAL_HID_DIR", hidDir.c_str());
    vx::profiles::SetUserDataFolderOverride(dataDir);
    vx::app::SetupResources(QStringLiteral(VX_SOURCE_DIR "/skin/"));
    vx::app::registered_messages::RegisterActivateMessage();
    vx::app::registered_messages::RegisterGuidMessages();
}

// Makes and shows the main window at its own size. Discovery scans without the udev monitor: the
// virtual devices' folder is watched by the scan alone.
inline void OpenMainWindow(vx::app::CMainWnd& wnd) {
    vx::discovery::DiscoveryOptions options;
    options.useUdevMonitor = false;
    wnd.SetDiscoveryOptions(options);
    wnd.Create(nullptr, vx::app::CMainWnd::kTitle, 0, 0,
               QRect(0, 0, vx::app::CMainWnd::kWidth, vx::app::CMainWnd::kHeight));
    wnd.show();
}
