// The mouse page against the emulated mouse: connection, the settings block both ways, a
// sleeping mouse behind its receiver, key assignments and macros, recoil upload, and the
// settings controls.

#include <QIntValidator>

#include "devices/PowerDisplay.h"
#include "devices/lighting/MouseLightingEngine.h"
#include "link/SettingsBlocks.h"
#include "profiles/JsonFile.h"
#include "tests/devices/mouse/MousePageFixture.h"
#include "widgets/EditUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"

using vx::link::kLinkOk;

using vx::emulator::VirtualModel;
using vx::link::kMouseBlockStride;
using vx::profiles::JsonFile;
using vx::profiles::KeyEntry;
using vx::profiles::kKeyTypeMacro;
using vx::profiles::kKeyTypeMacroRepeat;
using vx::devices::CTavimondMouseDevice;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CEditUI;
using vx::widgets::COptionUI;
using vx::widgets::CSliderUI;
using vx::widgets::ControlEvent;
namespace ui = vx::widgets::ui;
using vx::widgets::CPaintManagerUI;

namespace mousetest {
namespace {

template <class T>
T* Find(CTavimondMouseDevice& page, const char* name) {
    return CPaintManagerUI::FindSubControl<T>(page.GetPage(), QString::fromLatin1(name));
}

// Where the emulated mouse keeps each logical button's factory function.
int SlotInFirmware(const std::vector<uint8_t>& table, std::array<uint8_t, 3> function) {
    for (size_t slot = 0; slot * 3 + 2 < table.size(); ++slot) {
        if (table[slot * 3] == function[0] && table[slot * 3 + 1] == function[1] &&
            table[slot * 3 + 2] == function[2])
            return static_cast<int>(slot);
    }
    return MouseButtonMap::kNone;
}

void WriteMacroFiles(const std::filesystem::path& folder, int count, int eventsEach) {
    std::filesystem::create_directories(folder);
    std::string list;
    for (int m = 0; m < count; ++m) {
        const std::string guid = "macro" + std::to_string(m);
        list += (m ? "," : "") + std::string("{\"MacroName\":\"m") + std::to_string(m) + "\",\"Guid\":\"" +
                guid + "\"}";
        std::string events;
        for (int e = 0; e < eventsEach; ++e)
            events += (e ? "," : "") + std::string("{\"Action\":\"down\",\"Type\":10,\"Button\":") +
                      std::to_string(4 + m) + ",\"Delay\":\"" + std::to_string(20 + e) + "\"}";
        std::ofstream(folder / (guid + ".mac"))
            << "{\"Events\":[" << events << "],\"Guid\":\"" << guid << "\"}";
    }
    std::ofstream(folder / "macro.config") << "{\"MacroInfo\":[" << list << "]}";
}

void WriteShootFiles(const std::filesystem::path& folder, int bulletsEach) {
    std::filesystem::create_directories(folder);
    for (int gun = 0; gun < 4; ++gun) {
        std::string events;
        for (int b = 0; b < bulletsEach; ++b) {
            events += (b ? "," : "") +
                      std::string("{\"Action\":\"down\",\"Button\":1,\"Delay\":10,\"Type\":1},") +
                      "{\"Action\":\"up\",\"Button\":" + std::to_string(gun + 2) +
                      ",\"Delay\":" + std::to_string(30 + b) + ",\"Type\":5}";
        }
        std::ofstream(folder / ("ShootData_" + std::to_string(gun) + ".Shoot"))
            << "{\"Events\":[" << events << "]}";
    }
}

// ---- connection ----

TEST_F(MousePageTest, ConnectionFindsTheButtonsAndTakesTheSensorScale) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    page.OnConnected();
    const std::vector<uint8_t> table = Firmware().KeyTable();
    EXPECT_EQ(page.KeyTableCopy(), table);
    const std::array<std::array<uint8_t, 3>, 3> probes = {
        {{0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x14, 0x78, 0x02}}};
    const std::array<int, 3> buttons = {0, 1, 10};
    for (size_t i = 0; i < probes.size(); ++i) {
        const int slot = SlotInFirmware(table, probes[i]);
        ASSERT_NE(slot, MouseButtonMap::kNone);
        EXPECT_EQ(page.ButtonMap().SlotOf(buttons[i]), slot);
    }
    EXPECT_FALSE(Firmware().InConfigSession());
    // The emulated sensor: 0x3325, step 100, 148 positions, base 100.
    auto* slider = Find<CSliderUI>(page, "DPI_slider_2");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetMaxValue(), 148);
    auto* edit = Find<CEditUI>(page, "DPI_edit_2");
    ASSERT_NE(edit, nullptr);
    const auto* validator = qobject_cast<const QIntValidator*>(edit->validator());
    ASSERT_NE(validator, nullptr);
    EXPECT_EQ(validator->top(), 24900);
    // The factory profile's stages are on the page: stage 2 is 1600 DPI.
    EXPECT_EQ(ui::GetText(edit), "1600");
    EXPECT_EQ(slider->GetValue(), 15);
    EXPECT_TRUE(page.LightingThreadRunning());
    EXPECT_EQ(page.StopLightingThread(), 1);
}

