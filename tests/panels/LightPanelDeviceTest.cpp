// The lighting panel on a real device page connected to a virtual device: a user's choice on the
// panel ends as the settings block on the device (mode translated into the device's own code,
// speed inverted), in the saved profile, and in the page's running effect.
#include "BuildPaths.h"
#include <QLayout>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStackedWidget>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "LightPanelFixture.h"
#include "LightPanelRig.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/TavimondMousePadDevice.h"
// The mouse page arrives on its own branch; its test runs once the page is there.
#if __has_include("devices/TavimondMouseDevice.h")
#include "devices/TavimondMouseDevice.h"
#define VX_HAVE_MOUSE_PAGE 1
#endif
#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/KeyboardLightingEngine.h"
#include "devices/lighting/LightingEngine.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "widgets/ControlFactory.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/SelectPanelUI.h"

using vx::link::DeviceLink;
using vx::link::kLinkModeWired;
using vx::profiles::CKeyboardProfiledata;
using vx::profiles::CustomLightColor;
using vx::profiles::JsonFile;
using vx::profiles::SetInstallFolderOverride;
using vx::profiles::SetUserDataFolderOverride;

using namespace lightpanel_test;
namespace fs = std::filesystem;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::CTavimondMouseDevice;
using vx::devices::CTavimondMousePadDevice;
using vx::devices::CTavimondUSBDevice;
using vx::devices::DeviceIdentity;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeMouse;
using vx::devices::kTypeMousePad;
using vx::widgets::CControlFactory;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CSelectPanelUI;
namespace ui = vx::widgets::ui;

namespace {

// Keyboard mode i has the device code 100 + i in these tests, so that a code that was not
// translated shows at once.
constexpr int kCodeBase = 100;
constexpr int kPadCodeBase = 50;
constexpr int kMouseCodeBase = 70;

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string ModeList(int count, int base) {
    std::string list = "[";
    for (int i = 0; i < count; ++i) {
        list += (i ? "," : "") +
                std::string("{\"LightName\":\"light_mode_wave\",\"visible\":true,\"value\":") +
                std::to_string(base + i) + "}";
    }
    return list + "]";
}

class LightPanelDeviceTest : public LightPanelTest {
protected:
    void SetUp() override {
        LightPanelTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "vx-lightpanel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        fs::create_directories(m_dir / "install" / "DefaultData");
        for (const auto& entry : fs::directory_iterator(VX_SOURCE_DIR "/DefaultData")) {
            fs::copy(entry.path(), m_dir / "install" / "DefaultData" / entry.path().filename());
        }
        WriteText(LightFile(), "{\"DefaultLightName\":[" + ModeList(32, kCodeBase) + "," +
                                   ModeList(12, kMouseCodeBase) + "," + ModeList(9, kPadCodeBase) + "," +
                                   ModeList(9, 0) + "],\"AreaLightName\":[null,null,null,null]}");
        SetInstallFolderOverride(m_dir / "install");
        SetUserDataFolderOverride(m_dir / "user");
        m_rig = std::make_unique<LightPanelRig>((m_dir / "hid").string());
    }

    void TearDown() override {
        m_keyboard.reset();
        m_mousepad.reset();
        m_rig.reset();
        SetInstallFolderOverride({});
        SetUserDataFolderOverride({});
        std::error_code ec;
        fs::remove_all(m_dir, ec);
        LightPanelTest::TearDown();
    }

    fs::path LightFile() const { return m_dir / "install" / "DefaultData" / "default_light.json"; }

