// The keyboard page against the virtual keyboard: key identification, the settings block both
// ways, key assignments with macro slots, the macro image and its capacity rule, notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <QWidget>

#include "app/StartUp.h"
#include "devices/PowerDisplay.h"
#include "devices/TavimondKeyboardDevice.h"
#include "devices/lighting/KeyboardLightingEngine.h"
#include "profiles/FactoryKeyFunctions.h"
#include "profiles/KeyboardProfiledata.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/OptionUI.h"
#include "widgets/SliderUI.h"

using vx::link::kLinkOk;

using vx::link::DeviceLink;
using vx::profiles::CKeyboardProfiledata;
using vx::profiles::CustomLightColor;
using vx::profiles::FactoryKeyFunction;
using vx::profiles::KeyEntry;
using vx::profiles::kKeyboardFactoryKeys;
using vx::app::SetupResources;
using vx::devices::CTavimondKeyboardDevice;
using vx::devices::kTypeKeyboard;
using vx::widgets::COptionUI;
using vx::widgets::CSliderUI;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;

namespace {

using vxtest::RigModel;

constexpr int kModeCodeBase = 40;

class KeyboardPageTest : public vxtest::PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        // Device codes that differ from the mode indexes, so that every translation shows.
        WriteModeCodes(0, 32, kModeCodeBase);
    }

    void Start(CTavimondKeyboardDevice& page) {
        SetUpPage(page, "keyboard", 0xAA, 0xAA, 0, kTypeKeyboard);
        ASSERT_TRUE(Connect(page, RigModel::KeyboardWired));
        page.OnConnected();
        page.StopLightingThread();
    }

    // The slot of the device's key table that holds this factory function, or -1.
    int SlotOnDevice(const FactoryKeyFunction& f) {
        const auto table = m_rig->KeyTable(RigModel::KeyboardWired);
        for (size_t s = 0; s + 2 < table.size(); s += 3) {
            if (table[s] == f.type && table[s + 1] == f.first && table[s + 2] == f.second) return int(s / 3);
        }
        return -1;
    }

    void WriteMacros(int count, int eventsEach) {
        const auto folder = m_user / "keyboard";
        std::string list = "{\"MacroInfo\":[";
        for (int m = 0; m < count; ++m) {
            const std::string guid = "g" + std::to_string(m);
            list += (m ? "," : "") + std::string("{\"MacroName\":\"macro_") + std::to_string(m) +
                    "\",\"Guid\":\"" + guid + "\"}";
            std::string events = "[";
            for (int e = 0; e < eventsEach; ++e) {
                events += (e ? "," : "") + std::string("{\"Action\":\"") + (e % 2 ? "up" : "down") +
                          "\",\"Type\":10,\"Button\":" + std::to_string(4 + m) + ",\"Delay\":\"" +
                          std::to_string(10 + e) + "\"}";
            }
            events += "]";
            vxtest::WriteFile(folder / (guid + ".mac"), "{\"MacroName\":\"macro_" + std::to_string(m) +
                                                            "\",\"Guid\":\"" + guid +
                                                            "\",\"Events\":" + events + ",\"Version\":64}");
        }
        list += "]}";
        vxtest::WriteFile(folder / "macro.config", list);
    }

    static KeyEntry Macro(const KeyEntry& key, uint8_t macro) {
        KeyEntry changed = key;
        changed.current.type = 0x70;
        changed.current.first = macro;
        changed.current.second = 0;
        return changed;
    }
};

TEST_F(KeyboardPageTest, IdentifiesEveryKeyAndItsLedFromTheDeviceTables) {
    CTavimondKeyboardDevice page;
    Start(page);
    const auto leds = m_rig->LedMap(RigModel::KeyboardWired);
    std::set<int> slotsUsed;
    for (int j = 0; j < 170; ++j) {
        const FactoryKeyFunction f = kKeyboardFactoryKeys[j];
        const bool listed = !(f.type == 0x20 && f.first == 0 && f.second == 0);
        if (!listed) {
            EXPECT_EQ(page.KeySlotMap()[j], 255) << "unlisted key " << j;
            EXPECT_EQ(page.KeyLedMap()[j], 255) << "unlisted key " << j;
            continue;
        }
        const int slot = SlotOnDevice(f);
        ASSERT_GE(slot, 0) << "key " << j << " missing from the virtual keyboard";
        EXPECT_EQ(page.KeySlotMap()[j], slot) << "key " << j;
        EXPECT_EQ(page.KeyLedMap()[j], leds[slot]) << "key " << j;
        EXPECT_TRUE(slotsUsed.insert(slot).second) << "two keys on slot " << slot;
    }
    // The key table copy is the device's table itself.
    EXPECT_EQ(page.KeyTableCopy(), m_rig->KeyTable(RigModel::KeyboardWired));
}