// ---- settings block ----

TEST_F(MousePageTest, SettingsBlockReachesTheMouseByteForByte) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseReceiver);
    page.OnConnected();
    page.StopLightingThread();
    LightInfo light;
    light.selectItem = 9;
    light.light = 2;
    light.speed = 1;
    light.fx = 0;
    light.multiColor = 1;
    light.red = 10, light.green = 20, light.blue = 30;
    page.SetLightInfo(light);
    page.Profile().SetDpiStages({{1, 0, 400, 400, 255, 0, 0},
                                 {1, 1, 800, 1200, 0, 255, 0},
                                 {0, 0, 12000, 12000, 0, 0, 255},
                                 {1, 0, 3200, 3200, 1, 2, 3},
                                 {1, 0, 24900, 24900, 9, 8, 7}});
    page.Profile().SetActiveStage(3);
    MouseSystemStages system = page.Profile().GetMouseSystemStages();
    system.reportStage = 2;
    page.Profile().SetMouseSystemStages(system);
    ASSERT_EQ(page.WriteSettings(0, 0, 1, 1920, 1080), 1);

    const std::vector<uint8_t> expected = {
        0,  ModeCode(9), 2,    3,    0,    1,    10,   20,   30,  0, 0, 2,
        3,  0,           1,    0,    0x90, 0x01, 0x90, 0x01, 255, 0, 0,  // stage 0
        1,  1,           0x20, 0x03, 0xB0, 0x04, 0,    255,  0,          // stage 1, separate axes
        0,  0,           0xE0, 0x2E, 0xE0, 0x2E, 0,    0,    255,        // stage 2
        1,  0,           0x80, 0x0C, 0x80, 0x0C, 1,    2,    3,          // stage 3
        1,  0,           0x44, 0x61, 0x44, 0x61, 9,    8,    7,          // stage 4
        1,  0x80,        0x07, 0x38, 0x04,                               // flag, 1920 × 1080
        16, 32};  // the factory's selected correction preset
    const std::vector<uint8_t> block = Firmware().ConfigBlock(0);
    ASSERT_GE(block.size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 66), expected);
    EXPECT_FALSE(Firmware().InConfigSession());

    // A mode index the device cannot take goes out as the table's first code.
    light.selectItem = 12;
    page.SetLightInfo(light);
    ASSERT_EQ(page.WriteSettings(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(Firmware().ConfigBlock(0)[1], ModeCode(0));
}

TEST_F(MousePageTest, ReadBackTakesTheActiveProfilesBlock) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    page.OnConnected();
    page.StopLightingThread();
    // The mouse's profile 2 holds its own lighting; the user switched to it on the mouse.
    std::vector<uint8_t> block(71, 0);
    block[1] = ModeCode(7);
    block[2] = 3;
    block[3] = 4;  // slowest
    block[4] = 1;
    block[5] = 0;
    block[6] = 0x40, block[7] = 0x50, block[8] = 0x60;
    block[9] = 0x99;
    block[12] = 4;
    ASSERT_EQ(page.CommandLink().WriteConfig(block, 2 * kMouseBlockStride), 1);
    ASSERT_EQ(m_hub->NotifyProfileChange(VirtualModel::MouseWired, 2), 1);

    ASSERT_EQ(page.RefreshFromDevice(), 1);
    EXPECT_EQ(page.CurrentSettings().profile, 2);
    EXPECT_EQ(page.CurrentSettings().block[1], 7);
    EXPECT_EQ(page.CurrentSettings().block[9], 0);
    const LightInfo light = page.Profile().GetLightInfo();
    EXPECT_EQ(light.selectItem, 7);
    EXPECT_EQ(light.light, 3);
    EXPECT_EQ(light.speed, 0);
    EXPECT_EQ(light.fx, 1);
    EXPECT_EQ(light.red, 0x40);
    EXPECT_EQ(page.Profile().GetActiveStage(), 4);
    EXPECT_EQ(page.GetLightInfo().selectItem, 7);  // the lighting runs the device's mode
    // The profile file holds it too.
    const Json::Value saved = JsonFile().ReadJson(page.Profile().GetProfilePath());
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), 7);
    EXPECT_EQ(saved["Device"][0]["DPIStages"]["StageActive"].asInt(), 4);
    EXPECT_TRUE(Find<COptionUI>(page, "DPI_select_check_4")->IsSelected());
}

