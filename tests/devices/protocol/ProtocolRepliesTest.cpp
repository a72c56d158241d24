// Replies no firmware of ours gives, from a scripted device: garbled frames, a capability record
// out of range, refusals in the middle of a write. The protocol takes none of them for an answer.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DeviceLinkFixture.h"
#include "devices/protocol/KeyboardProtocol.h"
#include "devices/protocol/MouseProtocol.h"

using vx::link::kReplyStatusRejected;

using vx::link::Frame;

using vx::link::Command;
using vx::link::kFrameCommand;
using vx::link::kLinkBadRange;
using vx::link::kLinkNoReply;
using vx::link::kLinkStatusRejected;
using vx::profiles::KeyEntry;

namespace {

using vx::devices::KeyboardProtocol;
using vx::devices::MouseProtocol;

class ProtocolRepliesTest : public DeviceLinkTest {
protected:
    size_t CountOf(Command command) const {
        const auto requests = m_device->Requests();
        return static_cast<size_t>(std::count_if(requests.begin(), requests.end(), [&](const Frame& f) {
            return f[kFrameCommand] == static_cast<uint8_t>(command);
        }));
    }
};

TEST_F(ProtocolRepliesTest, GarbledRepliesToASettingsReadAreRefusedAndLeaveTheCallersBlock) {
    Connect(false);
    KeyboardProtocol keyboard(m_link);
    m_device->Memory(Command::WriteConfig)[0] = 1;
    // Each read is answered twice with a frame whose command byte is noise: neither answers it.
    m_device->SetResponder([](const Frame& request, size_t) {
        if (request[kFrameCommand] != static_cast<uint8_t>(Command::ReadConfig)) return Response{{ReplyTo(request)}};
        Frame noise = ReplyTo(request, 0, {0x01, 0x02, 0x03});
        noise[kFrameCommand] = 0x5A;
        return Response{{noise, noise}};
    });
    std::vector<uint8_t> block = {0xEE};
    EXPECT_EQ(keyboard.ReadSettings(&block), kLinkNoReply);
    EXPECT_EQ(block, std::vector<uint8_t>{0xEE});
    // The profile byte was not taken either: the block of profile 1 was never asked for.
    EXPECT_EQ(CountOf(Command::ReadConfig), 1u);

    // A refusal in the middle of a write ends it, and the session is still closed.
    m_device->SetResponder([this](const Frame& request, size_t) {
        if (request[kFrameCommand] == static_cast<uint8_t>(Command::WriteConfig) && FrameOffset(request) > 0)
            return Response{{ReplyTo(request, kReplyStatusRejected)}};
        return m_device->MemoryResponse(request);
    });
    EXPECT_EQ(keyboard.WriteSettings(KeyboardSettings{}, {}), kLinkStatusRejected);
    const auto requests = m_device->Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back()[kFrameCommand], static_cast<uint8_t>(Command::EndConfig));
    EXPECT_EQ(CountOf(Command::WriteConfig), 2u);  // the first chunk, then the refused one
}

TEST_F(ProtocolRepliesTest, CapabilityRecordOutOfRangeIsNotUsedToReadOrWriteKeyTables) {
    Connect(false);
    // 200 key slots: more than any keyboard has; a table of that size would run past the frame
    // offsets the firmware keeps.
    m_device->Memory(Command::ReadDeviceInfo)[5] = 200;
    KeyboardProtocol keyboard(m_link);
    EXPECT_EQ(keyboard.ReadKeyTables(), kLinkBadRange);
    EXPECT_EQ(CountOf(Command::ReadKeyTable), 0u);
    EXPECT_TRUE(keyboard.KeyTable().empty());
    EXPECT_TRUE(std::all_of(keyboard.KeySlotMap().begin(), keyboard.KeySlotMap().end(),
                            [](uint8_t s) { return s == KeyboardProtocol::kNoSlot; }));
    // With no table to start from the key write is refused before anything is sent.
    std::vector<KeyEntry> keys(KeyboardProtocol::kLogicalKeys);
    EXPECT_EQ(keyboard.WriteKeyAssignments(0, keys, 0), vx::devices::kWriteNoBase);
    EXPECT_EQ(CountOf(Command::WriteKeyTable), 0u);

    MouseProtocol mouse(m_link);
    EXPECT_EQ(mouse.ReadKeyTables(), kLinkBadRange);
    EXPECT_EQ(mouse.WriteKeyAssignments(0, keys, 0), vx::devices::kWriteNoBase);
    EXPECT_EQ(CountOf(Command::WriteKeyTable), 0u);
}

}  // namespace
