#include "devices/lighting/CustomStepList.h"

namespace vx::lighting {

void CustomStepList::Set(const LightStep* steps, std::size_t count) {
    std::vector<LightStep> copy(steps, steps + count);
    std::lock_guard lock(m_lock);
    m_steps.swap(copy);
    m_cursor = 0;
}

std::size_t CustomStepList::Count() const {
    std::lock_guard lock(m_lock);
    return m_steps.size();
}

std::size_t CustomStepList::Cursor() const {
    std::lock_guard lock(m_lock);
    return m_cursor;
}

bool CustomStepList::CurrentStep(LightStep& step) {
    std::lock_guard lock(m_lock);
    if (m_cursor >= m_steps.size()) m_cursor = 0;
    if (m_steps.empty()) return false;
    step = m_steps[m_cursor];
    return true;
}

void CustomStepList::Advance() {
    std::lock_guard lock(m_lock);
    ++m_cursor;
    if (m_cursor >= m_steps.size()) m_cursor = 0;
}

}  // namespace vx::lighting
