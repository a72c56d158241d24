#pragma once
// What the in-process benchmarks set up before they make the main window, as start-up does for
// the program: the virtual devices' folder, a private data folder, the skin and the registered
// messages.

#include "BuildPaths.h"
#include <QByteArray>
#include <QString>
#include <string>

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
