#pragma once

#include <QString>

#include "app/VirtualDeviceSource.h"

namespace vx::app {

// The program's entry: fonts, registered messages, the single-instance guard, the skin, the
// control registry, the main window and the message loop, torn down in the reverse order.
// Returns the process exit code (0 on every path of a normal start).
//
// Options:
//   --post-message NAME [--wparam N] [--lparam N]   post a registered message (by its text, e.g.
//                                                   "Game_Start") to the running program and exit
//                                                   (0 delivered, 1 not running, 2 refused)
//   --language FILE                                 language file to use instead of the default
//   --virtual-devices                               run with the built-in virtual devices (every
//                                                   kind plugged; vx-emulator-ctl controls them;
//                                                   their memory is kept in $XDG_STATE_HOME/
//                                                   VexorUmbrelControlCenter/virtual-devices)
//   --factory-reset-virtual-devices                 the same, every device from factory memory
// SIGTERM, SIGINT and SIGHUP close the program as "exit" does.
//   --exit-after-first-paint                        print "first-paint" when the main window has
//                                                   painted once, then exit (start-up benchmark)
// --help and --version answer without a display. makeVirtualDevices makes the devices of
// --virtual-devices (without it that option only reports that there are none).
// The skin folder is "skin" beside the program, else share/vexor-umbrel/skin of the install
// prefix; VX_SKIN_DIR overrides it.
int RunControlCenter(int argc, char** argv, const VirtualDeviceSourceFactory& makeVirtualDevices = {});

// Points the UI layer at the skin folder, loads its resource index and style sheet and registers
// the program's control classes. False when the resource index cannot be read.
bool SetupResources(const QString& skinDir);

// The skin folder the program uses: VX_SKIN_DIR, else "skin" beside the program, else the
// installed skin (InstallFolder()/skin).
QString DefaultSkinDir();

}  // namespace vx::app
