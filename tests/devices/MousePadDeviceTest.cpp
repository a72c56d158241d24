// The mousepad page against the virtual mousepad: its 21-byte record both ways, the active
// profile reported to the main window, and its slow reread.
#include <gtest/gtest.h>

#include <QObject>

#include "devices/TavimondMousePadDevice.h"
#include "tests/devices/support/PageFixture.h"
#include "widgets/WindowMessages.h"

using vx::devices::CTavimondMousePadDevice;
using vx::devices::kTypeMousePad;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;

namespace {

using vxtest::RigModel;

constexpr int kPadCodeBase = 0x60;

class MousePadPageTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        WriteModeCodes(2, 9, kPadCodeBase);
        m_ownerHandle = CWindowMessages::Register(&m_owner, [this](uint message, quintptr wParam, qintptr) {
            m_ownerMessages.push_back({message, wParam});
            return qintptr(0);
        });
    }

    void TearDown() override {
        CWindowMessages::Unregister(m_ownerHandle);
        PageTest::TearDown();
    }

    void Start(CTavimondMousePadDevice& page) {
        page.SetOwnerWindow(m_ownerHandle);
        SetUpPage(page, "MousePad", 0, 0x0F, 2, kTypeMousePad);
        ASSERT_TRUE(Connect(page, RigModel::Mousepad));
        page.OnConnected();
        page.StopLightingThread();
    }

    QObject m_owner;
    WindowHandle m_ownerHandle = 0;
    std::vector<std::pair<uint, quintptr>> m_ownerMessages;
};

TEST_F(MousePadPageTest, RecordGoesOutWithTheModeCodeAndInvertedSpeed) {
    CTavimondMousePadDevice page;
    Start(page);
    LightInfo info;
    info.selectItem = 3;
    info.light = 2;
    info.speed = 1;
    info.multiColor = 1;
    info.red = 0xA0;
    info.green = 0xB0;
    info.blue = 0xC0;
    page.SetLightInfo(info);
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    const auto first = m_rig->ConfigBlock(RigModel::Mousepad, 0);
    ASSERT_GE(first.size(), 21u);
    EXPECT_EQ(first[1], kPadCodeBase + 3);
    EXPECT_EQ(first[2], 2);
    EXPECT_EQ(first[3], 3);
    EXPECT_EQ(first[5], 1);
    EXPECT_EQ(first[6], 0xA0);
    EXPECT_EQ(first[7], 0xB0);
    EXPECT_EQ(first[8], 0xC0);
    // The record keeps the index and the level: a second write sends the same bytes.
    EXPECT_EQ(page.GetRecord()[1], 3);
    EXPECT_EQ(page.GetRecord()[3], 1);
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    const auto second = m_rig->ConfigBlock(RigModel::Mousepad, 0);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 21, second.begin()));
    Disconnect(page);
    EXPECT_NE(page.WriteSettings(0, 0, 0, 0, 0), 1);
}

TEST_F(MousePadPageTest, RereadTranslatesTheBlockAndTellsTheOwnerTheProfile) {
    CTavimondMousePadDevice page;
    Start(page);
    std::array<uint8_t, 64> block{};
    block[1] = kPadCodeBase + 6;
    block[2] = 4;
    block[3] = 1;
    block[4] = 1;
    block[9] = 0x5A;
    block[20] = 0x7E;
    ASSERT_EQ(page.CommandLink().WriteConfig(block, 3 * 64), 1);
    const uint8_t active = 3;
    ASSERT_EQ(page.CommandLink().WriteConfig(std::span<const uint8_t>(&active, 1), 0), 1);
    m_ownerMessages.clear();

    ASSERT_EQ(page.RefreshFromDevice(), 1);
    const auto& record = page.GetRecord();
    EXPECT_EQ(record[0], 3);
    EXPECT_EQ(record[1], 6);
    EXPECT_EQ(record[2], 4);
    EXPECT_EQ(record[3], 3);  // speed byte 1 is level 3
    EXPECT_EQ(record[4], 1);
    EXPECT_EQ(record[9], 0x5A);
    EXPECT_EQ(record[20], 0x7E);
    ASSERT_EQ(m_ownerMessages.size(), 1u);
    EXPECT_EQ(m_ownerMessages[0].first, CTavimondMousePadDevice::kMsgActiveProfile);
    EXPECT_EQ(m_ownerMessages[0].second, 3u);

    // Bytes the program does not interpret go back to the device as they came.
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    const auto written = m_rig->ConfigBlock(RigModel::Mousepad, 0);
    EXPECT_EQ(written[9], 0x5A);
    EXPECT_EQ(written[20], 0x7E);
    EXPECT_EQ(written[1], kPadCodeBase + 6);
    EXPECT_EQ(written[3], 1);
    Disconnect(page);
    EXPECT_EQ(page.RefreshFromDevice(), 0);
}

TEST_F(MousePadPageTest, NotificationAsksForASlowRereadOnTheCableOnly) {
    CTavimondMousePadDevice page;
    Start(page);
    EXPECT_FALSE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::Mousepad), true));
    ASSERT_TRUE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::Mousepad), false));
    ASSERT_TRUE(m_rig->Notify(RigModel::Mousepad, 0x402));
    ASSERT_TRUE(m_rig->Notify(RigModel::Mousepad, 0x401));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return !m_scheduler.delays.empty(); }));
    vxtest::PumpUntil([] { return false; }, 100);
    ASSERT_EQ(m_scheduler.delays.size(), 1u);
    EXPECT_EQ(m_scheduler.delays[0], 500);
    page.CloseNotifyInterface(false);
    Disconnect(page);
}

}  // namespace
