// The reader of a keyboard's own keyboard collection, against the virtual keyboard: it finds the
// collection among the device's interfaces, reports keys going down and up, lets no key stay down
// when the keyboard goes, and ends without a word for a device that has no such collection.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "VirtualNodePlayer.h"
#include "devices/KeyInputReader.h"
#include "emulator/VirtualDeviceHub.h"

using vx::devices::KeyInputReader;
using vx::emulator::VirtualModel;

namespace {

constexpr int kCommandCollection = 4;

struct Event {
    uint16_t usage;
    bool pressed;
    bool operator==(const Event&) const = default;
};

class KeyInputReaderTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str(), 1);
        m_hub = std::make_unique<vx::emulator::VirtualDeviceHub>(m_dir.Path());
    }
    void TearDown() override {
        m_reader.Stop();
        m_hub.reset();
        unsetenv("VX_VIRTUAL_HID_DIR");
    }

    std::vector<Event> Events() {
        std::lock_guard guard(m_mutex);
        return m_events;
    }
    bool WaitUntil(const std::function<bool()>& pred, int ms = 3000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return pred();
    }

    vxtest::ScopedTempDir m_dir;
    std::unique_ptr<vx::emulator::VirtualDeviceHub> m_hub;
    std::mutex m_mutex;
    std::vector<Event> m_events;
    KeyInputReader m_reader{[this](uint16_t usage, bool pressed) {
        std::lock_guard guard(m_mutex);
        m_events.push_back({usage, pressed});
    }};
};

TEST_F(KeyInputReaderTest, ReportsTheKeyboardsKeysAndReleasesThemWhenItGoes) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    m_reader.Start(m_hub->LinkPath(VirtualModel::KeyboardWired, kCommandCollection));
    ASSERT_TRUE(WaitUntil([&] { return !m_reader.CollectionPath().empty(); })) << "no keyboard collection found";
    EXPECT_NE(m_reader.CollectionPath().find("col01"), std::string::npos) << m_reader.CollectionPath();

    // A and B with left Shift, then A let go.
    ASSERT_EQ(m_hub->SendKeys(VirtualModel::KeyboardWired, 0x02, {0x04, 0x05}), 1);
    ASSERT_TRUE(WaitUntil([&] { return Events().size() >= 3; }));
    ASSERT_EQ(m_hub->SendKeys(VirtualModel::KeyboardWired, 0x02, {0x05}), 1);
    ASSERT_TRUE(WaitUntil([&] { return Events().size() >= 4; }));
    const std::vector<Event> pressed = Events();
    EXPECT_EQ(pressed, (std::vector<Event>{{0x04, true}, {0x05, true}, {0xE1, true}, {0x04, false}}));

    // The keyboard is pulled while B and Shift are down: they come up, and the reader ends.
    ASSERT_EQ(m_hub->Unplug(VirtualModel::KeyboardWired), 1);
    ASSERT_TRUE(WaitUntil([&] { return m_reader.Ended(); })) << "the reader did not see the keyboard go";
    const std::vector<Event> all = Events();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(std::vector<Event>(all.begin() + 4, all.end()), (std::vector<Event>{{0x05, false}, {0xE1, false}}));
    EXPECT_EQ(m_reader.Stop(), 1);
}

TEST_F(KeyInputReaderTest, ADeviceWithoutAKeyboardCollectionEndsTheReaderQuietly) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::Headset), 1);
    m_reader.Start(m_hub->LinkPath(VirtualModel::Headset, 0));
    ASSERT_TRUE(WaitUntil([&] { return m_reader.Ended(); }));
    EXPECT_TRUE(m_reader.CollectionPath().empty());
    EXPECT_TRUE(Events().empty());
    // A path that names no device at all: the same.
    m_reader.Start("not a device path");
    ASSERT_TRUE(WaitUntil([&] { return m_reader.Ended(); }));
    EXPECT_TRUE(Events().empty());
}

TEST_F(KeyInputReaderTest, StopEndsAReaderWaitingForKeysAtOnce) {
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    m_reader.Start(m_hub->LinkPath(VirtualModel::KeyboardWired, kCommandCollection));
    ASSERT_TRUE(WaitUntil([&] { return !m_reader.CollectionPath().empty(); }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_reader.Stop(500), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    // Keys after the stop reach no one.
    ASSERT_EQ(m_hub->SendKeys(VirtualModel::KeyboardWired, 0, {0x04}), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(Events().empty());
}

}  // namespace