TEST_F(KeyboardPageTest, KeyMissingFromTheDeviceIsUnmappedAndNeverStreamed) {
    m_rig->SetMissingKeys(RigModel::KeyboardWired, {13});
    CTavimondKeyboardDevice page;
    Start(page);
    EXPECT_EQ(page.KeySlotMap()[13], 255);
    EXPECT_EQ(page.KeyLedMap()[13], 255);
    EXPECT_NE(page.KeySlotMap()[12], 255);
    EXPECT_NE(page.KeySlotMap()[14], 255);

    // A streamed frame with only LED 13 lit sends nothing lit; LED 14 lit shows at its position.
    LightInfo audio = page.GetLightInfo();
    audio.selectItem = CTavimondKeyboardDevice::kModeAudio;
    page.SetLightInfo(audio);
    for (int i = 0; i < page.Engine().LedCount(); ++i) page.SetLed(i, 0);
    page.SetLed(13, 0xFFFFFFFFu);
    page.LightingFrame();
    ASSERT_TRUE(page.WaitForDeviceWork(5000));
    ASSERT_GT(m_rig->StreamFrameCount(RigModel::KeyboardWired), 0u);
    const auto dark = m_rig->LastStreamFrame(RigModel::KeyboardWired);
    EXPECT_TRUE(std::all_of(dark.begin(), dark.end(), [](uint8_t b) { return b == 0; }));

    page.SetLed(13, 0);
    page.SetLed(14, 0xFFFFFFFFu);
    page.LightingFrame();
    ASSERT_TRUE(page.WaitForDeviceWork(5000));
    const auto lit = m_rig->LastStreamFrame(RigModel::KeyboardWired);
    const size_t at = size_t(page.KeyLedMap()[14]) * 3;
    ASSERT_LT(at + 2, lit.size());
    EXPECT_EQ(lit[at], 0xFE);  // 255 scaled by brightness 255 / 256
    EXPECT_EQ(std::count_if(lit.begin(), lit.end(), [](uint8_t b) { return b != 0; }), 3);
    Disconnect(page);
}

TEST_F(KeyboardPageTest, SettingsBlockGoesOutByteForByte) {
    CTavimondKeyboardDevice page;
    Start(page);
    auto* profile = static_cast<CKeyboardProfiledata*>(page.GetProfileData());
    LightInfo info;
    info.selectItem = 5;
    info.light = 3;
    info.speed = 1;
    info.fx = 1;
    info.multiColor = 0;
    info.red = 10;
    info.green = 20;
    info.blue = 30;
    info.zzccLedMode = 2;
    info.customGroup = 4;
    page.SetLightInfo(info);
    KeyboardSystemStages stages;
    stages.wFlag = 1;
    stages.key6Flag = 1;
    stages.winFlag = 0;
    stages.pollingRate = 2;
    stages.repeat = 7;
    profile->SetKeyboardSystemStages(stages);
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);

    const auto block = m_rig->ConfigBlock(RigModel::KeyboardWired, 0);
    ASSERT_GE(block.size(), 26u);
    EXPECT_EQ(block[0], 0);                  // active profile 0
    EXPECT_EQ(block[1], kModeCodeBase + 5);  // mode index 5 as the device's code
    EXPECT_EQ(block[2], 3);                  // brightness
    EXPECT_EQ(block[3], 3);                  // speed level 1 stored inverted
    EXPECT_EQ(block[4], 1);                  // direction
    EXPECT_EQ(block[5], 0);                  // one colour
    EXPECT_EQ(block[6], 10);
    EXPECT_EQ(block[7], 20);
    EXPECT_EQ(block[8], 30);
    EXPECT_EQ(block[16], 0);
    EXPECT_EQ(block[18], 2);  // mode option
    EXPECT_EQ(block[19], 1);  // W flag
    EXPECT_EQ(block[20], 1);  // 6-key flag
    EXPECT_EQ(block[21], 0);  // Windows-key lock
    EXPECT_EQ(block[22], 2);  // polling rate
    EXPECT_EQ(block[25], 4);  // custom group

    // A mode index the device cannot take is sent as the table's first code.
    info.selectItem = 31;
    page.SetLightInfo(info);
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    EXPECT_EQ(m_rig->ConfigBlock(RigModel::KeyboardWired, 0)[1], kModeCodeBase);
    info.selectItem = 30;
    page.SetLightInfo(info);
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    EXPECT_EQ(m_rig->ConfigBlock(RigModel::KeyboardWired, 0)[1], kModeCodeBase + 30);
    Disconnect(page);

    // Not connected: the write fails and says so.
    EXPECT_NE(page.WriteSettings(0, 0, 0, 0, 0), 1);
}

