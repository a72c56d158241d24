// The mouse's Qt-free pieces: DPI scale, button map, settings block and the recoil image.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <vector>

#include "devices/protocol/MouseButtonMap.h"
#include "devices/protocol/MouseDpiScale.h"
#include "devices/protocol/MouseSettingsBlock.h"
#include "devices/protocol/MouseShootImage.h"

using vx::link::DeviceInfo;
using vx::link::MouseBlock;

namespace {

// --- DPI scale ---

TEST(MouseDpiScale, TwoSlopeSensorAddsTwoHundredPerPositionPastTheKnee) {
    const MouseDpiScale scale(0x3325, 100, 148, 100);
    EXPECT_EQ(scale.SliderToDpi(0), 100);
    EXPECT_EQ(scale.SliderToDpi(48), 4900);
    EXPECT_EQ(scale.SliderToDpi(49), 5100);
    EXPECT_EQ(scale.SliderToDpi(148), 24900);
    EXPECT_EQ(scale.SliderToDpi(500), 24900);  // held at the last position
    EXPECT_EQ(scale.SliderToDpi(-3), 100);
    EXPECT_EQ(scale.EditMax(), 24900);
}

TEST(MouseDpiScale, TextGivesThePositionThatShowsIt) {
    const MouseDpiScale scale(0x3325, 100, 148, 100);
    // Every position's own DPI text leads back to that position, on both slopes.
    for (int position = 0; position <= scale.SliderMax(); ++position) {
        const std::string text = std::to_string(scale.SliderToDpi(position));
        EXPECT_EQ(scale.TextToSlider(std::u16string(text.begin(), text.end())), position) << text;
    }
    EXPECT_EQ(scale.TextToSlider(u"5300"), 50);
    EXPECT_EQ(scale.TextToSlider(u"5299"), 49);  // between two positions: the lower one
    EXPECT_EQ(scale.TextToSlider(u"50"), 0);     // below the base counts as the base
    EXPECT_EQ(scale.TextToSlider(u"99999999999"), 148);
}

TEST(MouseDpiScale, LinearSensorAndOddTexts) {
    const MouseDpiScale scale(0x1234, 50, 200, 100);
    EXPECT_EQ(scale.TextToSlider(u"1000"), 18);
    EXPECT_EQ(scale.TextToSlider(u""), 0);
    EXPECT_EQ(scale.TextToSlider(u"abc"), 0);
    EXPECT_EQ(scale.TextToSlider(u"1000dpi"), 18);
    EXPECT_EQ(scale.SliderToDpi(49), 100 + 49 * 50);  // no knee for other sensors
    EXPECT_EQ(scale.EditMax(), 100 + 200 * 50);
    const MouseDpiScale broken(0x1234, 0, 10, 100);  // a record without a step
    EXPECT_EQ(broken.TextToSlider(u"800"), 0);
}

TEST(MouseDpiScale, TakesItsFiguresFromTheCapabilityRecord) {
    std::vector<uint8_t> bytes(DeviceInfo::kLength, 0);
    bytes[9] = 0x25, bytes[10] = 0x33;  // sensor
    bytes[11] = 100;                    // step
    bytes[12] = 148, bytes[13] = 0;     // slider maximum
    bytes[14] = 100, bytes[15] = 0;     // base
    const MouseDpiScale scale{DeviceInfo(bytes)};
    EXPECT_TRUE(scale.TwoSlope());
    EXPECT_EQ(scale.SliderMax(), 148);
    EXPECT_EQ(scale.SliderToDpi(49), 5100);
}

// --- button map ---

std::vector<uint8_t> Table(std::initializer_list<std::array<uint8_t, 3>> records) {
    std::vector<uint8_t> bytes;
    for (const auto& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
    return bytes;
}

TEST(MouseButtonMap, FindsEachButtonsFirstSlotBelowTheSlotCount) {
    // Device order differs from the logical order; left button appears twice.
    const auto table = Table({{0x10, 0x02, 0x00},
                              {0x10, 0x01, 0x00},
                              {0x10, 0x01, 0x00},
                              {0x14, 0x78, 0x02},
                              {0x13, 0x03, 0x00},
                              {0x00, 0x00, 0x00},
                              {0x10, 0x04, 0x00}});
    MouseButtonMap map;
    map.Build(table, 6);
    EXPECT_EQ(map.SlotOf(0), 1);
    EXPECT_EQ(map.SlotOf(1), 0);
    EXPECT_EQ(map.SlotOf(10), 3);
    EXPECT_EQ(map.SlotOf(7), 4);
    EXPECT_EQ(map.SlotOf(2), MouseButtonMap::kNone);  // slot 6 is beyond the count
    EXPECT_EQ(map.SlotOf(8), MouseButtonMap::kNone);  // not in the table at all
    EXPECT_EQ(map.SlotOf(11), MouseButtonMap::kNone);
    EXPECT_EQ(map.LedOf(0), MouseButtonMap::kNone);

    map.Build(table, 200);  // a count beyond the table's length searches only what is there
    EXPECT_EQ(map.SlotOf(2), 6);
}

// --- settings block ---

MouseBlockSource Source() {
    MouseBlockSource source;
    source.light.selectItem = 2;
    source.light.light = 3;
    source.light.speed = 1;
    source.light.fx = 1;
    source.light.multiColor = 1;
    source.light.red = 0x11, source.light.green = 0x22, source.light.blue = 0x33;
    source.stages = {
        {1, 0, 400, 400, 255, 0, 0}, {1, 1, 800, 1600, 0, 255, 0}, {0, 0, 12000, 12000, 0, 0, 255}};
    source.activeStage = 1;
    source.system.reportStage = 3;
    source.system.mouseSpeed = 10;  // never sent
    source.presets = {{32, 16, 0, u"Standard"}, {24, 12, 1, u"Glass"}, {40, 20, 1, u"Cloth"}};
    source.screenWidth = 2560;
    source.screenHeight = 1440;
    return source;
}

TEST(MouseSettingsBlock, WrittenByteForByte) {
    const std::vector<uint8_t> modes = {0x10, 0x11, 0x12, 0x13};
    const MouseBlock block = BuildMouseSettingsBlock(Source(), modes);
    std::array<uint8_t, 66> expected{};
    expected[1] = 0x12;  // mode index 2 → its device code
    expected[2] = 3;
    expected[3] = 3;  // speed level 1 sent inverted
    expected[4] = 1;
    expected[5] = 1;
    expected[6] = 0x11, expected[7] = 0x22, expected[8] = 0x33;
    expected[11] = 3;
    expected[12] = 1;
    const std::array<uint8_t, 9> stage0 = {1, 0, 0x90, 0x01, 0x90, 0x01, 255, 0, 0};
    const std::array<uint8_t, 9> stage1 = {1, 1, 0x20, 0x03, 0x40, 0x06, 0, 255, 0};
    const std::array<uint8_t, 9> stage2 = {0, 0, 0xE0, 0x2E, 0xE0, 0x2E, 0, 0, 255};
    std::copy(stage0.begin(), stage0.end(), expected.begin() + 14);
    std::copy(stage1.begin(), stage1.end(), expected.begin() + 23);
    std::copy(stage2.begin(), stage2.end(), expected.begin() + 32);
    expected[59] = 1;
    expected[60] = 0x00, expected[61] = 0x0A;  // 2560
    expected[62] = 0xA0, expected[63] = 0x05;  // 1440
    expected[64] = 12;                         // the first flagged preset wins
    expected[65] = 24;
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.end()),
              std::vector<uint8_t>(expected.begin(), expected.end()));
}

