#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "devices/lighting/LightingRecords.h"

namespace vx::lighting {

// The custom light steps of the current light file and the page's cursor into them, shared
// between the window thread (which replaces them) and the lighting thread's step player.
class CustomStepList {
public:
    // Replaces the steps and moves the cursor back to the first.
    void Set(const LightStep* steps, std::size_t count);
    std::size_t Count() const;
    std::size_t Cursor() const;

    // Copies the step under the cursor (wrapping a cursor left past the end to 0); false when the
    // list is empty.
    bool CurrentStep(LightStep& step);
    // Moves the cursor to the next step, wrapping to the first.
    void Advance();

private:
    mutable std::mutex m_lock;
    std::vector<LightStep> m_steps;
    std::size_t m_cursor = 0;
};

}  // namespace vx::lighting