TEST_F(KeyboardPageTest, SettingsReadBackAreTranslatedAndSaved) {
    CTavimondKeyboardDevice page;
    Start(page);
    // Profile 2 on the device: mode code of index 7, speed byte 1, flags set; then make it active.
    DeviceLink& link = page.CommandLink();
    std::array<uint8_t, 64> block{};
    block[1] = kModeCodeBase + 7;
    block[2] = 2;
    block[3] = 1;
    block[4] = 1;
    block[5] = 1;
    block[6] = 0x11;
    block[7] = 0x22;
    block[8] = 0x33;
    block[16] = 9;
    block[18] = 3;
    block[19] = 1;
    block[20] = 0;
    block[21] = 1;
    block[25] = 5;
    ASSERT_EQ(link.WriteConfig(block, 2 * 64 + 0), 1);
    const uint8_t active = 2;
    ASSERT_EQ(link.WriteConfig(std::span<const uint8_t>(&active, 1), 0), 1);

    ASSERT_EQ(page.RefreshFromDevice(), 1);
    EXPECT_EQ(page.ActiveProfile(), 2);
    EXPECT_EQ(page.SettingsBlock()[1], 7);
    EXPECT_EQ(page.SettingsBlock()[16], 0);
    const LightInfo info = page.GetLightInfo();
    EXPECT_EQ(info.selectItem, 7);
    EXPECT_EQ(info.light, 2);
    EXPECT_EQ(info.speed, 3);
    EXPECT_EQ(info.fx, 1);
    EXPECT_EQ(info.multiColor, 1);
    EXPECT_EQ(info.red, 0x11);
    EXPECT_EQ(info.green, 0x22);
    EXPECT_EQ(info.blue, 0x33);
    EXPECT_EQ(info.zzccLedMode, 3);
    EXPECT_EQ(info.customGroup, 5);
    EXPECT_TRUE(page.GetWinLock());
    EXPECT_TRUE(page.GetWFlag());
    EXPECT_FALSE(page.GetKey6());

    // What was read is in the profile file.
    CKeyboardProfiledata saved;
    saved.LoadProfile(m_user / "keyboard.Json");
    EXPECT_EQ(saved.GetLightInfo().selectItem, 7);
    EXPECT_EQ(saved.GetLightInfo().speed, 3);
    EXPECT_EQ(saved.GetKeyboardSystemStages().winFlag, 1);
    EXPECT_EQ(saved.GetKeyboardSystemStages().wFlag, 1);

    // A code that is not in the table stays as it is.
    block[1] = 0xEE;
    ASSERT_EQ(link.WriteConfig(block, 2 * 64), 1);
    ASSERT_EQ(page.RefreshFromDevice(), 1);
    EXPECT_EQ(page.SettingsBlock()[1], 0xEE);
    Disconnect(page);

    // Unplugged: nothing read, nothing changed.
    EXPECT_EQ(page.RefreshFromDevice(), 0);
    EXPECT_EQ(page.ActiveProfile(), 2);
}