// ---- a mouse asleep behind its receiver ----

TEST_F(MousePageTest, SleepingMouseGetsOnlyThePresenceQuery) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseReceiver);
    page.OnConnected();
    page.StopLightingThread();
    WriteMacroFiles(MouseFolder(), 2, 3);
    WriteShootFiles(MouseFolder(), 1);
    ASSERT_EQ(m_hub->SetAsleep(true), 1);
    Firmware().ClearReceived();

    std::vector<KeyEntry> keys = page.KeyList();
    ASSERT_FALSE(keys.empty());
    keys[1].current = {1, kKeyTypeMacro, 1, 0};
    int operations = 0;
    EXPECT_EQ(page.RefreshFromDevice(), 0);
    ++operations;
    EXPECT_EQ(page.WriteSettings(0, 0, 1, 1920, 1080), 0);
    ++operations;
    EXPECT_EQ(page.WriteKeyAssignments(0, keys), 0);
    ++operations;
    EXPECT_EQ(page.ApplyKeyAssignments(), 0);
    ++operations;
    EXPECT_EQ(page.WriteMacroMemory({0, 1}), 0);
    ++operations;
    EXPECT_EQ(page.UploadShootData(), 0);
    ++operations;
    page.ReadPower();
    ++operations;
    EXPECT_FALSE(page.IsReachable());
    EXPECT_TRUE(page.StreamRule().Stopped(true)) << "no stream frames for a mouse that sleeps";
    ++operations;
    page.OnConnected();
    ++operations;
    page.StopLightingThread();

    const std::vector<uint8_t> commands = Commands();
    EXPECT_EQ(commands.size(), static_cast<size_t>(operations));
    EXPECT_EQ(CountOf(0xAA), static_cast<size_t>(operations)) << "only presence queries went out";
    EXPECT_EQ(Firmware().ConfigSessions(), 1u);  // the one of the first connection

    // Awake again, the same write goes through.
    ASSERT_EQ(m_hub->SetAsleep(false), 1);
    Firmware().ClearReceived();
    EXPECT_TRUE(page.IsReachable());
    EXPECT_FALSE(page.StreamRule().Stopped(true));
    EXPECT_EQ(page.WriteSettings(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(CountOf(0x06), 3u);  // 66 bytes in 24-byte chunks
}

class RecordingPowerDisplay : public QWidget, public vx::devices::IPowerDisplay {
public:
    void ShowStatus(const std::array<uint8_t, 6>& status) override { shown.push_back(status); }
    std::vector<std::array<uint8_t, 6>> shown;
};

TEST_F(MousePageTest, PowerIsReadThroughTheReceiverAndShown) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseReceiver);
    RecordingPowerDisplay indicator;
    page.SetPowerIndicator(&indicator);
    ASSERT_EQ(m_hub->SetBattery(64, 1), 1);
    page.ReadPower();
    ASSERT_EQ(indicator.shown.size(), 1u);
    EXPECT_EQ(indicator.shown[0][0], 64);
    EXPECT_EQ(indicator.shown[0][1], 1);
    EXPECT_EQ(indicator.shown[0][3], 1);  // read through the receiver
    EXPECT_EQ(page.LastStatus().batteryPercent, 64);

    page.SetPowerReadHold(true);
    Firmware().ClearReceived();
    page.ReadPower();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(indicator.shown.size(), 1u);
    page.SetPowerIndicator(nullptr);
}

