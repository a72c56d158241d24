#include "update/UpdateWorker.h"

#include <condition_variable>
#include <mutex>

namespace vx::update {

struct CUpdateWorker::State {
    State(std::shared_ptr<IUpdateView> v, std::string address, HttpSettings http)
        : view(std::move(v)), check(std::move(address), std::move(http)) {}
    std::shared_ptr<IUpdateView> view;
    CUpdateCheck check;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
};

CUpdateWorker::CUpdateWorker(std::shared_ptr<IUpdateView> view, std::string serviceAddress, HttpSettings http)
    : m_state(std::make_shared<State>(std::move(view), std::move(serviceAddress), std::move(http))) {}

CUpdateWorker::~CUpdateWorker() {
    Stop(std::chrono::milliseconds(0));
}

void CUpdateWorker::Start(std::vector<ProductEntry> candidates) {
    if (m_thread.joinable()) return;
    m_thread = std::thread([state = m_state, candidates = std::move(candidates)] {
        state->check.RunUpdateCheck(*state->view, candidates, state->stop);
        std::lock_guard<std::mutex> guard(state->lock);
        state->done = true;
        state->ended.notify_all();
    });
}

bool CUpdateWorker::Stop(std::chrono::milliseconds bound) {
    m_state->stop = true;
    if (!m_thread.joinable()) return true;
    bool ended = false;
    {
        std::unique_lock<std::mutex> guard(m_state->lock);
        ended = m_state->ended.wait_for(guard, bound, [this] { return m_state->done; });
    }
    if (ended) {
        m_thread.join();
    } else {
        m_thread.detach();
    }
    return ended;
}

}  // namespace vx::update
