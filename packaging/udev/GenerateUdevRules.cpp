// Writes the udev rules file for the supported devices to the file named on the command line.
// With two more files, also copies an AppStream metainfo template, putting the devices' USB
// modaliases where the line "<!-- modaliases -->" stands, so that software centres can offer the
// program when one of its devices is plugged in.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "link/SupportedDevices.h"

using vx::link::SupportedDevicesUdevRules;
using vx::link::SupportedVendorProducts;

namespace {

std::string Modaliases(const std::string& indent) {
    std::string out;
    char line[96];
    for (const auto& [vendor, product] : SupportedVendorProducts()) {
        std::snprintf(line, sizeof line, "%s<modalias>usb:v%04Xp%04Xd*</modalias>\n", indent.c_str(), vendor,
                      product);
        out += line;
    }
    return out;
}

bool WriteMetainfo(const char* templatePath, const char* outputPath) {
    std::ifstream in(templatePath);
    if (!in) return false;
    std::ostringstream text;
    std::string line;
    bool placed = false;
    while (std::getline(in, line)) {
        const auto at = line.find("<!-- modaliases -->");
        if (at != std::string::npos) {
            text << Modaliases(line.substr(0, at));
            placed = true;
        } else {
            text << line << '\n';
        }
    }
    std::ofstream out(outputPath, std::ios::trunc);
    out << text.str();
    out.close();
    return placed && static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT [METAINFO_TEMPLATE METAINFO_OUTPUT]\n", argv[0]);
        return 1;
    }
    std::ofstream out(argv[1], std::ios::trunc);
    out << SupportedDevicesUdevRules();
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    if (argc == 4 && !WriteMetainfo(argv[2], argv[3])) {
        std::fprintf(stderr, "%s: cannot make %s from %s\n", argv[0], argv[3], argv[2]);
        return 1;
    }
    return 0;
}