// ---- key assignments and macros ----

TEST_F(MousePageTest, MacroButtonsGetSlotsInFirstUseOrder) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    WriteMacroFiles(MouseFolder(), 5, 2);
    page.OnConnected();
    page.StopLightingThread();
    std::vector<KeyEntry> keys = page.KeyList();
    ASSERT_GE(keys.size(), 11u);
    keys[0].current = {0, kKeyTypeMacro, 4, 0};
    keys[3].current = {3, kKeyTypeMacroRepeat, 1, 2};
    keys[4].current = {4, kKeyTypeMacro, 4, 0};
    keys[6].current = {6, kKeyTypeMacro, 7, 0};  // beyond the five macros: factory function
    keys[9].current = {9, 0x20, 0x00, 0x04};     // a keyboard key ("A")
    page.Profile().SetKeyList(keys);
    page.SaveProfile();
    page.LoadProfile();
    EXPECT_EQ(page.GetMacroList(), (std::vector<int>{4, 1}));

    ASSERT_EQ(page.ApplyKeyAssignments(), 1);
    const std::vector<uint8_t> table = Firmware().KeyTable();
    auto at = [&](int button) {
        const size_t slot = page.ButtonMap().SlotOf(button);
        return std::array<uint8_t, 3>{table[slot * 3], table[slot * 3 + 1], table[slot * 3 + 2]};
    };
    EXPECT_EQ(at(0), (std::array<uint8_t, 3>{0x70, 0, 0}));
    EXPECT_EQ(at(3), (std::array<uint8_t, 3>{0x71, 1, 2}));
    EXPECT_EQ(at(4), (std::array<uint8_t, 3>{0x70, 0, 0}));
    EXPECT_EQ(at(6), (std::array<uint8_t, 3>{0x13, 0x02, 0x00}));
    EXPECT_EQ(at(9), (std::array<uint8_t, 3>{0x20, 0x00, 0x04}));
    EXPECT_EQ(at(1), (std::array<uint8_t, 3>{0x10, 0x02, 0x00}));

    // Macro 4 in slot 0, macro 1 in slot 1, two events each.
    ASSERT_EQ(page.WriteMacroMemory(page.GetMacroList()), kLinkOk);
    const ImageBytes macros = Firmware().Macros();
    ASSERT_TRUE(macros.valid);
    const std::vector<uint8_t> expected = {0xAA, 0x55, 44, 0,  2, 0, 0,  0, 0,    0,  0,  0,    0,    0,  0,
                                           0,    20,   0,  32, 0, 2, 0,  0, 0,    20, 0,  0x8A, 8,    21, 0,
                                           0x8A, 8,    2,  0,  0, 0, 20, 0, 0x8A, 5,  21, 0,    0x8A, 5};
    EXPECT_EQ(macros.bytes, expected);

    // The key assignments survive the removal of macros: buttons beyond the list fall back.
    WriteMacroFiles(MouseFolder(), 2, 2);
    page.PruneMacroAssignments();
    EXPECT_EQ(page.KeyList()[0].current.type, 0x10);
    EXPECT_EQ(page.KeyList()[3].current.type, kKeyTypeMacroRepeat);
}

TEST_F(MousePageTest, MacroImageBeyondTheMouseMemoryIsRefused) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    WriteMacroFiles(MouseFolder(), 3, 300);
    page.OnConnected();
    page.StopLightingThread();
    Firmware().ClearReceived();
    // 16 + 18 + 4 × 900 = 3634 bytes against 24 × 128 = 3072: 140 events too many, plus one.
    EXPECT_EQ(page.WriteMacroMemory({0, 1, 2}), vx::devices::kWriteTooLarge);
    EXPECT_EQ(page.MacroEventsToRemove(), (3634 - 3072) / 4 + 1u);
    EXPECT_EQ(CountOf(0x15), 0u);
}

