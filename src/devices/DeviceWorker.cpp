#include "devices/DeviceWorker.h"

#include <chrono>

namespace vx::devices {

DeviceWorker::~DeviceWorker() {
    Stop();
}

void DeviceWorker::Start() {
    if (m_thread.joinable()) return;
    {
        std::lock_guard lock(m_mutex);
        m_exit = false;
        m_finished = false;
    }
    m_thread = std::thread([this] { Run(); });
}

int DeviceWorker::Stop(int boundMs) {
    if (!m_thread.joinable()) return -1;
    bool inTime = false;
    {
        std::unique_lock lock(m_mutex);
        m_exit = true;
        for (Slot& slot : m_slots) {
            if (slot.waiting) m_dropped.fetch_add(1, std::memory_order_relaxed);
            slot.waiting = false;
            slot.job = nullptr;
        }
        m_wake.notify_all();
        m_idle.notify_all();
        inTime = m_idle.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return m_finished; });
    }
    m_thread.join();
    return inTime ? 1 : 0;
}

bool DeviceWorker::Post(Task task, Job job) {
    const size_t index = static_cast<size_t>(task);
    if (index >= kTasks || !job) return false;
    std::lock_guard lock(m_mutex);
    if (!m_thread.joinable() || m_exit) {
        m_dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    Slot& slot = m_slots[index];
    const bool replaced = slot.waiting;
    if (replaced) {
        m_dropped.fetch_add(1, std::memory_order_relaxed);
    } else {
        // A replacing job keeps the place of the one it replaces.
        slot.order = ++m_order;
    }
    slot.job = std::move(job);
    slot.waiting = true;
    m_wake.notify_one();
    return !replaced;
}

bool DeviceWorker::Busy(Task task) const {
    const size_t index = static_cast<size_t>(task);
    if (index >= kTasks) return false;
    std::lock_guard lock(m_mutex);
    return m_slots[index].waiting || m_slots[index].running;
}

bool DeviceWorker::IdleLocked() const {
    for (const Slot& slot : m_slots) {
        if (slot.waiting || slot.running) return false;
    }
    return true;
}

bool DeviceWorker::WaitIdle(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return IdleLocked(); });
}

size_t DeviceWorker::NextSlot() const {
    size_t next = kTasks;
    for (size_t i = 0; i < kTasks; ++i) {
        if (m_slots[i].waiting && (next == kTasks || m_slots[i].order < m_slots[next].order)) next = i;
    }
    return next;
}

void DeviceWorker::Run() {
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_exit || NextSlot() != kTasks; });
        if (m_exit) break;
        const size_t index = NextSlot();
        Slot& slot = m_slots[index];
        Job job = std::move(slot.job);
        slot.job = nullptr;
        slot.waiting = false;
        slot.running = true;
        lock.unlock();
        job();
        job = nullptr;
        m_ran.fetch_add(1, std::memory_order_relaxed);
        lock.lock();
        m_slots[index].running = false;
        if (IdleLocked()) m_idle.notify_all();
    }
    m_finished = true;
    m_idle.notify_all();
}

}  // namespace vx::devices
