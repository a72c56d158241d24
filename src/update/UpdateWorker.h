#pragma once
// The thread that runs one update check for the settings window. Everything the thread uses is
// shared with it, so a thread that has not ended within the window's bound can be let go without
// leaving anything in use: it ends by itself at its next look at the stop flag (within the HTTP
// client's poll interval) and tells the view nothing more.

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "update/UpdateCheck.h"

namespace vx::update {

class CUpdateWorker {
public:
    CUpdateWorker(std::shared_ptr<IUpdateView> view, std::string serviceAddress, HttpSettings http);
    ~CUpdateWorker();

    // Starts the check over a copy of the candidates. Once per worker.
    void Start(std::vector<ProductEntry> candidates);
    // Signals the stop and waits up to `bound`. True when the thread had ended (or never ran);
    // false when it was let go still running.
    bool Stop(std::chrono::milliseconds bound);
    bool Running() const { return m_thread.joinable(); }

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

}  // namespace vx::update
