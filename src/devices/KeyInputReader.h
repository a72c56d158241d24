#pragma once
// Reads the key presses of one keyboard from its own keyboard collection (usage page 1, usage 6)
// and reports each key that goes down or up by its HID keyboard usage. The collection is read as
// any hidraw reader reads it, without holding it: the desktop keeps getting the keys, and only
// this keyboard's keys are seen (not those of other keyboards of the machine).
//
// Threads: Start/Stop on the owner's thread; the callback runs on the reader thread and must not
// touch any QObject.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace vx::link {
class HidLink;
}

namespace vx::devices {

class KeyInputReader {
public:
    using KeyCallback = std::function<void(uint16_t usage, bool pressed)>;

    explicit KeyInputReader(KeyCallback callback);
    ~KeyInputReader();
    KeyInputReader(const KeyInputReader&) = delete;
    KeyInputReader& operator=(const KeyInputReader&) = delete;

    // devicePath: any interface path of the device; its vendor and product name the keyboard.
    // Starts the thread, which looks for the keyboard collection and reads it until Stop or
    // until the device goes. A running reader is stopped first.
    void Start(const std::string& devicePath);
    // Wakes and waits up to boundMs. 1 ended in time, 0 late (the thread is left to end on its
    // own), -1 none ran.
    int Stop(int boundMs = 500);
    // The keyboard collection's path once found (empty before and when there is none).
    std::string CollectionPath() const;
    // True once the reader has looked for the collection and found none, or lost it.
    bool Ended() const;

    // The part of a device path that names the device: "vid_xxxx&pid_yyyy", empty when absent.
    static std::string DeviceIdentity(const std::string& path);

private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared, std::string devicePath);

    KeyCallback m_callback;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

}  // namespace vx::devices
