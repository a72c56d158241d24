#include "devices/KeyInputReader.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <vector>

#include "link/HidLink.h"

using vx::link::HidLink;
using vx::link::HidReportKind;
using vx::link::HidUsageData;

namespace vx::devices {

namespace {
constexpr uint16_t kGenericDesktop = 0x01;
constexpr uint16_t kKeyboardUsage = 0x06;
constexpr uint16_t kKeyboardPage = 0x07;
// Usages 1 to 3 are the keyboard's error states (roll-over, POST fail, undefined).
constexpr uint16_t kFirstKeyUsage = 0x04;
}  // namespace

// What the reader thread and its owner share; the thread keeps it alive when Stop gives up.
struct KeyInputReader::Shared {
    KeyCallback callback;
    std::atomic<bool> ended{false};
    std::mutex mutex;
    std::condition_variable cv;
    bool exit = false;
    bool finished = false;
    HidLink link;
    std::string collectionPath;
};

std::string KeyInputReader::DeviceIdentity(const std::string& path) {
    std::string lower(path.size(), '\0');
    std::transform(path.begin(), path.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t vid = lower.find("vid_");
    if (vid == std::string::npos || lower.size() < vid + 17 || lower.compare(vid + 8, 5, "&pid_") != 0) return {};
    return lower.substr(vid, 17);
}

KeyInputReader::KeyInputReader(KeyCallback callback) : m_callback(std::move(callback)) {}

KeyInputReader::~KeyInputReader() {
    Stop();
}

void KeyInputReader::Start(const std::string& devicePath) {
    Stop();
    m_shared = std::make_shared<Shared>();
    m_shared->callback = m_callback;
    m_thread = std::thread(&KeyInputReader::Run, m_shared, devicePath);
}

bool KeyInputReader::Ended() const {
    return !m_shared || m_shared->ended.load();
}

int KeyInputReader::Stop(int boundMs) {
    if (!m_thread.joinable()) return -1;
    std::shared_ptr<Shared> shared = std::move(m_shared);
    {
        std::lock_guard guard(shared->mutex);
        shared->exit = true;
        // Closing wakes a read that waits for the next report.
        shared->link.Close();
    }
    shared->cv.notify_all();
    std::unique_lock lock(shared->mutex);
    const bool ended = shared->cv.wait_for(lock, std::chrono::milliseconds(boundMs), [&] { return shared->finished; });
    lock.unlock();
    if (ended) {
        m_thread.join();
    } else {
        m_thread.detach();
    }
    return ended ? 1 : 0;
}

std::string KeyInputReader::CollectionPath() const {
    if (!m_shared) return {};
    std::lock_guard guard(m_shared->mutex);
    return m_shared->collectionPath;
}

void KeyInputReader::Run(std::shared_ptr<Shared> shared, std::string devicePath) {
    const std::string identity = DeviceIdentity(devicePath);
    // Look for the keyboard collection among the interfaces of the same device.
    bool found = false;
    size_t reportLength = 0;
    if (!identity.empty()) {
        HidLink lister;
        lister.EnumerateInterfaces();
        for (std::string path = lister.NextPath(); !path.empty() && !found; path = lister.NextPath()) {
            if (DeviceIdentity(path) != identity) continue;
            std::lock_guard guard(shared->mutex);
            if (shared->exit) break;
            if (!shared->link.Open(path, true, false, true, false)) continue;
            if (shared->link.UsagePage() == kGenericDesktop && shared->link.Usage() == kKeyboardUsage) {
                shared->collectionPath = path;
                // Read under the lock: Stop may close the link (and clear its lengths) any time.
                reportLength = shared->link.InputReportLength();
                found = true;
            } else {
                shared->link.Close();
            }
        }
    }
    std::set<uint16_t> down;
    std::vector<uint8_t> report(std::max<size_t>(64, reportLength + 1));
    while (found) {
        size_t length = 0;
        if (!shared->link.Read(report.data(), report.size(), &length, vx::link::kHidInfinite)) break;
        if (length == 0) continue;
        // Stop closes the link under the lock; the usage tables go with it.
        std::lock_guard guard(shared->mutex);
        if (shared->exit) break;
        HidUsageData* table = shared->link.UsageTable(HidReportKind::Input);
        const size_t count = shared->link.UsageTableCount(HidReportKind::Input);
        if (!shared->link.UnpackReport(report.data(), length, HidReportKind::Input, table, count)) continue;
        std::set<uint16_t> now;
        for (size_t i = 0; i < count; ++i) {
            const HidUsageData& entry = table[i];
            if (!entry.isButton || entry.usagePage != kKeyboardPage || entry.reportId != report[0]) continue;
            for (uint16_t usage : entry.usages) {
                if (usage >= kFirstKeyUsage) now.insert(usage);
            }
        }
        for (uint16_t usage : down) {
            if (!now.count(usage)) shared->callback(usage, false);
        }
        for (uint16_t usage : now) {
            if (!down.count(usage)) shared->callback(usage, true);
        }
        down = std::move(now);
    }
    // Keys held when the device went are released, so nothing stays lit.
    for (uint16_t usage : down) shared->callback(usage, false);
    shared->ended.store(true);
    {
        std::lock_guard guard(shared->mutex);
        shared->link.Close();
        shared->finished = true;
    }
    shared->cv.notify_all();
}

}  // namespace vx::devices