    // A page set up the way the main window sets up a new page, its command link opened the way
    // discovery opens it, its connection sequence run, and the panel bound to it.
    void ConnectPage(CTavimondUSBDevice& page, RigDevice device, const char* kindName, int keys, int leds,
                     int tableIndex, uint16_t type, const QString& layout = QString()) {
        page.SetLayoutPath(layout);
        page.SetKeyCount(keys);
        page.SetLedCount(leds);
        page.SetKindIndex(tableIndex);
        page.SetProfileId("");
        page.SetKindName(kindName);
        DeviceIdentity identity;
        identity.vendorId = 0x320F;
        identity.typeCode = type;
        page.SetDeviceRecord(identity);
        page.SetLightTableIndex(tableIndex);
        page.SetLightNamePrefix("qorin_light");
        page.Initialise();
        ASSERT_TRUE(m_rig->Plug(device));
        {
            DeviceLink& link = page.CommandLink();
            std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
            ASSERT_TRUE(link.WiredLink().Open(m_rig->CommandPath(device), true, true, true, false));
            link.SetConnected(true);
            link.SetLinkMode(kLinkModeWired);
        }
        page.OnConnected();
        m_page = &page;
        panel->SetDevicePage(&page);
        panel->SetDeviceKind(type);
        ASSERT_TRUE(panel->LoadModeList(LightFile(), tableIndex));
        panel->SetLightInfo(page.GetLightInfo());
    }

    void ConnectKeyboard() {
        m_keyboard = std::make_unique<CTavimondKeyboardDevice>();
        ConnectPage(*m_keyboard, RigDevice::Keyboard, "keyboard", 170, 170, 0, kTypeKeyboard);
    }

    Json::Value SavedLightInfo() {
        JsonFile file;
        const Json::Value root = file.ReadJson(m_page->GetProfileData()->GetProfilePath());
        return root["Device"][0]["LightInfo"];
    }

    fs::path m_dir;
    std::unique_ptr<LightPanelRig> m_rig;
    std::unique_ptr<CTavimondKeyboardDevice> m_keyboard;
    std::unique_ptr<CTavimondMousePadDevice> m_mousepad;
    CTavimondUSBDevice* m_page = nullptr;
};

TEST_F(LightPanelDeviceTest, ChoosingAKeyboardModeWritesTheDeviceSavesAndRunsIt) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    CTavimondKeyboardDevice& page = *m_keyboard;
    const size_t sessions = m_rig->ConfigSessions(RigDevice::Keyboard);

    panel->OnSpeedSlider(At(1));
    panel->OnModeCombo(At(5));
    std::vector<uint8_t> block = m_rig->SettingsBlock(RigDevice::Keyboard);
    ASSERT_GE(block.size(), 26u);
    EXPECT_EQ(block[1], kCodeBase + 5);
    EXPECT_EQ(block[3], 4 - 1);
    EXPECT_EQ(m_rig->ConfigSessions(RigDevice::Keyboard), sessions + 2);
    EXPECT_EQ(SavedLightInfo()["SelectItem"].asInt(), 5);
    EXPECT_EQ(SavedLightInfo()["Speed"].asInt(), 1);
    EXPECT_EQ(page.Engine().GetLightInfo().selectItem, 5);
    EXPECT_EQ(page.GetLightInfo().selectItem, 5);

    // A colour typed in reaches the device as the fixed colour with seven-colour cycling off.
    ui::SetText(Find("deng_edit_R"), "300");
    panel->OnColourEdit(Row(0));
    ui::SetText(Find("deng_edit_G"), "16");
    panel->OnColourEdit(Row(1));
    ui::SetText(Find("deng_edit_B"), "");
    panel->OnColourEdit(Row(2));
    block = m_rig->SettingsBlock(RigDevice::Keyboard);
    EXPECT_EQ(block[5], 0);
    EXPECT_EQ(block[6], 255);
    EXPECT_EQ(block[7], 16);
    EXPECT_EQ(block[8], 0);
    EXPECT_EQ(SavedLightInfo()["Red"].asInt(), 255);
    EXPECT_EQ(SavedLightInfo()["MultiColor"].asInt(), 0);

    // Brightness, direction and the preset list of mode 17.
    panel->OnBrightnessSlider(At(2));
    panel->OnDirectionCheck(Row(0));
    panel->OnModeCombo(At(17));
    panel->OnZZCCModeCombo(At(3));
    block = m_rig->SettingsBlock(RigDevice::Keyboard);
    EXPECT_EQ(block[1], kCodeBase + 17);
    EXPECT_EQ(block[2], 2);
    EXPECT_EQ(block[4], 0);
    EXPECT_EQ(block[18], 3);
    EXPECT_EQ(page.Engine().GetLightInfo().zzccLedMode, 3);