TEST(MouseSettingsBlock, ModesOutsideTheTableAndNoPresetSelected) {
    MouseBlockSource source = Source();
    source.presets = {{32, 16, 0, u"Standard"}};
    const std::vector<uint8_t> modes = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,
                                        0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C};
    source.light.selectItem = 12;  // 12 or more goes out as entry 0
    MouseBlock block = BuildMouseSettingsBlock(source, modes);
    EXPECT_EQ(block[1], 0x10);
    EXPECT_EQ(block[64], 0);
    EXPECT_EQ(block[65], 0);
    source.light.selectItem = 11;
    source.light.speed = 4;
    block = BuildMouseSettingsBlock(source, modes);
    EXPECT_EQ(block[1], 0x1B);
    EXPECT_EQ(block[3], 0);
    source.stages.assign(7, DpiStage{1, 0, 100, 100, 1, 1, 1});  // extra stages are not sent
    block = BuildMouseSettingsBlock(source, modes);
    EXPECT_EQ(block[14 + 9 * 4], 1);
    EXPECT_EQ(block[59], 1);
}

TEST(MouseSettingsBlock, ReadBackTranslatesModeAndSpeed) {
    const std::vector<uint8_t> modes = {0x10, 0x11, 0x12, 0x13};
    std::vector<uint8_t> device(71, 0);
    device[1] = 0x13;
    device[2] = 4;
    device[3] = 0;  // fastest
    device[4] = 1;
    device[5] = 1;
    device[6] = 1, device[7] = 2, device[8] = 3;
    device[9] = 0x77;
    device[12] = 4;
    device[70] = 0x55;
    const MouseSettingsRecord record = TranslateReadBlock(2, device, modes);
    EXPECT_EQ(record.profile, 2);
    EXPECT_EQ(record.block[1], 3);
    EXPECT_EQ(record.block[9], 0);
    EXPECT_EQ(record.block[70], 0x55);
    EXPECT_EQ(record.ActiveStage(), 4);
    LightInfo previous;
    previous.zzccLedMode = 7;
    previous.customGroup = 2;
    const LightInfo light = LightFromReadBlock(record, previous);
    EXPECT_EQ(light.selectItem, 3);
    EXPECT_EQ(light.light, 4);
    EXPECT_EQ(light.speed, 4);
    EXPECT_EQ(light.fx, 1);
    EXPECT_EQ(light.multiColor, 1);
    EXPECT_EQ(light.red, 1);
    EXPECT_EQ(light.blue, 3);
    EXPECT_EQ(light.zzccLedMode, 7);
    EXPECT_EQ(light.customGroup, 2);

    device[1] = 0x42;  // a code the table does not know stays as it is
    EXPECT_EQ(TranslateReadBlock(0, device, modes).block[1], 0x42);
    // A short read leaves the rest zero instead of reading past it.
    EXPECT_EQ(TranslateReadBlock(0, std::span<const uint8_t>(device).first(5), modes).block[6], 0);
}