// ---- recoil data ----

TEST_F(MousePageTest, ShootDataGoesOutInFiftySixByteFramesEvenThroughTheReceiver) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseReceiver);
    page.OnConnected();
    page.StopLightingThread();
    WriteShootFiles(MouseFolder(), 3);  // 6 events per gun: 16 + 24 + 4 × 24 = 136 bytes
    Firmware().ClearReceived();
    ASSERT_EQ(page.UploadShootData(), 1);
    EXPECT_EQ(CountOf(0x17), 3u);  // 56 + 56 + 24
    const ImageBytes shoot = Firmware().Shoot();
    ASSERT_TRUE(shoot.valid);
    ASSERT_EQ(shoot.bytes.size(), 136u);
    EXPECT_EQ(shoot.bytes[4], 4);             // four records
    EXPECT_EQ(shoot.bytes[16], 24);           // gun 0 right after the offsets
    EXPECT_EQ(shoot.bytes[18], 24 + 28);      // gun 1: 4 + 4 × 6 bytes later
    EXPECT_EQ(shoot.bytes[22], 24 + 3 * 28);  // gun 3
    const std::vector<uint8_t> gun3Last(shoot.bytes.end() - 4, shoot.bytes.end());
    EXPECT_EQ(gun3Last, (std::vector<uint8_t>{32, 0, 0x05, 5}));  // delay 32, "up" move, 5
    EXPECT_FALSE(Firmware().InConfigSession());

    // Recoil data of the factory files' size (30 bullets, 180 events per gun) fits the mouse;
    // a gun with more events than its 30 bullets sends only those.
    WriteShootFiles(MouseFolder(), 90);
    Firmware().ClearReceived();
    ASSERT_EQ(page.UploadShootData(), 1);
    EXPECT_EQ(Firmware().Shoot().bytes.size(), 16 + 24 + 4 * 720u);
    EXPECT_EQ(CountOf(0x17), (2920u + 55) / 56);
    WriteShootFiles(MouseFolder(), 4000);
    Firmware().ClearReceived();
    ASSERT_EQ(page.UploadShootData(), 1);
    EXPECT_EQ(Firmware().Shoot().bytes.size(), 16 + 24 + 4 * 720u);
}

// ---- settings controls ----

