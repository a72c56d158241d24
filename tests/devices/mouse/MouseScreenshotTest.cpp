// Renders the mouse page, connected to the emulated mouse with a wave running, to
// build/screenshots/mouse_page.png so that its look can be checked by eye; the checks make sure
// the picture shows the drawing lit by the effect and the settings page filled in.

#include "BuildPaths.h"
#include <QImage>
#include <QSet>
#include <QThread>

#include "tests/devices/mouse/MousePageFixture.h"
#include "widgets/EditUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"

using vx::emulator::VirtualModel;
using vx::devices::CTavimondMouseDevice;
namespace functionpage = vx::devices::functionpage;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CEditUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
namespace ui = vx::widgets::ui;

namespace mousetest {
namespace {

const QString kOut = QStringLiteral(VX_BINARY_DIR "/screenshots/");

TEST_F(MousePageTest, MousePageWithARunningWave) {
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    page.OnConnected();
    CResourceManager::GetInstance().ReloadText();
    LightInfo light = page.Profile().GetLightInfo();
    light.selectItem = 0;  // wave
    light.multiColor = 1;
    light.light = 4;
    light.speed = 4;
    page.SetLightInfo(light);
    page.SetFunctionPage(functionpage::kSettings);
    page.SelectSettingsOption(0);
    // Let the lighting thread step the wave for a while, painting as the 50 ms timer would.
    for (int i = 0; i < 16; ++i) {
        QThread::msleep(50);
        page.LightingFrame();
        vxtest::Pump(1);
    }
    EXPECT_EQ(page.StopLightingThread(), 1);
    page.LightingFrame();

    QSet<quint32> colours;
    for (int i = 0; i < CTavimondMouseDevice::kLeds; ++i) {
        auto* led = CPaintManagerUI::FindSubControl<CDeviceKeyButtonUI>(page.GetPage(),
                                                                        "light_" + QString::number(i));
        ASSERT_NE(led, nullptr);
        colours.insert(led->GetLightColor());
    }
    EXPECT_GE(colours.size(), 4) << "the wave gives the LED groups different colours";
    EXPECT_EQ(ui::GetText(CPaintManagerUI::FindSubControl<CEditUI>(page.GetPage(), "DPI_edit_0")), "400");
    EXPECT_EQ(ui::GetText(CPaintManagerUI::FindSubControl<QWidget>(page.GetPage(), "mouse_dpi_title")),
              "DPI STAGES");

    QWidget* widget = page.GetPage();
    widget->setAttribute(Qt::WA_StyledBackground, true);
    widget->setStyleSheet("QWidget#mouse_device_page { background-color: #14161B; }");
    widget->resize(800, 470);
    ASSERT_TRUE(vxtest::RenderToPng(widget, kOut + "mouse_page.png"));
    const QImage shot(kOut + "mouse_page.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(800, 470));

    // The pointer settings beside the same picture.
    page.SelectSettingsOption(1);
    ASSERT_TRUE(vxtest::RenderToPng(widget, kOut + "mouse_page_pointer.png"));
}

}  // namespace
}  // namespace mousetest