    // The page's picture runs the chosen effect: mode 17 paints every LED with its preset colour.
    QElapsedTimer timer;
    timer.start();
    while (page.GetLed(0) == 0 && timer.elapsed() < 2000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_NE(page.GetLed(0), 0u);
    EXPECT_EQ(page.GetLed(0), page.GetLed(100));
    EXPECT_EQ(page.StopLightingThread(), 1);
}

// The lighting thread is stopped and the engine stepped by hand, so that what a mode shows right
// after it was chosen can be told apart from what its generator paints later.
class ManualPasses {
public:
    explicit ManualPasses(vx::lighting::LightingEngine& engine) : m_engine(engine) {}
    void Run(int passes) {
        for (int i = 0; i < passes; ++i) {
            m_now += 2;
            m_engine.Pass(m_now);
        }
    }

private:
    vx::lighting::LightingEngine& m_engine;
    uint32_t m_now = 100000;
};

int Brightness(uint32_t entry) {
    return static_cast<int>(entry >> 24);
}

// The panel stores the chosen record into the page before the page loads its lighting state; the
// mode change must still reset the effect and run the mode's set-up, and LEDs the new effect never
// paints show dark rather than the old effect's last colours.
TEST_F(LightPanelDeviceTest, EveryModeChosenOnThePanelStartsFromItsOwnSetUp) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    CTavimondKeyboardDevice& page = *m_keyboard;
    ASSERT_EQ(page.StopLightingThread(), 1);
    vx::lighting::KeyboardLightingEngine& engine = page.KeyboardEngine();
    ManualPasses passes(engine);

    // Static in one colour lights every LED, LED 1 (off the column map) among them.
    panel->OnPalette(At(0xFF30C060u));
    panel->OnModeCombo(At(6));
    passes.Run(30);
    ASSERT_GT(Brightness(page.GetLed(1)), 0);

    // The column wave paints the column map only: LED 1 goes dark and stays dark.
    panel->OnModeCombo(At(1));
    for (int led = 0; led < 170; ++led) ASSERT_EQ(page.GetLed(led), 0u) << led;
    passes.Run(30);
    EXPECT_GT(Brightness(page.GetLed(0)), 0);
    EXPECT_EQ(page.GetLed(1), 0u);

    // Bouncing and rolling ripples start from their seeds and light up.
    auto anyLit = [&](int maxPasses) {
        for (int i = 0; i < maxPasses; ++i) {
            passes.Run(1);
            for (int led = 0; led < 170; ++led) {
                if (Brightness(page.GetLed(led)) > 0) return true;
            }
        }
        return false;
    };
    panel->OnModeCombo(At(13));
    for (const auto& ring : engine.KeyboardSnapshot().rings) EXPECT_EQ(ring[9] & 0x40, 0x40);
    EXPECT_TRUE(anyLit(400)) << "mode 13 stays dark";
    panel->OnModeCombo(At(16));
    for (const auto& ring : engine.KeyboardSnapshot().rings) EXPECT_EQ(ring[1] & 0x01, 0x01);
    EXPECT_TRUE(anyLit(400)) << "mode 16 stays dark";

    // Twinkle and the layout ripple start every LED at its own point: they never pulse in unison.
    auto distinctPathLevels = [&] {
        std::set<int> levels;
        for (uint8_t led : vx::lighting::kLedPath) levels.insert(Brightness(page.GetLed(led)));
        return levels.size();
    };
    panel->OnModeCombo(At(15));
    passes.Run(12);
    EXPECT_GE(distinctPathLevels(), 5u) << "mode 15 pulses in unison";
    panel->OnModeCombo(At(22));
    passes.Run(12);
    EXPECT_GE(distinctPathLevels(), 5u) << "mode 22 pulses in unison";
    // Mode 22 lights every LED of the LED path within one ripple cycle, those off the layout map
    // (102, 100, 62) too.
    std::set<int> lit;
    for (int i = 0; i < 700; ++i) {
        passes.Run(1);
        for (uint8_t led : vx::lighting::kLedPath) {
            if (Brightness(page.GetLed(led)) > 0) lit.insert(led);
        }
    }
    for (uint8_t led : vx::lighting::kLedPath) EXPECT_TRUE(lit.count(led)) << "path LED " << int(led);