TEST_F(KeyboardPageTest, MacroKeysGetSlotsInOrderOfFirstUse) {
    WriteMacros(5, 2);
    CTavimondKeyboardDevice page;
    Start(page);
    auto* profile = static_cast<CKeyboardProfiledata*>(page.GetProfileData());
    std::vector<KeyEntry> keys = profile->GetKeyList();
    ASSERT_EQ(keys.size(), 170u);
    keys[22] = Macro(keys[22], 4);  // "1"
    keys[23] = Macro(keys[23], 4);  // "2"
    keys[24] = Macro(keys[24], 1);  // "3"
    keys[25] = Macro(keys[25], 7);  // "4": beyond the 5 macros of the file
    profile->SetKeyList(keys);
    profile->SaveProfile();

    ASSERT_EQ(page.ApplyKeyAssignments(), 1);
    EXPECT_EQ(page.GetMacroList(), (std::vector<int>{4, 1}));
    const auto table = m_rig->KeyTable(RigModel::KeyboardWired);
    auto at = [&](int key) {
        const size_t s = page.KeySlotMap()[key] * 3;
        return std::array<uint8_t, 3>{table[s], table[s + 1], table[s + 2]};
    };
    EXPECT_EQ(at(22), (std::array<uint8_t, 3>{0x70, 0, 0}));
    EXPECT_EQ(at(23), (std::array<uint8_t, 3>{0x70, 0, 0}));
    EXPECT_EQ(at(24), (std::array<uint8_t, 3>{0x70, 1, 0}));
    const FactoryKeyFunction four = kKeyboardFactoryKeys[25];
    EXPECT_EQ(at(25), (std::array<uint8_t, 3>{four.type, four.first, four.second}));
    // Keys nobody changed keep their factory function.
    const FactoryKeyFunction esc = kKeyboardFactoryKeys[0];
    EXPECT_EQ(at(0), (std::array<uint8_t, 3>{esc.type, esc.first, esc.second}));
    Disconnect(page);
    EXPECT_EQ(page.ApplyKeyAssignments(), 0);
}

TEST_F(KeyboardPageTest, MacroImageIsWrittenOrRefusedByCapacity) {
    EXPECT_EQ(vx::devices::KeyboardProtocol::MacroEventsOver(246, 128), 30u);
    EXPECT_EQ(vx::devices::KeyboardProtocol::MacroEventsOver(128, 128), 0u);
    EXPECT_EQ(vx::devices::KeyboardProtocol::MacroEventsOver(129, 128), 1u);

    WriteMacros(5, 3);
    CTavimondKeyboardDevice page;
    Start(page);
    // Nothing to write is no failure: the device holds what the page holds.
    EXPECT_EQ(page.WriteMacroMemory({}), kLinkOk);
    EXPECT_FALSE(m_rig->MacroImageStarted(RigModel::KeyboardWired));

    ASSERT_EQ(page.WriteMacroMemory({4, 1}), kLinkOk);
    const auto image = m_rig->ValidMacroImage(RigModel::KeyboardWired);
    ASSERT_EQ(image.size(), 16u + 6 * 2 + 4 * 6);
    EXPECT_EQ(image[0] | (image[1] << 8), 0x55AA);
    // The first record holds macro 4's events: key usage 4 + 4, first press after 10 ms.
    const size_t first = image[16] | (image[17] << 8);
    ASSERT_LT(first + 4 + 4, image.size());
    const uint8_t* event = image.data() + first + 4;
    EXPECT_EQ(event[0] | (event[1] << 8), 10);
    EXPECT_EQ(event[2], 0x80 | 10);
    EXPECT_EQ(event[3], 8);
    Disconnect(page);
}

TEST_F(KeyboardPageTest, MacroImageTooLargeForTheDeviceIsNotSent) {
    // The virtual keyboard has 16 × 128 = 2048 bytes: 5 macros of 104 events make
    // 16 + 30 + 2080 = 2126 bytes, 78 too many: 20 events have to go.
    WriteMacros(5, 104);
    CTavimondKeyboardDevice page;
    Start(page);
    ASSERT_EQ(page.GetDeviceInfo().MacroCapacityBytes(), 2048u);
    m_rig->ClearReceived(RigModel::KeyboardWired);
    EXPECT_EQ(page.WriteMacroMemory({0, 1, 2, 3, 4}), vx::devices::kWriteTooLarge);
    EXPECT_EQ(page.MacroEventsToRemove(), 20u);
    const auto commands = m_rig->ReceivedCommands(RigModel::KeyboardWired);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), 0x15), 0);
    EXPECT_FALSE(m_rig->MacroImageStarted(RigModel::KeyboardWired));
    Disconnect(page);
}