// --- recoil image ---

class ShootFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("vx_mouse_shoot_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                    "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
    void Write(int gun, const std::string& text) { std::ofstream(m_folder / ShootFileName(gun)) << text; }
    std::filesystem::path m_folder;
};

TEST_F(ShootFolder, FourRecordsWithTheirEventsInOrder) {
    Write(0, R"({"Events":[{"Action":"down","Button":1,"Delay":10,"Type":1},
                           {"Action":"up","Button":12,"Delay":300,"Type":5}]})");
    Write(1, "not json");
    // gun 2 missing
    Write(3, R"({"Events":[{"Action":"up","Button":3,"Delay":"7","Type":4}]})");
    const auto guns = LoadShootEvents(m_folder);
    ASSERT_EQ(guns[0].size(), 2u);
    EXPECT_TRUE(guns[1].empty());
    EXPECT_TRUE(guns[2].empty());
    ASSERT_EQ(guns[3].size(), 1u);

    const ShootImage image = BuildShootImage(guns, 1024);
    const std::vector<uint8_t> expected = {0xAA, 0x55, 52, 0, 4,  0, 0,    0, 0,    0,    0,    0,
                                           0,    0,    0,  0,  // header: length 16 + 24 + 4 × 3
                                           24,   0,    36, 0, 40, 0, 44,   0,  // four offsets
                                           2,    0,    0,  0, 10, 0, 0x81, 1, 0x2C, 0x01, 0x05, 12,  // gun 0
                                           0,    0,    0,  0,                                        // gun 1
                                           0,    0,    0,  0,                                        // gun 2
                                           1,    0,    0,  0, 7,  0, 0x04, 3};                       // gun 3
    EXPECT_EQ(image.bytes, expected);
    EXPECT_EQ(image.eventsOver, 0u);
}

TEST_F(ShootFolder, TooLargeForTheDeviceIsRefusedWithTheEventsToRemove) {
    std::string events;
    for (int i = 0; i < 30; ++i)
        events += std::string(i ? "," : "") + R"({"Action":"down","Button":1,"Delay":1,"Type":1})";
    for (int gun = 0; gun < kShootGuns; ++gun) Write(gun, "{\"Events\":[" + events + "]}");
    const auto guns = LoadShootEvents(m_folder);
    // 16 + 24 + 4 × 120 = 520 bytes against 128 bytes of memory.
    const ShootImage image = BuildShootImage(guns, 128);
    EXPECT_TRUE(image.bytes.empty());
    EXPECT_EQ(image.length, 520u);
    EXPECT_EQ(image.eventsOver, (520u - 128u) / 4 + 1);
    EXPECT_EQ(BuildShootImage(guns, 520).bytes.size(), 520u);
}

TEST_F(ShootFolder, HostileFilesAreClampedOrNotReadAtAll) {
    // Values beyond the device form are held at its limits, not wrapped; an action in capitals
    // still presses; a gun keeps its 30 bullets' events and no more.
    std::string events = R"({"Action":"DOWN","Button":300,"Delay":100000,"Type":999},)"
                         R"({"Action":"up","Button":-4,"Delay":"12","Type":-1})";
    for (int i = 0; i < 500; ++i) events += R"(,{"Action":"up","Button":1,"Delay":1,"Type":5})";
    Write(0, "{\"Events\":[" + events + "]}");
    // A file above the size bound is not read, whatever it holds.
    std::string padding(kShootFileMaxBytes, ' ');
    Write(1, "{\"Events\":[{\"Action\":\"down\",\"Button\":1,\"Delay\":1,\"Type\":1}]}" + padding);
    Write(2, R"({"Events":{"Action":"down"}})");  // not a list
    Write(3, R"([{"Action":"down","Button":1,"Delay":1,"Type":1}])");  // not an object
    const auto guns = LoadShootEvents(m_folder);
    ASSERT_EQ(guns[0].size(), kShootGunEvents);
    EXPECT_TRUE(guns[0][0].down);
    EXPECT_EQ(guns[0][0].button, 255);
    EXPECT_EQ(guns[0][0].delayMs, 65535);
    EXPECT_EQ(guns[0][0].type, 127);
    EXPECT_FALSE(guns[0][1].down);
    EXPECT_EQ(guns[0][1].button, 0);
    EXPECT_EQ(guns[0][1].delayMs, 12);
    EXPECT_EQ(guns[0][1].type, 0);
    EXPECT_TRUE(guns[1].empty());
    EXPECT_TRUE(guns[2].empty());
    EXPECT_TRUE(guns[3].empty());
    // The four guns at their largest fit the emulated mouse's memory.
    EXPECT_LE(BuildShootImage(guns, 24 * 128).length, 24u * 128u);
}

}  // namespace
