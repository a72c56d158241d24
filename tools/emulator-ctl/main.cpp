// vx-emulator-ctl: one control command to a running emulator, its answer on standard output.
// Exit status: 0 "ok ...", 1 "error: ...", 2 no emulator answers in the directory, 3 bad usage.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "emulator/ControlSocket.h"
#include "emulator/EmbeddedVirtualDevices.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::EmbeddedVirtualDevices;
using vx::emulator::SendControlCommand;
using vx::emulator::VirtualDeviceHub;

namespace {

constexpr int kDefaultTimeoutMs = 5000;

void PrintUsage() {
    std::printf(
        "usage: vx-emulator-ctl [--dir DIR] [--timeout MS] COMMAND [ARGUMENT...]\n"
        "  --dir DIR      the emulator's directory; default $VX_VIRTUAL_HID_DIR, else the emulator's\n"
        "                 default directory, else the program's own virtual devices\n"
        "  --timeout MS   how long to wait for the answer (default %d)\n"
        "Commands: plug, unplug, connect, sleep, wake, battery, notify, profile, factory-reset, list,\n"
        "help, ... (see docs/emulator.md). Example: vx-emulator-ctl connect mouse cable\n",
        kDefaultTimeoutMs);
}

// Without --dir: the first of the usual directories where an emulator answers.
std::vector<std::string> CandidateDirectories() {
    return {VirtualDeviceHub::DefaultDirectory(), EmbeddedVirtualDevices::DefaultDirectory()};
}

}  // namespace

int main(int argc, char** argv) {
    std::string directory;
    int timeoutMs = kDefaultTimeoutMs;
    std::string line;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            PrintUsage();
            return 0;
        }
        if (argument == "--dir" && i + 1 < argc) {
            directory = argv[++i];
        } else if (argument == "--timeout" && i + 1 < argc) {
            timeoutMs = std::atoi(argv[++i]);
            if (timeoutMs <= 0) {
                std::fprintf(stderr, "vx-emulator-ctl: bad time-out \"%s\"\n", argv[i]);
                return 3;
            }
        } else {
            break;
        }
    }
    for (; i < argc; ++i) {
        if (!line.empty()) line += ' ';
        line += argv[i];
    }
    if (line.empty() || line.find('\n') != std::string::npos) {
        PrintUsage();
        return 3;
    }
    const std::vector<std::string> directories =
        directory.empty() ? CandidateDirectories() : std::vector{directory};
    for (const std::string& dir : directories) {
        std::string answer;
        const int sent = SendControlCommand(dir, line, timeoutMs, &answer);
        if (sent == 0) continue;
        if (sent < 0) {
            std::fprintf(stderr, "vx-emulator-ctl: no answer from %s within %d ms\n", dir.c_str(), timeoutMs);
            return 2;
        }
        std::printf("%s\n", answer.c_str());
        return answer.rfind("ok", 0) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "vx-emulator-ctl: no emulator answers in %s\n", directories.front().c_str());
    return 2;
}
