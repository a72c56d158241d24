// The window-message layer: registered numbers, posted and sent messages across threads, and a
// window that goes while a worker waits for it.
#include <gtest/gtest.h>

#include <QObject>
#include <QThread>
#include <atomic>
#include <thread>
#include <vector>

#include "support/QtTestEnv.h"
#include "widgets/WindowMessages.h"

using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;

namespace {

struct Received {
    uint message;
    quintptr w;
    qintptr l;
    bool onUiThread;
};

class Target {
public:
    Target() {
        handle = CWindowMessages::Register(&object, [this](uint m, quintptr w, qintptr l) {
            received.push_back({m, w, l, QThread::currentThread() == object.thread()});
            return static_cast<qintptr>(w + l);
        });
    }
    QObject object;
    WindowHandle handle = 0;
    std::vector<Received> received;
};

TEST(RegisteredMessagesTest, SameTextSameNumberInRange) {
    const uint a = CWindowMessages::RegisterWindowMessage("Game_Start");
    const uint b = CWindowMessages::RegisterWindowMessage("Game_Start");
    const uint c = CWindowMessages::RegisterWindowMessage("Game_End");
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    for (uint n : {a, c}) {
        EXPECT_GE(n, 0xC000u);
        EXPECT_LE(n, 0xFFFFu);
    }
    EXPECT_EQ(CWindowMessages::GetRegisteredName(a), "Game_Start");
    EXPECT_EQ(CWindowMessages::RegisterWindowMessage(""), 0u);
    // One letter apart is a different message.
    EXPECT_NE(CWindowMessages::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBE19}"),
              CWindowMessages::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF19}"));
}

TEST(RegisteredMessagesTest, NumbersDoNotDependOnTheProcess) {
    // FNV-1a of "Vexor Umbrel" folded into the registered range; a peer computing the same gets
    // the same number.
    quint32 h = 2166136261u;
    for (char ch : QByteArray("Vexor Umbrel")) {
        h ^= static_cast<quint8>(ch);
        h *= 16777619u;
    }
    EXPECT_EQ(CWindowMessages::RegisterWindowMessage("Vexor Umbrel"), 0xC000u + h % 0x4000u);
}

TEST(WindowMessagesTest, PostedMessagesArriveInOrderOnTheWindowThread) {
    Target target;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) EXPECT_TRUE(CWindowMessages::PostMessage(target.handle, 0x0C12, i, -i));
    });
    worker.join();
    EXPECT_TRUE(target.received.empty());  // queued, not called from the worker
    vxtest::Pump(20);
    ASSERT_EQ(target.received.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(target.received[i].w, quintptr(i));
        EXPECT_EQ(target.received[i].l, -i);
        EXPECT_TRUE(target.received[i].onUiThread);
    }
}

TEST(WindowMessagesTest, SendWaitsForTheResult) {
    Target target;
    std::atomic<qintptr> result{-1};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = CWindowMessages::SendMessage(target.handle, 0x0C13, 40, 2);
        done = true;
    });
    // The worker cannot finish before the UI thread has handled the message.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(done.load());
    while (!done) vxtest::Pump(5);
    worker.join();
    EXPECT_EQ(result.load(), 42);
    ASSERT_EQ(target.received.size(), 1u);
    EXPECT_TRUE(target.received[0].onUiThread);

    // On the window's own thread a send is a direct call.
    EXPECT_EQ(CWindowMessages::SendMessage(target.handle, 0x0C13, 1, 1), 2);
    EXPECT_EQ(target.received.size(), 2u);
}

TEST(WindowMessagesTest, WaitingSendEndsWhenTheWindowGoes) {
    auto target = std::make_unique<Target>();
    const WindowHandle handle = target->handle;
    std::atomic<bool> done{false};
    qintptr result = -1;
    std::thread worker([&] {
        result = CWindowMessages::SendMessage(handle, 0x0C12, 5, 5);
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(done.load());
    target.reset();  // the window goes without ever handling the message
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(CWindowMessages::IsWindow(handle));
    EXPECT_FALSE(CWindowMessages::PostMessage(handle, 0x0C12));
    EXPECT_EQ(CWindowMessages::SendMessage(handle, 0x0C12, 1, 1), 0);
}

TEST(WindowMessagesTest, SendTimeoutGivesUp) {
    Target target;
    qintptr result = -1;
    bool delivered = true;
    std::thread worker(
        [&] { delivered = CWindowMessages::SendMessageTimeout(target.handle, 0x0C12, 1, 2, 30, &result); });
    worker.join();  // the UI thread does not pump meanwhile
    EXPECT_FALSE(delivered);
    EXPECT_EQ(result, 0);
    vxtest::Pump(10);  // the late message is still handled, but nobody waits for it
    EXPECT_EQ(target.received.size(), 1u);
}

}  // namespace