    // Per-key colours chosen without changing the group show the group's colours, and the group
    // keeps them: the ripple's last frame is neither shown nor written into the group.
    auto* profile = static_cast<CKeyboardProfiledata*>(page.GetProfileData());
    const int group = profile->GetCustomGroupIndex();
    std::vector<CustomLightColor> colours(170);
    for (int led = 0; led < 170; ++led) colours[led] = {uint8_t(led), uint8_t(255 - led), 0x11, 0};
    profile->SetCustomLightColors(colours, group);
    page.SaveProfile();
    panel->OnModeCombo(At(20));
    passes.Run(10);
    for (int led : {0, 5, 62, 102, 169}) {
        const vx::lighting::LedEntry e = page.Engine().GetLed(led);
        EXPECT_EQ(e.red, led) << led;
        EXPECT_EQ(e.green, 255 - led) << led;
        EXPECT_EQ(e.blue, 0x11) << led;
        EXPECT_GT(e.brightness, 0) << led;
    }
    EXPECT_EQ(profile->GetCustomLightColors(group, 170), colours);
    CKeyboardProfiledata saved;
    saved.SetLightTableIndex(0);
    saved.SetDeviceIndex(0);
    saved.LoadProfile(profile->GetProfilePath());
    EXPECT_EQ(saved.GetCustomLightColors(group, 170), colours);
}

// A keyboard driven by streamed frames is told so: choosing the audio or the companion mode ends
// with EnterSoftwareLighting after the settings block; an effect the keyboard runs itself does not.
TEST_F(LightPanelDeviceTest, StreamedModesPutTheKeyboardIntoSoftwareLighting) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    EXPECT_FALSE(m_rig->SoftwareLighting(RigDevice::Keyboard));
    m_rig->ClearReceived(RigDevice::Keyboard);
    panel->OnModeCombo(At(5));
    std::vector<uint8_t> commands = m_rig->Commands(RigDevice::Keyboard);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), 0x1C), 0);
    EXPECT_FALSE(m_rig->SoftwareLighting(RigDevice::Keyboard));

    for (int mode : {21, 31}) {
        m_rig->ClearReceived(RigDevice::Keyboard);
        panel->OnModeCombo(At(mode));
        commands = m_rig->Commands(RigDevice::Keyboard);
        const auto write = std::find(commands.begin(), commands.end(), 0x06);
        ASSERT_NE(write, commands.end()) << mode;
        EXPECT_NE(std::find(write, commands.end(), 0x1C), commands.end()) << mode;
        EXPECT_TRUE(m_rig->SoftwareLighting(RigDevice::Keyboard));
    }
    EXPECT_EQ(m_keyboard->StopLightingThread(), 1);
}

// The mousepad's ripple and pairs get their marked ring position when chosen on the panel.
TEST_F(LightPanelDeviceTest, MousepadRippleAndPairsLightUpWhenChosen) {
    m_mousepad = std::make_unique<CTavimondMousePadDevice>();
    ASSERT_NO_FATAL_FAILURE(
        ConnectPage(*m_mousepad, RigDevice::Mousepad, "MousePad", 0, 15, 2, kTypeMousePad));
    ASSERT_EQ(m_mousepad->StopLightingThread(), 1);
    ManualPasses passes(m_mousepad->Engine());
    for (int mode : {6, 7}) {
        panel->OnModeCombo(At(mode));
        bool lit = false;
        for (int i = 0; i < 2000 && !lit; ++i) {
            passes.Run(1);
            for (int led = 0; led < 15; ++led) lit = lit || Brightness(m_mousepad->GetLed(led)) > 0;
        }
        EXPECT_TRUE(lit) << "mousepad mode " << mode << " stays dark";
    }
}

TEST_F(LightPanelDeviceTest, ModesPastTheDeviceTableGoOutAsEntryZero) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    panel->OnModeCombo(At(31));
    EXPECT_EQ(m_rig->SettingsBlock(RigDevice::Keyboard)[1], kCodeBase);
    EXPECT_EQ(SavedLightInfo()["SelectItem"].asInt(), 31);
    EXPECT_EQ(m_keyboard->StopLightingThread(), 1);
}