TEST_F(KeyboardPageTest, NotificationsAskForRereadsAndFollowProfileChanges) {
    CTavimondKeyboardDevice page;
    Start(page);
    ASSERT_TRUE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::KeyboardWired), false));
    EXPECT_TRUE(page.IsNotifyOpen(false));

    ASSERT_TRUE(m_rig->Notify(RigModel::KeyboardWired, 0x401));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return m_scheduler.delays.size() == 1; }));
    EXPECT_EQ(m_scheduler.delays[0], 50);
    ASSERT_TRUE(m_rig->Notify(RigModel::KeyboardWired, 0x402));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return m_scheduler.delays.size() == 2; }));
    EXPECT_EQ(m_scheduler.delays[1], 50);

    ASSERT_TRUE(m_rig->NotifyProfileChange(RigModel::KeyboardWired, 3, 2));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return page.ActiveProfile() == 3; }));
    EXPECT_EQ(page.SettingsBlock()[26], 2);
    ASSERT_TRUE(m_rig->NotifyProfileChange(RigModel::KeyboardWired, 1, -1));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return page.ActiveProfile() == 1; }));
    EXPECT_EQ(page.SettingsBlock()[26], 2);
    EXPECT_EQ(m_scheduler.delays.size(), 2u);

    page.CloseNotifyInterface(false);
    EXPECT_FALSE(page.IsNotifyOpen(false));
    Disconnect(page);
}

TEST_F(KeyboardPageTest, ProfileChangeWhileDisconnectedAndOtherCodesChangeNothing) {
    CTavimondKeyboardDevice page;
    Start(page);
    page.HandleNotifyEvent(0x0403, false);
    page.HandleNotifyEvent(0x1205, false);
    EXPECT_EQ(page.ActiveProfile(), m_rig->ActiveProfile(RigModel::KeyboardWired));
    EXPECT_TRUE(m_scheduler.delays.empty());
    // 0x402 asks for a reread only on the cable's interface.
    page.HandleNotifyEvent(0x402, true);
    EXPECT_TRUE(m_scheduler.delays.empty());
    Disconnect(page);
    page.HandleNotifyEvent(0x1123, false);
    EXPECT_NE(page.ActiveProfile(), 3);
}

TEST_F(KeyboardPageTest, ReceiverReachabilityDrivesTheReceiverStream) {
    CTavimondKeyboardDevice page;
    SetUpPage(page, "keyboard", 0xAA, 0xAA, 0, kTypeKeyboard);
    ASSERT_TRUE(Connect(page, RigModel::KeyboardReceiver, true));
    EXPECT_TRUE(page.IsReachable());
    EXPECT_FALSE(page.StreamRule().Stopped(true));
    ASSERT_TRUE(m_rig->SetAsleep(RigModel::KeyboardReceiver, true));
    EXPECT_FALSE(page.IsReachable());
    EXPECT_TRUE(page.StreamRule().Stopped(true));
    EXPECT_FALSE(page.StreamRule().Stopped(false));
    ASSERT_TRUE(m_rig->SetAsleep(RigModel::KeyboardReceiver, false));
    EXPECT_TRUE(page.IsReachable());
    EXPECT_FALSE(page.StreamRule().Stopped(true));
    Disconnect(page);
    EXPECT_FALSE(page.IsReachable());
}

