// Writes the udev rules file for the supported devices to the file named on the command line.

#include <cstdio>
#include <fstream>

#include "link/SupportedDevices.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 1;
    }
    std::ofstream out(argv[1], std::ios::trunc);
    out << SupportedDevicesUdevRules();
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
