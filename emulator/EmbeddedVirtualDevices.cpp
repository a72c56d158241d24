#include "emulator/EmbeddedVirtualDevices.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "emulator/ControlSocket.h"
#include "emulator/VirtualDeviceHub.h"

namespace vx::emulator {

namespace {

std::string MakePrivateDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string pattern =
        std::string(runtime != nullptr && *runtime ? runtime : "/tmp") + "/vexor-embedded-hid-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

}  // namespace

EmbeddedVirtualDevices::EmbeddedVirtualDevices()
    : m_stateDirectory(VirtualDeviceHub::DefaultStateDirectory()) {}

void EmbeddedVirtualDevices::SetStateDirectory(const std::string& directory, bool factoryReset) {
    m_stateDirectory = directory;
    m_factoryReset = factoryReset;
}

EmbeddedVirtualDevices::~EmbeddedVirtualDevices() {
    Shutdown();
}

std::string EmbeddedVirtualDevices::DefaultDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime)
        return std::string(runtime) + "/vexor-embedded-hid";
    return "/tmp/vexor-embedded-hid-" + std::to_string(getuid());
}

std::vector<VirtualModel> EmbeddedVirtualDevices::AllModels() {
    std::vector<VirtualModel> models;
    for (const VirtualModelInfo& info : VirtualModels()) models.push_back(info.model);
    return models;
}

int EmbeddedVirtualDevices::Start(const std::string& directory, const std::vector<VirtualModel>& devices) {
    if (m_hub) return 0;
    if (!directory.empty()) return StartIn(directory, devices);
    // The shared default is taken by another running program's devices when its control answers
    // or its nodes cannot be taken over; ours then go to a directory of their own.
    std::string probe;
    if (SendControlCommand(DefaultDirectory(), "list", 500, &probe) != 1 &&
        StartIn(DefaultDirectory(), devices) == 1)
        return 1;
    const std::string fresh = MakePrivateDirectory();
    if (fresh.empty()) return 0;
    const int started = StartIn(fresh, devices);
    if (started != 1) {
        rmdir(fresh.c_str());
        return 0;
    }
    m_madeDirectory = true;
    return 1;
}

int EmbeddedVirtualDevices::StartIn(const std::string& directory, const std::vector<VirtualModel>& devices) {
    m_directory = directory;
    if (mkdir(m_directory.c_str(), 0700) == 0) {
        m_madeDirectory = true;
    } else if (errno != EEXIST) {
        return 0;
    }
    m_hub = std::make_unique<VirtualDeviceHub>(m_directory);
    // A folder that cannot be made leaves the devices running without memory (reported by the hub).
    if (!m_stateDirectory.empty()) m_hub->UseStateDirectory(m_stateDirectory, m_factoryReset);
    for (VirtualModel model : devices) {
        if (m_hub->Plug(model) != 1) {
            Shutdown();
            return 0;
        }
    }
    auto control = std::make_unique<ControlSocket>(*m_hub);
    if (control->Start() == 1) m_control = std::move(control);

    const char* previous = std::getenv("VX_VIRTUAL_HID_DIR");
    m_hadVariable = previous != nullptr;
    m_previousVariable = previous != nullptr ? previous : "";
    setenv("VX_VIRTUAL_HID_DIR", m_directory.c_str(), 1);
    m_variableSet = true;
    return 1;
}

void EmbeddedVirtualDevices::Shutdown() {
    m_control.reset();
    m_hub.reset();  // unplugs every device: records first
    if (m_variableSet) {
        if (m_hadVariable) {
            setenv("VX_VIRTUAL_HID_DIR", m_previousVariable.c_str(), 1);
        } else {
            unsetenv("VX_VIRTUAL_HID_DIR");
        }
        m_variableSet = false;
    }
    if (m_madeDirectory) rmdir(m_directory.c_str());
    m_madeDirectory = false;
}

}  // namespace vx::emulator