TEST_F(KeyboardPageTest, CustomColoursGoToTheDeviceThroughTheLedMap) {
    CTavimondKeyboardDevice page;
    Start(page);
    LightInfo info = page.GetLightInfo();
    info.selectItem = CTavimondKeyboardDevice::kModeCustomColours;
    info.red = 0x40;
    info.green = 0x80;
    info.blue = 0xC0;
    info.light = 4;
    page.SetLightInfo(info);
    page.FillCustomColours(false);
    page.PaintKey(0);  // Esc
    const auto colours = m_rig->KeyColours(RigModel::KeyboardWired, 0);
    const size_t at = size_t(page.KeyLedMap()[0]) * 3;
    ASSERT_LT(at + 2, colours.size());
    // Stored unscaled on the cable.
    EXPECT_EQ(colours[at], 0x40);
    EXPECT_EQ(colours[at + 1], 0x80);
    EXPECT_EQ(colours[at + 2], 0xC0);
    EXPECT_EQ(std::count_if(colours.begin(), colours.end(), [](uint8_t b) { return b != 0; }), 3);
    // The profile keeps the painted key.
    CKeyboardProfiledata saved;
    saved.LoadProfile(m_user / "keyboard.Json");
    const auto stored = saved.GetCustomLightColors(0, 170);
    EXPECT_EQ(stored[0].red, 0x40);
    EXPECT_EQ(stored[1].red, 0);

    // Outside mode 20 a click paints nothing.
    info.selectItem = 6;
    page.SetLightInfo(info);
    page.PaintKey(1);
    EXPECT_EQ(page.GetLed(1) & 0xFFFFFF, 0u);
    Disconnect(page);
}

TEST_F(KeyboardPageTest, EnteringCustomColourModeLoadsTheGroupAndSendsItScaled) {
    CTavimondKeyboardDevice page;
    Start(page);
    auto* profile = static_cast<CKeyboardProfiledata*>(page.GetProfileData());
    std::vector<CustomLightColor> colours(170);
    colours[0] = {0xFF, 0x00, 0x00, 0};
    colours[22] = {0x00, 0x80, 0x00, 0};
    profile->SetCustomLightColors(colours, 0);
    LightInfo info = profile->GetLightInfo();
    ASSERT_NE(info.selectItem, CTavimondKeyboardDevice::kModeCustomColours);
    info.selectItem = CTavimondKeyboardDevice::kModeCustomColours;
    info.light = 2;  // brightness 120 of 255
    info.customGroup = 0;
    profile->SetLightInfo(info);
    profile->SaveProfile();
    page.LoadLightingState();

    EXPECT_EQ(page.GetLed(0), (vx::lighting::LedEntry{0xFF, 0, 0, 120}.Pack()));
    EXPECT_EQ(page.GetLed(22), (vx::lighting::LedEntry{0, 0x80, 0, 120}.Pack()));
    ASSERT_TRUE(page.WaitForDeviceWork(5000));  // the colour table goes out on the worker
    const auto sent = m_rig->KeyColours(RigModel::KeyboardWired, 0);
    const size_t esc = size_t(page.KeyLedMap()[0]) * 3;
    const size_t one = size_t(page.KeyLedMap()[22]) * 3;
    ASSERT_LT(std::max(esc, one) + 2, sent.size());
    EXPECT_EQ(sent[esc], 0xFF * 120 / 256);
    EXPECT_EQ(sent[one + 1], 0x80 * 120 / 256);
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](uint8_t b) { return b != 0; }), 2);

    // Another group chosen while the mode stays: its colours replace the first group's.
    std::vector<CustomLightColor> blue(170);
    blue[0] = {0x00, 0x00, 0xFF, 0};
    profile->SetCustomLightColors(blue, 3);
    profile->SetCustomGroupIndex(3);
    profile->SaveProfile();
    page.LoadLightingState();
    EXPECT_EQ(page.GetLed(0), (vx::lighting::LedEntry{0, 0, 0xFF, 120}.Pack()));
    EXPECT_EQ(page.GetLed(22), (vx::lighting::LedEntry{0, 0, 0, 120}.Pack()));
    ASSERT_TRUE(page.WaitForDeviceWork(5000));  // the colour table goes out on the worker
    const auto third = m_rig->KeyColours(RigModel::KeyboardWired, 3);
    ASSERT_LT(esc + 2, third.size());
    EXPECT_EQ(third[esc + 2], 0xFF * 120 / 256);
    Disconnect(page);
}

