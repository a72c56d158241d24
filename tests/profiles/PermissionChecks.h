#pragma once
// Makes file permissions count for this thread, also when the tests run as root (as they do in
// CI containers), where chmod 000 stops nobody: root reads and writes past the mode bits only
// through its capabilities CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH, so they are taken out of the
// thread's effective set for the scope's life (threads started meanwhile inherit that) and put
// back at its end. Active() tells whether a file of mode 000 really cannot be opened now; a test
// that needs it skips with a clear message where the system gives no way to get there.

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

class PermissionChecks {
public:
    PermissionChecks() {
        if (::geteuid() == 0) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            if (::syscall(SYS_capget, &header, m_saved) == 0) {
                __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
                for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
                    lowered[capability / 32].effective &= ~(1u << (capability % 32));
                }
                m_lowered = ::syscall(SYS_capset, &header, lowered) == 0;
            }
        }
        m_active = Probe();
    }
    ~PermissionChecks() {
        if (!m_lowered) return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        ::syscall(SYS_capset, &header, m_saved);
    }
    PermissionChecks(const PermissionChecks&) = delete;
    PermissionChecks& operator=(const PermissionChecks&) = delete;

    bool Active() const { return m_active; }
    static constexpr const char* kWhyNot =
        "file permissions do not stop this process (root without a way to drop CAP_DAC_OVERRIDE): "
        "a file of mode 000 is readable here, so an unreadable file cannot be made";

private:
    static bool Probe() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vx-perm-XXXXXX").string();
        const int created = ::mkstemp(pattern.data());
        if (created < 0) return false;
        ::close(created);
        ::chmod(pattern.c_str(), 0);
        const int fd = ::open(pattern.c_str(), O_RDONLY | O_CLOEXEC);
        const bool refused = fd < 0 && errno == EACCES;
        if (fd >= 0) ::close(fd);
        ::unlink(pattern.c_str());
        return refused;
    }

    __user_cap_data_struct m_saved[2] = {};
    bool m_lowered = false;
    bool m_active = false;
};
