#pragma once
// The headset's equaliser on the sound server: a module-ladspa-sink running the multiband
// equaliser plugin (mbeq_1197, from swh-plugins) in front of the headphones.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "headset/audio/pulse/PulseConnection.h"

namespace vx::headset::pulse {

constexpr int kBands = 10;
constexpr const char* kEqSinkName = "vx_headset_equaliser";

// Whether the plugin lies where a LADSPA host looks (LADSPA_PATH, then the usual folders).
bool EqualiserPluginInstalled();
// The plugin's fifteen control values for the ten band gains.
std::string EqControls(const std::array<int32_t, kBands>& gains);

// The equaliser sink, kept by a thread of its own. The plugin's controls are fixed when the
// sink loads, so every change of a gain reloads it; a preset changes ten gains in a row, and
// reloading ten times on the caller's thread would hold the headset page's window for a second
// or more. The property calls only record what is wanted; the thread applies the latest wish
// once the calls have paused for kSettle, over a connection of its own.
class PulseEqualiser {
public:
    struct Wish {
        bool enabled = false;
        std::string master;
        std::array<int32_t, kBands> gains{};
    };

    ~PulseEqualiser() {
        {
            std::lock_guard lock(m_lock);
            m_stop = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }

    Wish Wanted() {
        std::lock_guard lock(m_lock);
        return m_wish;
    }

    void Want(const Wish& wish) {
        {
            std::lock_guard lock(m_lock);
            m_wish = wish;
            ++m_generation;
            if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
        }
        m_wake.notify_all();
    }

private:
    static constexpr auto kSettle = std::chrono::milliseconds(40);

    void Run() {
        PulseConnection server;
        std::string loaded;  // the argument of the sink this thread loaded, empty for none
        uint64_t applied = 0;
        std::unique_lock lock(m_lock);
        while (true) {
            m_wake.wait(lock, [&] { return m_stop || m_generation != applied; });
            if (m_stop) return;
            // Wait for the calls to pause: a newer wish restarts the wait.
            uint64_t seen = m_generation;
            while (true) {
                const bool changed = m_wake.wait_for(lock, kSettle, [&] { return m_stop || m_generation != seen; });
                if (m_stop) return;
                if (!changed) break;
                seen = m_generation;
            }
            const Wish wish = m_wish;
            applied = seen;
            lock.unlock();
            Apply(server, wish, loaded);
            lock.lock();
        }
    }

    static void Apply(PulseConnection& server, const Wish& wish, std::string& loaded) {
        const std::string argument =
            wish.enabled ? std::string("sink_name=") + kEqSinkName + " sink_master=" + wish.master +
                               " plugin=mbeq_1197 label=mbeq control=" + EqControls(wish.gains)
                         : std::string();
        const uint32_t old = FindModuleByArgument(server, "module-ladspa-sink", std::string("sink_name=") + kEqSinkName);
        if (argument == loaded && (old != PA_INVALID_INDEX) == wish.enabled) return;
        if (old != PA_INVALID_INDEX && !UnloadModule(server, old)) return;
        loaded.clear();
        if (!wish.enabled) return;
        if (LoadModule(server, "module-ladspa-sink", argument) == PA_INVALID_INDEX) return;
        loaded = argument;
        // Streams follow the default sink, so making the equaliser the default puts them through it.
        Succeeded(server, [](pa_context* c, int* ok) {
            return pa_context_set_default_sink(c, kEqSinkName, SuccessCallback, ok);
        });
    }

    std::mutex m_lock;
    std::condition_variable m_wake;
    Wish m_wish;
    uint64_t m_generation = 0;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace vx::headset::pulse