// The stream rule with the real send: a keyboard that stops answering makes two slow frames (each
// waits out the cable's time-out, on the page's device worker) and the stream stops; frames are
// then dropped without traffic. Once the keyboard answers again, the next probe of the stopped
// stream is answered in time and the frames reach it again.
TEST_F(KeyboardPageTest, HungKeyboardStopsTheStreamAndItRunsAgainWhenTheKeyboardAnswers) {
    CTavimondKeyboardDevice page;
    Start(page);
    LightInfo info = page.GetLightInfo();
    info.selectItem = CTavimondKeyboardDevice::kModeCompanion;
    page.SetLightInfo(info);
    auto frame = [&] {
        page.LightingFrame();
        ASSERT_TRUE(page.WaitForDeviceWork(10000));
    };
    frame();
    ASSERT_EQ(m_rig->StreamFrameCount(RigModel::KeyboardWired), 1u);

    ASSERT_TRUE(m_rig->SetUnresponsive(RigModel::KeyboardWired, true));
    QElapsedTimer window;
    window.start();
    page.LightingFrame();
    EXPECT_LT(window.elapsed(), 100) << "the frame timer waited for the hung keyboard";
    ASSERT_TRUE(page.WaitForDeviceWork(10000));
    EXPECT_EQ(page.StreamRule().SlowFrames(false), 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));  // past the pause of a failed frame
    frame();
    EXPECT_TRUE(page.StreamRule().Stopped(false));

    ASSERT_TRUE(m_rig->SetUnresponsive(RigModel::KeyboardWired, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    m_rig->ClearReceived(RigModel::KeyboardWired);
    frame();
    frame();
    EXPECT_TRUE(m_rig->ReceivedCommands(RigModel::KeyboardWired).empty()) << "a stopped stream sent frames";

    // The probe time passes: the probe is answered and the stream runs again.
    std::this_thread::sleep_for(std::chrono::milliseconds(vx::lighting::StreamFailureRule::kCableProbeMs));
    const size_t before = m_rig->StreamFrameCount(RigModel::KeyboardWired);
    frame();
    EXPECT_FALSE(page.StreamRule().Stopped(false));
    frame();
    EXPECT_EQ(m_rig->StreamFrameCount(RigModel::KeyboardWired), before + 2);
    Disconnect(page);
}

TEST_F(KeyboardPageTest, ReceiverNotificationInterfaceAsksForRereads) {
    CTavimondKeyboardDevice page;
    SetUpPage(page, "keyboard", 0xAA, 0xAA, 0, kTypeKeyboard);
    ASSERT_TRUE(Connect(page, RigModel::KeyboardReceiver, true));
    ASSERT_TRUE(page.OpenNotifyInterface(m_rig->NotifyPath(RigModel::KeyboardReceiver), true));
    EXPECT_TRUE(page.IsNotifyOpen(true));
    EXPECT_FALSE(page.IsNotifyOpen(false));
    ASSERT_TRUE(m_rig->Notify(RigModel::KeyboardReceiver, 0x402));
    ASSERT_TRUE(m_rig->Notify(RigModel::KeyboardReceiver, 0x401));
    ASSERT_TRUE(vxtest::PumpUntil([&] { return !m_scheduler.delays.empty(); }));
    vxtest::PumpUntil([] { return false; }, 100);
    // 0x402 counts only on the cable's interface.
    ASSERT_EQ(m_scheduler.delays.size(), 1u);
    EXPECT_EQ(m_scheduler.delays[0], 50);
    page.CloseNotifyInterface(true);
    EXPECT_FALSE(page.IsNotifyOpen(true));
    Disconnect(page);
}

class FakeIndicator : public QWidget, public vx::devices::IPowerDisplay {
public:
    void ShowStatus(const std::array<uint8_t, 6>& status) override { shown.push_back(status); }
    std::vector<std::array<uint8_t, 6>> shown;
};

TEST_F(KeyboardPageTest, PowerReadingGoesToTheIndicatorAndTheOwner) {
    QObject owner;
    std::vector<std::pair<uint, quintptr>> messages;
    const WindowHandle handle =
        CWindowMessages::Register(&owner, [&](uint message, quintptr wParam, qintptr) {
            messages.push_back({message, wParam});
            return qintptr(0);
        });
    FakeIndicator indicator;
    CTavimondKeyboardDevice page;
    page.SetOwnerWindow(handle);
    page.SetPowerIndicator(&indicator);
    Start(page);
    page.ReadPower();
    ASSERT_EQ(indicator.shown.size(), 1u);
    EXPECT_EQ(indicator.shown[0][0], 85);  // the virtual keyboard's battery
    EXPECT_EQ(indicator.shown[0][3], 0);   // on the cable
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, 0x0D01u);
    EXPECT_EQ(messages[0].second, indicator.shown[0][4]);

    page.SetPowerReadHold(true);
    page.ReadPower();
    EXPECT_EQ(indicator.shown.size(), 1u);
    page.SetPowerReadHold(false);
    Disconnect(page);
    page.ReadPower();
    EXPECT_EQ(indicator.shown.size(), 1u);
    CWindowMessages::Unregister(handle);
}

