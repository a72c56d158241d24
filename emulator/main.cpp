// vx-emulator: publishes the virtual devices and takes control commands on standard input and on
// its control socket (vx-emulator-ctl).

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/eventfd.h>

#include "emulator/ControlConsole.h"
#include "emulator/ControlSocket.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::ControlConsole;
using vx::emulator::ControlSocket;
using vx::emulator::ModelInfo;
using vx::emulator::ParseVirtualModel;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::emulator::VirtualModelInfo;
using vx::emulator::VirtualModels;

namespace {

struct Options {
    std::string directory;
    std::vector<VirtualModel> devices;
    std::string trace;
    bool uhid = false;
    std::string stateDirectory;  // empty: device memory is not kept
    bool factoryReset = false;
};

void PrintUsage() {
    std::printf(
        "usage: vx-emulator [--dir DIR] [--devices LIST] [--trace FILE] [--uhid]\n"
        "                   [--state DIR | --no-state] [--factory-reset]\n"
        "  --dir DIR       virtual interface directory (default $VX_VIRTUAL_HID_DIR,\n"
        "                  else $XDG_RUNTIME_DIR/vexor-virtual-hid)\n"
        "  --devices LIST  comma-separated devices to plug at start, or \"all\" (default), or \"none\":\n"
        "                  keyboard-wired, keyboard-receiver, mouse-wired, mouse-receiver, mousepad, "
        "headset\n"
        "  --trace FILE    append a protocol trace (also VX_EMULATOR_TRACE)\n"
        "  --uhid          also publish the devices as hidraw nodes through /dev/uhid\n"
        "  --state DIR     where the devices keep their memory between runs (default\n"
        "                  $XDG_STATE_HOME/VexorUmbrelControlCenter/virtual-devices)\n"
        "  --no-state      start from factory memory and keep nothing\n"
        "  --factory-reset start from factory memory and write it into the state folder\n"
        "Commands on standard input (type \"help\"), or from another process through DIR/control.sock\n"
        "with vx-emulator-ctl.\n");
}

std::optional<std::vector<VirtualModel>> ParseDevices(const std::string& list) {
    std::vector<VirtualModel> devices;
    if (list == "none") return devices;
    if (list == "all") {
        for (const VirtualModelInfo& info : VirtualModels()) devices.push_back(info.model);
        return devices;
    }
    std::stringstream in(list);
    for (std::string name; std::getline(in, name, ',');) {
        const std::optional<VirtualModel> model = ParseVirtualModel(name);
        if (!model) return std::nullopt;
        devices.push_back(*model);
    }
    return devices;
}

// 1: run; 0: exit with success (help); -1: bad arguments.
int ParseArguments(int argc, char** argv, Options& options) {
    options.directory = VirtualDeviceHub::DefaultDirectory();
    options.devices = *ParseDevices("all");
    options.stateDirectory = VirtualDeviceHub::DefaultStateDirectory();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            PrintUsage();
            return 0;
        } else if (argument == "--uhid") {
            options.uhid = true;
        } else if (argument == "--no-state") {
            options.stateDirectory.clear();
        } else if (argument == "--factory-reset") {
            options.factoryReset = true;
        } else if (argument == "--state" && hasValue) {
            options.stateDirectory = argv[++i];
        } else if (argument == "--dir" && hasValue) {
            options.directory = argv[++i];
        } else if (argument == "--trace" && hasValue) {
            options.trace = argv[++i];
        } else if (argument == "--devices" && hasValue) {
            const auto devices = ParseDevices(argv[++i]);
            if (!devices) {
                std::fprintf(stderr, "vx-emulator: unknown device in \"%s\"\n", argv[i]);
                return -1;
            }
            options.devices = *devices;
        } else {
            std::fprintf(stderr, "vx-emulator: bad argument \"%s\"\n", argument.c_str());
            PrintUsage();
            return -1;
        }
    }
    return 1;
}

// Runs console lines from standard input until "quit", or until SIGINT/SIGTERM; end of input
// leaves the devices plugged until a signal comes, so the emulator can run in the background.
// The hub writes the devices' memory when it is destroyed after this returns.
// quitFd: signalled by "quit" on the control socket.
void RunConsole(VirtualDeviceHub& hub, int signalFd, int quitFd) {
    ControlConsole console(hub);
    std::string pending;
    bool inputOpen = true;
    for (;;) {
        // A closed pipe keeps reporting POLLHUP whatever is asked, so a finished input leaves the set.
        pollfd fds[3] = {
            {signalFd, POLLIN, 0}, {inputOpen ? STDIN_FILENO : -1, POLLIN, 0}, {quitFd, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) continue;
        if (fds[0].revents != 0 || fds[2].revents != 0) return;
        if (fds[1].revents == 0) continue;
        char buffer[1024];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            inputOpen = false;
            continue;
        }
        pending.append(buffer, static_cast<size_t>(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            bool quit = false;
            const std::string answer = console.Execute(line, quit);
            if (!answer.empty()) std::printf("%s\n", answer.c_str());
            std::fflush(stdout);
            if (quit) return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int parsed = ParseArguments(argc, argv, options);
    if (parsed <= 0) return parsed == 0 ? 0 : 2;

    // Signals are taken through a descriptor; blocked before the hub starts its thread so that
    // no thread but this one sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        // Without the descriptor the signals would be lost; let them end the program as usual.
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }

    VirtualDeviceHub hub(options.directory);
    if (!options.trace.empty() && hub.SetTrace(options.trace) != 1) {
        std::fprintf(stderr, "vx-emulator: cannot open trace file %s\n", options.trace.c_str());
        return 1;
    }
    // Before any device is plugged: the program must never read factory memory from a device
    // that has its own.
    if (!options.stateDirectory.empty()) hub.UseStateDirectory(options.stateDirectory, options.factoryReset);
    if (options.uhid && hub.EnableUhid() != 1) {
        std::fprintf(stderr, "vx-emulator: /dev/uhid is not available; publishing virtual nodes only\n");
    }
    for (VirtualModel model : options.devices) {
        if (hub.Plug(model) != 1) {
            std::fprintf(stderr, "vx-emulator: cannot publish %s in %s\n", ModelInfo(model).name.data(),
                         options.directory.c_str());
            hub.UnplugAll();
            return 1;
        }
    }
    const int quitFd = ::eventfd(0, EFD_CLOEXEC);
    ControlSocket control(hub, [quitFd] {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(quitFd, &one, sizeof one);
    });
    if (control.Start() != 1) {
        std::fprintf(stderr, "vx-emulator: no control socket at %s (another emulator answers there?)\n",
                     control.Path().c_str());
    }
    std::printf("ready %s\n", options.directory.c_str());
    std::fflush(stdout);
    RunConsole(hub, signalFd, quitFd);
    control.Stop();
    hub.UnplugAll();
    if (signalFd >= 0) ::close(signalFd);
    return 0;
}
