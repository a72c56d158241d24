#include "RecordingSink.h"

#include <algorithm>

using vx::discovery::InterfaceSlot;
using vx::discovery::PermissionNotice;

namespace vxtest {

void RecordingSink::Record(SinkEvent event) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
}

void RecordingSink::SlotArrived(size_t index) {
    const InterfaceSlot slot = m_slots.Slot(index);
    if (slot.connected != 1 || slot.path.empty()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_violations.push_back("arrival of unbound slot " + std::to_string(index));
    }
    Record({SinkEvent::Kind::Arrived, index, slot.path, Clock::now()});
    std::function<void(size_t)> hook;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        hook = m_arrivalHook;
    }
    if (hook) hook(index);
}

void RecordingSink::SlotRemoved(size_t index) {
    if (!m_slots.Slot(index).IsFree()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_violations.push_back("removal of bound slot " + std::to_string(index));
    }
    Record({SinkEvent::Kind::Removed, index, {}, Clock::now()});
}

void RecordingSink::Activate() {
    Record({SinkEvent::Kind::Activate, 0, {}, Clock::now()});
}

void RecordingSink::PermissionProblem(const PermissionNotice& notice) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_notices.push_back(notice);
    }
    Record({SinkEvent::Kind::Permission, 0, notice.path, Clock::now()});
}

void RecordingSink::SetArrivalHook(std::function<void(size_t)> hook) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_arrivalHook = std::move(hook);
}

std::vector<SinkEvent> RecordingSink::Events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<PermissionNotice> RecordingSink::Notices() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_notices;
}

size_t RecordingSink::Count(SinkEvent::Kind kind) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<size_t>(std::count_if(m_events.begin(), m_events.end(),
                                             [kind](const SinkEvent& e) { return e.kind == kind; }));
}

size_t RecordingSink::Count(SinkEvent::Kind kind, size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<size_t>(
        std::count_if(m_events.begin(), m_events.end(),
                      [kind, index](const SinkEvent& e) { return e.kind == kind && e.index == index; }));
}

bool RecordingSink::WaitUntil(const std::function<bool(const std::vector<SinkEvent>&)>& pred,
                              std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return pred(m_events); });
}

bool RecordingSink::WaitEvent(SinkEvent::Kind kind, size_t index, Clock::time_point since,
                              std::chrono::milliseconds timeout, Clock::time_point* at) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    const SinkEvent* found = nullptr;
    const bool ok = m_changed.wait_for(lock, timeout, [&] {
        for (const SinkEvent& e : m_events) {
            if (e.kind == kind && e.index == index && e.at >= since) {
                found = &e;
                return true;
            }
        }
        return false;
    });
    if (ok && at != nullptr) *at = found->at;
    return ok;
}

std::vector<std::string> RecordingSink::Violations() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_violations;
}

}  // namespace vxtest