TEST_F(KeyboardPageTest, PruningGivesKeysOfRemovedMacrosTheirDefaultBack) {
    WriteMacros(2, 1);
    CTavimondKeyboardDevice page;
    Start(page);
    auto* profile = static_cast<CKeyboardProfiledata*>(page.GetProfileData());
    std::vector<KeyEntry> keys = profile->GetKeyList();
    keys[43] = Macro(keys[43], 1);  // Q: still in the list
    keys[44] = Macro(keys[44], 3);  // W: beyond it
    profile->SetKeyList(keys);
    profile->SaveProfile();
    page.LoadProfile();
    page.PruneMacroAssignments();
    CKeyboardProfiledata saved;
    saved.LoadProfile(m_user / "keyboard.Json");
    const auto after = saved.GetKeyList();
    EXPECT_EQ(after[43].current.type, 0x70);
    EXPECT_EQ(after[43].current.first, 1);
    EXPECT_TRUE(after[44].current.SameFunction(after[44].defaults));
    Disconnect(page);
}

// The page built from the skin's keyboard layout: the picture binds every key and LED, the
// settings page shows the profile, and the Fn key follows the function page.
class KeyboardLayoutTest : public KeyboardPageTest {
protected:
    void SetUp() override {
        KeyboardPageTest::SetUp();
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
    }
};

TEST_F(KeyboardLayoutTest, SettingsPageShowsTheProfileAndFnFollowsThePage) {
    CTavimondKeyboardDevice page;
    SetUpPage(page, "keyboard", 0xAA, 0xAA, 0, kTypeKeyboard,
              QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml"));
    ASSERT_NE(page.GetPage(), nullptr);
    ASSERT_TRUE(Connect(page, RigModel::KeyboardWired));
    page.OnConnected();
    page.StopLightingThread();

    page.SetPollingRateOption(2);
    page.SetRepeatDelayOption(7);  // outside 0-3: option 0
    page.SetRepeatRate(12);
    page.SetWinLock(true);
    page.SetKey6(false);
    page.SetWFlag(true);
    page.RefreshPage();
    QWidget* root = page.GetPage();
    auto option = [&](const char* name) { return root->findChild<COptionUI*>(name); };
    ASSERT_NE(option("polling_rate_option_2"), nullptr);
    EXPECT_TRUE(option("polling_rate_option_2")->IsSelected());
    EXPECT_FALSE(option("polling_rate_option_0")->IsSelected());
    EXPECT_TRUE(option("repeat_delay_check_0")->IsSelected());
    EXPECT_TRUE(option("winlockflag_option")->IsSelected());
    EXPECT_TRUE(option("wflag_option")->IsSelected());
    EXPECT_FALSE(option("6flag_option")->IsSelected());
    EXPECT_EQ(root->findChild<CSliderUI*>("repeat_rate_slider")->GetValue(), 12);

    // The stored flags reach the device with the next settings write.
    ASSERT_EQ(page.WriteSettings(0, 0, 0, 0, 0), 1);
    const auto block = m_rig->ConfigBlock(RigModel::KeyboardWired, 0);
    EXPECT_EQ(block[21], 1);
    EXPECT_EQ(block[19], 1);
    EXPECT_EQ(block[20], 0);
    EXPECT_EQ(block[22], 2);

    QWidget* fn = root->findChild<QWidget*>("key_110");
    ASSERT_NE(fn, nullptr);
    page.SetFunctionPage(2);
    EXPECT_FALSE(fn->isEnabled());
    page.SetFunctionPage(3);
    EXPECT_FALSE(fn->isEnabled());
    page.SetFunctionPage(1);
    EXPECT_TRUE(fn->isEnabled());

    // Every key of the keyboard has its button, every LED its light.
    int keys = 0;
    for (int j = 0; j < 170; ++j) keys += root->findChild<QWidget*>(QString("key_%1").arg(j)) != nullptr;
    EXPECT_GT(keys, 100);
    Disconnect(page);
}

}  // namespace
