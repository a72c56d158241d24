// The input hook where no desktop-wide source exists: it takes the keys of the program's own
// window (as a user types them into it), keeps them from the window's controls during the
// capture, and gives them back when the capture ends.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <vector>

#include "app/DeviceHook.h"
#include "app/RegisteredMessages.h"
#include "widgets/WindowMessages.h"

using vx::app::WM_HOOK_KEY_SINGLEKEY_MSG;

using vx::app::CaptureScope;
using vx::app::CDeviceHook;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;
// The registered message numbers and their registration.
using namespace vx::app;
using vx::platform::KeyboardEventRecord;

namespace {

struct Got {
    uint message;
    quintptr wParam;
    KeyboardEventRecord record;
};

class InputHookWindowTest : public testing::Test {
protected:
    void SetUp() override {
        registered_messages::RegisterHookMessages();
        m_edit = new QLineEdit(&m_window);
        auto* layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_edit);
        m_window.show();
        m_edit->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        m_handle = CWindowMessages::Register(&m_target, [this](uint message, quintptr wParam, qintptr lParam) {
            m_got.push_back({message, wParam, *reinterpret_cast<const KeyboardEventRecord*>(lParam)});
            return qintptr(0);
        });
    }
    void TearDown() override {
        m_hook.RemoveHook();
        CWindowMessages::Unregister(m_handle);
    }

    QWidget m_window;
    QLineEdit* m_edit = nullptr;
    QObject m_target;
    WindowHandle m_handle = 0;
    std::vector<Got> m_got;
    CDeviceHook m_hook;
};

TEST_F(InputHookWindowTest, TheOwnWindowsKeysGoToTheCaptureAndNotToItsControls) {
    ASSERT_EQ(m_hook.SetHook(0, vx::platform::kHookSingleKey, m_handle, true, true), 1);
    EXPECT_EQ(m_hook.Scope(), CaptureScope::OwnWindow);
    QTest::keyClick(m_edit, Qt::Key_A);
    QTest::keyClick(m_edit, Qt::Key_Left);
    ASSERT_EQ(m_got.size(), 4u);
    EXPECT_EQ(m_got[0].message, WM_HOOK_KEY_SINGLEKEY_MSG);
    EXPECT_EQ(m_got[0].wParam, vx::platform::kWmKeyDown);
    EXPECT_EQ(m_got[0].record.scanCode, 0x1Eu);
    EXPECT_EQ(m_got[0].record.vkCode, uint32_t('A'));
    EXPECT_EQ(m_got[1].wParam, vx::platform::kWmKeyUp);
    EXPECT_EQ(m_got[2].record.scanCode, 0x4Bu);
    EXPECT_EQ(m_got[2].record.flags & vx::platform::kKeyFlagExtended, vx::platform::kKeyFlagExtended);
    EXPECT_TRUE(m_edit->text().isEmpty()) << "a captured key reached the window's control";

    // Lock keys pass on to the control as well.
    m_got.clear();
    QTest::keyClick(m_edit, Qt::Key_CapsLock);
    ASSERT_EQ(m_got.size(), 2u);
    EXPECT_EQ(m_got[0].record.vkCode, 0x14u);

    // After the capture the control gets its keys again, and the window none.
    m_hook.RemoveHook();
    m_got.clear();
    QTest::keyClick(m_edit, Qt::Key_B);
    EXPECT_TRUE(m_got.empty());
    EXPECT_EQ(m_edit->text(), QStringLiteral("b"));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VX_INPUT_HOOK", "window");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
