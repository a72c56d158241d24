#pragma once
// A discovery sink for tests: records every call with its time, checks what the UI thread would
// see during each blocking call, and can hold a blocking call until the test lets it go.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/discovery/DiscoverySink.h"
#include "app/discovery/InterfaceSlotTable.h"

namespace vxtest {

using Clock = std::chrono::steady_clock;

struct SinkEvent {
    enum class Kind { Arrived, Removed, Activate, Permission };
    Kind kind;
    size_t index = 0;
    std::string path;  // arrivals: the slot's path as the UI thread reads it; permission: the path
    Clock::time_point at;
};

class RecordingSink : public vx::discovery::IDiscoverySink {
public:
    explicit RecordingSink(const vx::discovery::InterfaceSlotTable& slots) : m_slots(slots) {}

    void SlotArrived(size_t index) override;
    void SlotRemoved(size_t index) override;
    void Activate() override;
    void PermissionProblem(const vx::discovery::PermissionNotice& notice) override;

    // Runs inside SlotArrived after it is recorded (on the discovery thread); may block.
    void SetArrivalHook(std::function<void(size_t)> hook);

    std::vector<SinkEvent> Events() const;
    std::vector<vx::discovery::PermissionNotice> Notices() const;
    size_t Count(SinkEvent::Kind kind) const;
    size_t Count(SinkEvent::Kind kind, size_t index) const;
    // Waits until pred(events) holds; false on time-out.
    bool WaitUntil(const std::function<bool(const std::vector<SinkEvent>&)>& pred,
                   std::chrono::milliseconds timeout) const;
    // The time of the first event of this kind and index at or after since; false on time-out.
    bool WaitEvent(SinkEvent::Kind kind, size_t index, Clock::time_point since,
                   std::chrono::milliseconds timeout, Clock::time_point* at = nullptr) const;
    // What the UI thread saw that it should not have (an arrival whose slot was free, a removal
    // whose slot was still bound).
    std::vector<std::string> Violations() const;

private:
    void Record(SinkEvent event);

    const vx::discovery::InterfaceSlotTable& m_slots;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<SinkEvent> m_events;
    std::vector<vx::discovery::PermissionNotice> m_notices;
    std::vector<std::string> m_violations;
    std::function<void(size_t)> m_arrivalHook;
};

}  // namespace vxtest
