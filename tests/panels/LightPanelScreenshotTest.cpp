// Renders the lighting panel with the real skin to build/screenshots/ so that its look can be
// checked by eye; the checks make sure the picture shows the styled panel and its colours.
#include "BuildPaths.h"
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QVBoxLayout>

#include "LightPanelFixture.h"
#include "widgets/ControlUI.h"

using namespace lightpanel_test;
using vx::widgets::CResourceManager;
namespace ui = vx::widgets::ui;

namespace {
const QString kOut = QStringLiteral(VX_BINARY_DIR "/screenshots/");

class LightPanelScreenshot : public LightPanelTest {
protected:
    void SetUp() override {
        QFile style(vxtest::RepoSkinDir() + "style.qss");
        ASSERT_TRUE(style.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
        LightPanelTest::SetUp();
        // A stand-in for the page area the panel sits in.
        m_host = std::make_unique<QWidget>();
        m_host->setObjectName("root");
        auto* layout = new QVBoxLayout(m_host.get());
        layout->setContentsMargins(12, 12, 12, 12);
        m_root.release()->setParent(m_host.get());
        layout->addWidget(panel);
        // The function area of a device page.
        m_host->resize(596, 220);
    }
    void TearDown() override {
        LightPanelTest::TearDown();
        qApp->setStyleSheet(QString());
    }

    QImage Shoot(const QString& file) {
        m_host->show();
        vxtest::Pump(30);
        EXPECT_TRUE(vxtest::RenderToPng(m_host.get(), kOut + file));
        return QImage(kOut + file);
    }

    std::unique_ptr<QWidget> m_host;
};

// Whether some pixel of the picture is (nearly) this colour.
bool Shows(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAbs(qRed(p) - qRed(colour)) < 4 && qAbs(qGreen(p) - qGreen(colour)) < 4 &&
                qAbs(qBlue(p) - qBlue(colour)) < 4)
                return true;
        }
    }
    return false;
}

double DarkShare(const QImage& image) {
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 60;
    }
    return double(dark) / (qint64(image.width()) * image.height());
}

TEST_F(LightPanelScreenshot, KeyboardWaveAndMusic) {
    ShowKind(1, 0);
    LightInfo info;
    info.selectItem = 1;
    info.light = 3;
    info.speed = 2;
    info.fx = 1;
    info.red = 0x33, info.green = 0xCC, info.blue = 0x77;
    panel->SetLightInfo(info);
    const QImage wave = Shoot("light_panel.png");
    ASSERT_FALSE(wave.isNull());
    EXPECT_EQ(wave.size(), QSize(596, 220));
    EXPECT_GT(DarkShare(wave), 0.6);
    // The preview shows the record's colour, the first swatch its red.
    EXPECT_TRUE(Shows(wave, 0xFF33CC77u));
    EXPECT_TRUE(Shows(wave, 0xFFFF0000u));
    // The texts are the language's, not raw keys.
    EXPECT_EQ(ui::GetText(Find("deng_light_layout_caption")), "Brightness");
    EXPECT_EQ(Find("light_combo_modeSelect")->property("currentText").toString(), "Wave");

    AudioLightInfo audio;
    audio.audioMode = 0;
    audio.fgRed = 0xFF, audio.fgGreen = 0x80, audio.fgBlue = 0x00;
    audio.colorTypeFlags = 1;
    panel->SetAudioLightInfo(audio);
    info.selectItem = 21;
    panel->SetLightInfo(info);
    const QImage music = Shoot("light_panel_audio.png");
    ASSERT_FALSE(music.isNull());
    EXPECT_TRUE(Shows(music, 0xFFFF8000u));
    // The effect colour's page is not shown in the audio effect.
    EXPECT_FALSE(Shows(music, 0xFF33CC77u));

    // Breathing with a second device linked offers the same-mode button.
    panel->SetSyncAvailable(true);
    info.selectItem = 5;
    panel->SetLightInfo(info);
    const QImage breathing = Shoot("light_panel_sync.png");
    ASSERT_FALSE(breathing.isNull());
    EXPECT_TRUE(Find("deng_same_mode")->isVisible());
    EXPECT_TRUE(Shows(breathing, 0xFF33CC77u));
}

TEST_F(LightPanelScreenshot, MousepadInChinese) {
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_cn.xml"));
    CResourceManager::GetInstance().ReloadText();
    ShowKind(3, 2);
    LightInfo info;
    info.selectItem = 2;
    info.light = 4;
    info.speed = 1;
    info.red = 0xFF, info.green = 0x2E, info.blue = 0x6E;
    panel->SetLightInfo(info);
    const QImage shot = Shoot("light_panel_cn.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(ui::GetText(Find("deng_light_layout_caption")), QString::fromUtf8("亮度"));
    EXPECT_TRUE(Shows(shot, 0xFFFF2E6Eu));
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    CResourceManager::GetInstance().ReloadText();
}

}  // namespace
