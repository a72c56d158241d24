// A user sets the keyboard's effect and brightness and a mouse DPI, ends the program and starts it
// again the next day: the window shows the same values, the devices still hold them, and the
// profile files were not overwritten with what a device held at the factory.

#include <QSlider>
#include <fstream>
#include <iterator>
#include <map>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "devices/TavimondUSBDevice.h"
#include "support/JourneyFixture.h"
#include "widgets/PaintManagerUI.h"

namespace fs = std::filesystem;

namespace journeys {
namespace {

constexpr const char* kEffectCombo = "light_combo_modeSelect";
constexpr const char* kBrightness = "deng_light_slider";
// The second DPI stage: its slider and the edit that shows its DPI.
constexpr const char* kDpiSlider = "DPI_slider_1";
constexpr const char* kDpiEdit = "DPI_edit_1";

class RestartJourney : public JourneyTest {
protected:
    // Every profile file and profile list below the data folder, with what it holds.
    std::map<fs::path, std::string> ProfileFiles() {
        std::map<fs::path, std::string> files;
        if (!fs::exists(DataFolder())) return files;
        for (const auto& entry : fs::recursive_directory_iterator(DataFolder())) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
        return files;
    }

    Json::Value StoredDevice(const std::string& deviceFolder) { return SelectedDeviceRecord(deviceFolder); }
    Json::Value StoredLight(const std::string& deviceFolder) {
        return StoredDevice(deviceFolder)["LightInfo"];
    }

    void OpenKeyboardLighting() {
        ShowDevicePage(Device::KeyboardWired);
        ASSERT_TRUE(Click("deng_Op_tab"));
        ASSERT_TRUE(WaitUntil([this] { return Shown(kEffectCombo); }, 1000)) << "no effect list";
    }

    void OpenMouseDpi() {
        ShowDevicePage(Device::MouseWired);
        ASSERT_TRUE(Click("mouse_function_option_2"));       // Settings
        ASSERT_TRUE(Click("mouse_device_seting_option_0"));  // DPI
        ASSERT_TRUE(WaitUntil([this] { return Shown(kDpiSlider); }, 1000)) << "no DPI stages shown";
    }
};

TEST_F(RestartJourney, CloseAndStartAgainWithEverythingKept) {
    // The devices keep their memory where the program's own virtual devices keep it.
    ASSERT_EQ(Devices().KeepMemoryIn((StateFolder() / "virtual-devices").string()), 1);
    PlugAndWait(Device::KeyboardWired);
    PlugAndWait(Device::MouseWired);

    // --- The first day: an effect, its brightness, a DPI ------------------------------------
    OpenKeyboardLighting();
    if (HasFatalFailure()) return;
    const QStringList effects = ComboItems(kEffectCombo);
    ASSERT_GE(effects.size(), 6);
    const QString effect = effects.indexOf("Breathing") >= 0 ? QString("Breathing") : effects.at(4);
    const QString chosen = ComboText(kEffectCombo) == effect ? effects.at(5) : effect;
    const std::vector<uint8_t> factoryKeyboard = Devices().ActiveConfigBlock(Device::KeyboardWired);
    ASSERT_TRUE(ChooseItem(kEffectCombo, chosen));
    ASSERT_TRUE(WaitUntil([this] { return Shown(kBrightness); }, 1000));
    auto* brightness = qobject_cast<QSlider*>(Find(kBrightness));
    ASSERT_NE(brightness, nullptr);
    const int level = SliderValue(kBrightness) == brightness->maximum() - 1 ? brightness->maximum()
                                                                            : brightness->maximum() - 1;
    ASSERT_TRUE(DragSlider(kBrightness, level));
    ASSERT_EQ(SliderValue(kBrightness), level);

    OpenMouseDpi();
    if (HasFatalFailure()) return;
    auto* dpiSlider = qobject_cast<QSlider*>(Find(kDpiSlider));
    ASSERT_NE(dpiSlider, nullptr);
    const int dpiLevel = dpiSlider->value() + (dpiSlider->maximum() - dpiSlider->value()) / 2;
    const std::vector<uint8_t> factoryMouse = Devices().ActiveConfigBlock(Device::MouseWired);
    ASSERT_TRUE(DragSlider(kDpiSlider, dpiLevel));
    const QString dpi = TextOf(kDpiEdit);
    EXPECT_GT(dpi.toInt(), 0);
    Run(300);

    const std::vector<uint8_t> keyboardBlock = Devices().ActiveConfigBlock(Device::KeyboardWired);
    const std::vector<uint8_t> mouseBlock = Devices().ActiveConfigBlock(Device::MouseWired);
    EXPECT_NE(keyboardBlock, factoryKeyboard) << "the keyboard did not get the effect";
    EXPECT_NE(mouseBlock, factoryMouse) << "the mouse did not get the DPI";
    const std::map<fs::path, std::string> profiles = ProfileFiles();
    const Json::Value light = StoredLight("keyboard");
    ASSERT_TRUE(light.isObject()) << "the keyboard's profile holds no light record";
    EXPECT_EQ(light["Light"].asInt(), level);
    EXPECT_EQ(StoredDevice("mouse")["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), dpi.toInt());

    // --- The program ends, and the devices with it, as the program's own do -----------------
    ExitProgram();
    Devices().Restart();
    EXPECT_TRUE(fs::exists(StateFolder() / "virtual-devices" / "keyboard.json"));
    EXPECT_TRUE(fs::exists(StateFolder() / "virtual-devices" / "mouse.json"));

    // --- The next day -----------------------------------------------------------------------
    StartProgram();
    PlugAndWait(Device::KeyboardWired);
    PlugAndWait(Device::MouseWired);
    // The devices read back what they held (the connection read them into the profiles).
    EXPECT_EQ(Devices().ActiveConfigBlock(Device::KeyboardWired), keyboardBlock);
    EXPECT_EQ(Devices().ActiveConfigBlock(Device::MouseWired), mouseBlock);
    // The profile files hold what they held: nothing was replaced with factory values.
    const Json::Value lightAfter = StoredLight("keyboard");
    EXPECT_EQ(lightAfter, light) << lightAfter.toStyledString();
    for (const auto& [path, text] : profiles) {
        ASSERT_TRUE(fs::exists(path)) << path;
        EXPECT_EQ(ProfileFiles()[path], text) << path << " changed across the restart";
    }

    // The window shows them.
    OpenKeyboardLighting();
    if (HasFatalFailure()) return;
    EXPECT_EQ(ComboText(kEffectCombo).toStdString(), chosen.toStdString());
    EXPECT_EQ(SliderValue(kBrightness), level);
    Screenshot("restart_keyboard_lighting.png");
    OpenMouseDpi();
    if (HasFatalFailure()) return;
    EXPECT_EQ(SliderValue(kDpiSlider), dpiLevel);
    EXPECT_EQ(TextOf(kDpiEdit).toStdString(), dpi.toStdString());
    Screenshot("restart_mouse_dpi.png");
}

}  // namespace
}  // namespace journeys