TEST_F(MousePageTest, SettingsControlsChangeTheProfileAndTheMouse) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    page.OnConnected();
    page.StopLightingThread();
    // What the main window's routing hands the page's handlers: the control's index, whether
    // the option is now selected, the slider's value.
    auto event = [&](int index, bool checked = false, qint64 param = 0) {
        ControlEvent e;
        e.index = index;
        e.checked = checked;
        e.param = param;
        return e;
    };

    // A DPI slider let go at position 49 of the two-slope sensor: 5100 DPI.
    Find<CSliderUI>(page, "DPI_slider_1")->SetValue(49);
    page.OnDpiSliderDrag(event(1));
    EXPECT_EQ(ui::GetText(Find<CEditUI>(page, "DPI_edit_1")), "5100");
    EXPECT_EQ(page.DpiStages()[1].dpiX, 800) << "dragging sends nothing";
    page.OnDpiSlider(event(1));
    EXPECT_EQ(page.DpiStages()[1].dpiX, 5100);
    std::vector<uint8_t> block = Firmware().ConfigBlock(0);
    EXPECT_EQ(block[14 + 9 + 2] | block[14 + 9 + 3] << 8, 5100);

    // A typed value snaps to the scale.
    ui::SetText(Find<CEditUI>(page, "DPI_edit_3"), "5350");
    page.OnDpiEdit(event(3));
    EXPECT_EQ(page.DpiStages()[3].dpiY, 5300);
    EXPECT_EQ(Find<CSliderUI>(page, "DPI_slider_3")->GetValue(), 50);

    Find<COptionUI>(page, "polling_rate_option_4")->Selected(true);
    page.OnPollingRateOption(event(4, true));
    EXPECT_EQ(Firmware().ConfigBlock(0)[11], 4);
    EXPECT_EQ(page.Profile().GetMouseSystemStages().reportStage, 4);

    Find<COptionUI>(page, "DPI_enable_check_2")->Selected(false);
    page.OnDpiEnableCheck(event(2, false));
    EXPECT_EQ(Firmware().ConfigBlock(0)[14 + 18], 0);

    Find<COptionUI>(page, "DPI_select_check_0")->Selected(true);
    page.OnDpiSelectCheck(event(0, true));
    EXPECT_EQ(Firmware().ConfigBlock(0)[12], 0);

    Find<CSliderUI>(page, "pointer_speed_slider")->SetValue(17);
    page.OnPointerSpeedSlider(event(-1, false, 17));
    EXPECT_EQ(page.Profile().GetMouseSystemStages().mouseSpeed, 17);
    const Json::Value saved = JsonFile().ReadJson(page.Profile().GetProfilePath());
    EXPECT_EQ(saved["Device"][0]["SystemStages"]["MouseSpeed"].asInt(), 17);
    EXPECT_EQ(saved["Device"][0]["ReportStages"]["StageActive"].asInt(), 4);

    // A report-rate stage the page has no option for shows the first option.
    MouseSystemStages system = page.Profile().GetMouseSystemStages();
    system.reportStage = 9;
    page.Profile().SetMouseSystemStages(system);
    page.SaveProfile();
    page.LoadProfile();
    page.RefreshPage();
    EXPECT_TRUE(Find<COptionUI>(page, "polling_rate_option_0")->IsSelected());
    EXPECT_FALSE(Find<COptionUI>(page, "polling_rate_option_4")->IsSelected());
}

TEST_F(MousePageTest, FactoryResetBringsBackTheFactoryStagesAndKeepsThem) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    page.OnConnected();
    page.StopLightingThread();
    Find<CSliderUI>(page, "DPI_slider_0")->SetValue(100);
    page.CommitDpiSlider(0);
    page.SetPollingRate(1);
    ASSERT_EQ(page.DpiStages()[0].dpiX, 4900 + 52 * 200);

    page.ResetToProfile();
    EXPECT_EQ(page.DpiStages()[0].dpiX, 400);
    EXPECT_EQ(page.SystemStages().reportStage, 3);
    EXPECT_EQ(ui::GetText(Find<CEditUI>(page, "DPI_edit_0")), "400");
    EXPECT_TRUE(Find<COptionUI>(page, "polling_rate_option_3")->IsSelected());
    // The selected profile file holds the factory values again, so a reload keeps them.
    page.LoadProfile();
    EXPECT_EQ(page.DpiStages()[0].dpiX, 400);
    EXPECT_EQ(page.SystemStages().reportStage, 3);
}

TEST_F(MousePageTest, PageBindsItsButtonsAndLeds) {
    CTavimondMouseDevice& page = Connect(VirtualModel::MouseWired);
    ASSERT_NE(page.GetPage(), nullptr);
    for (int i = 0; i < CTavimondMouseDevice::kLeds; ++i) {
        auto* led = Find<CDeviceKeyButtonUI>(page, ("light_" + std::to_string(i)).c_str());
        ASSERT_NE(led, nullptr) << i;
        EXPECT_TRUE(led->IsLit());  // bound buttons start white
    }
    for (const char* name : {"DeviceProfileItem", "LightControlItem", "MacroControlItem", "KeySetControlItem",
                             "ShootControlItem", "logo", "mouse_device_seting_layout"})
        EXPECT_NE(Find<QWidget>(page, name), nullptr) << name;
    // The frame reaches the LED buttons.
    page.SetLed(5, 0xFF00FF00);  // green at full brightness
    page.LightingFrame();
    EXPECT_EQ(Find<CDeviceKeyButtonUI>(page, "light_5")->GetLightColor(), 0x00FF00u);
}

}  // namespace
}  // namespace mousetest