TEST_F(LightPanelDeviceTest, ChoosingACustomGroupSelectsItOnTheDeviceAndInTheProfile) {
    ASSERT_NO_FATAL_FAILURE(ConnectKeyboard());
    panel->OnModeCombo(At(20));
    panel->OnCustomModeCombo(At(3));
    EXPECT_EQ(m_rig->SettingsBlock(RigDevice::Keyboard)[1], kCodeBase + 20);
    EXPECT_EQ(m_rig->SettingsBlock(RigDevice::Keyboard)[25], 3);
    JsonFile file;
    const Json::Value node = file.ReadJson(m_keyboard->GetProfileData()->GetProfilePath())["Device"][0];
    EXPECT_EQ(node["LightInfo"]["CustomGroup"].asInt(), 3);
    EXPECT_EQ(node["CustomLightMode"]["CustomLightModeGroupIndex"].asInt(), 3);
    EXPECT_EQ(m_keyboard->StopLightingThread(), 1);
}

TEST_F(LightPanelDeviceTest, ChoosingAMousepadModeWritesItsRecordAndRunsIt) {
    m_mousepad = std::make_unique<CTavimondMousePadDevice>();
    ASSERT_NO_FATAL_FAILURE(
        ConnectPage(*m_mousepad, RigDevice::Mousepad, "MousePad", 0, 15, 2, kTypeMousePad));
    // The mousepad shows its own mode list: breathing is its mode 2.
    panel->OnSpeedSlider(At(0));
    panel->OnModeCombo(At(2));
    panel->OnPalette(At(0xFF2040F0u));
    const std::vector<uint8_t> block = m_rig->SettingsBlock(RigDevice::Mousepad);
    ASSERT_GE(block.size(), 21u);
    EXPECT_EQ(block[1], kPadCodeBase + 2);
    EXPECT_EQ(block[3], 4 - 0);
    EXPECT_EQ(block[6], 0x20);
    EXPECT_EQ(block[7], 0x40);
    EXPECT_EQ(block[8], 0xF0);
    EXPECT_EQ(SavedLightInfo()["SelectItem"].asInt(), 2);
    EXPECT_EQ(SavedLightInfo()["Blue"].asInt(), 0xF0);
    EXPECT_EQ(m_mousepad->Engine().GetLightInfo().selectItem, 2);
    // Its breathing effect runs on the page's picture in the chosen colour.
    QElapsedTimer timer;
    timer.start();
    while (m_mousepad->GetLed(0) == 0 && timer.elapsed() < 3000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_NE(m_mousepad->GetLed(0), 0u);
    EXPECT_EQ(m_mousepad->StopLightingThread(), 1);
}

#ifdef VX_HAVE_MOUSE_PAGE
TEST_F(LightPanelDeviceTest, ChoosingAMouseModeWritesItsBlockAndRunsIt) {
    auto mouse = std::make_unique<CTavimondMouseDevice>();
    ASSERT_NO_FATAL_FAILURE(ConnectPage(*mouse, RigDevice::Mouse, "mouse", CTavimondMouseDevice::kButtons,
                                        CTavimondMouseDevice::kLeds, 1, kTypeMouse));
    panel->OnSpeedSlider(At(3));
    panel->OnModeCombo(At(4));
    panel->OnPresetColour(Index(0));
    const std::vector<uint8_t> block = m_rig->SettingsBlock(RigDevice::Mouse);
    ASSERT_GE(block.size(), 66u);
    EXPECT_EQ(block[1], kMouseCodeBase + 4);
    EXPECT_EQ(block[3], 4 - 3);
    EXPECT_EQ(block[6], 255);
    EXPECT_EQ(block[7], 0);
    EXPECT_EQ(SavedLightInfo()["SelectItem"].asInt(), 4);
    EXPECT_EQ(mouse->Engine().GetLightInfo().selectItem, 4);
    EXPECT_EQ(mouse->StopLightingThread(), 1);
    panel->SetDevicePage(nullptr);
    m_page = nullptr;
}
#endif

// The keyboard page with the lighting panel open where the page keeps it (the function area's
// lighting tab), written to build/screenshots/keyboard_light_panel.png for a look by eye.
TEST_F(LightPanelDeviceTest, KeyboardPageWithTheLightingPanelOpen) {
    CControlFactory::GetInstance().RegistControl("CDeviceKeyButtonUI",
                                                 [](QWidget* p) { return new CDeviceKeyButtonUI(p); });
    CControlFactory::GetInstance().RegistControl("CSelectPanelUI",
                                                 [](QWidget* p) { return new CSelectPanelUI(p); });
    QFile style(vxtest::RepoSkinDir() + "style.qss");
    ASSERT_TRUE(style.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(style.readAll()));

    m_keyboard = std::make_unique<CTavimondKeyboardDevice>();
    ASSERT_NO_FATAL_FAILURE(ConnectPage(*m_keyboard, RigDevice::Keyboard, "keyboard", 170, 170, 0,
                                        kTypeKeyboard, QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml")));
    QWidget* root = m_keyboard->GetPage();
    ASSERT_NE(root, nullptr);
    // The page's own slot for the panel, replaced by the panel as the page layout will name it.
    QWidget* slot = CPaintManagerUI::FindSubControlByName(root, "LightControlItem");
    ASSERT_NE(slot, nullptr);
    auto* tabs = CPaintManagerUI::FindSubControl<QStackedWidget>(root, "device_function_switch");
    ASSERT_NE(tabs, nullptr);
    // The lighting tab holds the slot beside the custom-colour buttons.
    QWidget* lightTab = slot->parentWidget();
    ASSERT_NE(lightTab, nullptr);
    ASSERT_NE(lightTab->layout(), nullptr);
    const QSize pageMinimum = root->minimumSizeHint();
    delete lightTab->layout()->replaceWidget(slot, panel);
    delete slot;
    m_root.release();
    m_keyboard->SetFunctionPage(3);
    ASSERT_EQ(tabs->currentWidget(), lightTab);
    ASSERT_TRUE(panel->isVisibleTo(tabs));
    ASSERT_TRUE(panel->LoadModeList(VX_SOURCE_DIR "/DefaultData/default_light.json", 0));

    CPaintManagerUI pageManager;
    pageManager.AttachRoot(root);
    LightInfo info = m_keyboard->GetLightInfo();
    info.selectItem = 3;
    info.multiColor = 0;
    info.red = 0xFF, info.green = 0x40, info.blue = 0x10;
    info.light = 4;
    info.speed = 3;
    m_keyboard->SetLightInfo(info);
    m_keyboard->LoadLightingState();
    panel->SetLightInfo(info);
    root->resize(800, 470);
    root->show();
    for (int i = 0; i < 10; ++i) {
        m_keyboard->LightingFrame();
        vxtest::Pump(30);
    }
    // The panel fits the page: nothing of it is squeezed below its size or cut off.
    const QRect area = root->rect();
    for (const char* name : {"light_combo_modeSelect", "deng_speed_slider", "deng_FXR_check",
                             "color_option_11", "deng_edit_B", "deng_Color_Pallet"}) {
        QWidget* w = Find(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->isVisible()) << name;
        const QRect box(w->mapTo(root, QPoint(0, 0)), w->size());
        EXPECT_TRUE(area.contains(box)) << name;
        EXPECT_GE(w->width(), w->minimumWidth()) << name;
    }
    EXPECT_GE(panel->width(), panel->minimumWidth());
    EXPECT_GE(panel->height(), panel->minimumHeight());
    const QString out = QStringLiteral(VX_BINARY_DIR "/screenshots/keyboard_light_panel.png");
    ASSERT_TRUE(vxtest::RenderToPng(root, out));
    EXPECT_FALSE(QImage(out).isNull());
    // The panel does not make the page any larger than its other parts already need.
    EXPECT_EQ(root->minimumSizeHint(), pageMinimum);
    EXPECT_EQ(m_keyboard->StopLightingThread(), 1);
    qApp->setStyleSheet(QString());
    // The page owns the panel now; the fixture must not delete it a second time.
    m_keyboard.reset();
    panel = nullptr;
}

}  // namespace
