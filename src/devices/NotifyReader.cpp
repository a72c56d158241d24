#include "devices/NotifyReader.h"

#include <chrono>
#include <vector>

#include "link/HidLink.h"

namespace vx::devices {

using vx::link::HidLink;
using vx::link::HidReportKind;
using vx::link::HidUsageData;
using vx::link::kHidInfinite;

namespace {
// A closed interface is looked at again this often (opening it also wakes the reader).
constexpr int kClosedIdleMs = 100;
}  // namespace

NotifyReader::NotifyReader(HidLink& link, std::recursive_mutex& openLock, EventCallback callback)
    : m_link(link), m_openLock(openLock), m_callback(std::move(callback)) {}

NotifyReader::~NotifyReader() {
    Stop();
}

void NotifyReader::Start() {
    if (m_thread.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_exit = false;
        m_woken = false;
        m_finished = false;
    }
    m_thread = std::thread([this] { Run(); });
}

int NotifyReader::Stop(int boundMs) {
    if (!m_thread.joinable()) return -1;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_exit = true;
    }
    m_cv.notify_all();
    {
        // A read blocked without a time-out ends when its interface closes.
        std::lock_guard<std::recursive_mutex> guard(m_openLock);
        m_link.Close();
    }
    bool inTime = false;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        inTime = m_cv.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return m_finished; });
    }
    m_thread.join();
    return inTime ? 1 : 0;
}

void NotifyReader::SetPaused(bool paused) {
    m_paused.store(paused);
    if (!paused) Wake();
}

void NotifyReader::Wake() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_woken = true;
    }
    m_cv.notify_all();
}

bool NotifyReader::Idle(int ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_exit || m_woken; });
    m_woken = false;
    return m_exit;
}

void NotifyReader::Run() {
    while (!Idle(0)) {
        if (m_paused.load() || !m_link.IsOpen()) {
            if (Idle(kClosedIdleMs)) break;
            continue;
        }
        if (!ReadOne()) {
            // A failed read (closed meanwhile, device gone) is skipped; do not spin on it.
            if (Idle(1)) break;
        }
    }
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_finished = true;
    }
    m_cv.notify_all();
}

bool NotifyReader::ReadOne() {
    size_t length = 0;
    {
        // Open and Close replace the report layout under this lock.
        std::lock_guard<std::recursive_mutex> guard(m_openLock);
        if (!m_link.IsOpen()) return false;
        length = m_link.InputReportLength();
    }
    if (length == 0) return false;
    std::vector<uint8_t> report(length, 0);
    size_t got = 0;
    if (!m_link.Read(report.data(), report.size(), &got, kHidInfinite) || got == 0) return false;
    uint16_t code = 0;
    {
        std::lock_guard<std::recursive_mutex> guard(m_openLock);
        if (!m_link.IsOpen()) return false;
        HidUsageData* table = m_link.UsageTable(HidReportKind::Input);
        const size_t entries = m_link.UsageTableCount(HidReportKind::Input);
        if (table == nullptr || entries == 0) return true;
        if (!m_link.UnpackReport(report.data(), got, HidReportKind::Input, table, entries)) return true;
        for (size_t i = 0; i < entries; ++i) {
            if (!table[i].isButton) continue;
            if (!table[i].usages.empty()) code = table[i].usages[0];
            break;
        }
    }
    if (code != 0) {
        m_events.fetch_add(1, std::memory_order_acq_rel);
        m_callback(code);
    }
    return true;
}

}  // namespace vx::devices
