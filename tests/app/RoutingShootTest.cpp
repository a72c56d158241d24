// The recoil panel on a real mouse page connected to the virtual mouse, driven through the main
// window's routing: the gun files it restores, the bullet it edits, what the mouse receives
// through the cable and through the receiver, and what it does with hostile files.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QWidget>
#include <fstream>
#include <map>

#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// The page headers need the widget classes above.
#include "app/ControlRouter.h"
#include "app/PagePanels.h"
#include "devices/TavimondMouseDevice.h"
#include "panels/ShootControlUI.h"
#include "profiles/JsonFile.h"
#include "tests/devices/support/PageFixture.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/ResourceManager.h"
#include "tests/app/support/QuietRouterHost.h"

using vx::app::CControlRouter;
using vx::devices::kTypeMouse;
using vx::widgets::CResourceManager;
using vx::widgets::TNotifyUI;
using vx::app::CPagePanels;
using vx::app::IControlRouterHost;
using vx::app::WindowButton;
using vx::devices::CTavimondMouseDevice;
using vx::devices::CTavimondUSBDevice;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;

using vx::panels::CShootControlUI;
using vx::profiles::JsonFile;
using vxtest::RigModel;
namespace fs = std::filesystem;

namespace {

const QString kMouseLayout = QStringLiteral("XML\\DeviceXml\\mousedevice.xml");

class ShootHost : public vxtest::QuietRouterHost {
public:
    void ShowNotice(const QString& key) override { notices.push_back(key.toStdString()); }
    QString OpenFileDialog(const QString& name, const QString& pattern) override {
        dialogs.push_back("open " + name.toStdString() + " " + pattern.toStdString());
        return dialogAnswer;
    }
    QString SaveFileDialog(const QString& name, const QString& pattern) override {
        dialogs.push_back("save " + name.toStdString() + " " + pattern.toStdString());
        return dialogAnswer;
    }

    std::vector<std::string> notices;
    std::vector<std::string> dialogs;
    QString dialogAnswer;
};

// The image the mouse must hold for the gun files of a folder, built here from the files
// themselves: header 0xAA55, length, four records, their offsets, then per gun its event count
// and its events (delay, type with the press in bit 7, button).
std::vector<uint8_t> ExpectedImage(const fs::path& folder) {
    std::vector<std::vector<uint8_t>> records;
    for (int gun = 0; gun < 4; ++gun) {
        const Json::Value doc = JsonFile().ReadJson(folder / ("ShootData_" + std::to_string(gun) + ".Shoot"));
        std::vector<uint8_t> record(4, 0);
        const Json::Value& events = doc["Events"];
        const unsigned count = std::min(events.size(), 180u);
        record[0] = uint8_t(count), record[1] = uint8_t(count >> 8);
        for (unsigned i = 0; i < count; ++i) {
            const Json::Value& e = events[i];
            const int delay = e["Delay"].asInt();
            record.push_back(uint8_t(delay));
            record.push_back(uint8_t(delay >> 8));
            record.push_back(uint8_t((e["Type"].asInt() & 0x7F) | (e["Action"].asString() == "down" ? 0x80 : 0)));
            record.push_back(uint8_t(e["Button"].asInt()));
        }
        records.push_back(record);
    }
    std::vector<uint8_t> image(24, 0);
    image[0] = 0xAA, image[1] = 0x55, image[4] = 4;
    for (int gun = 0; gun < 4; ++gun) {
        const size_t offset = image.size();
        image[16 + 2 * gun] = uint8_t(offset), image[17 + 2 * gun] = uint8_t(offset >> 8);
        image.insert(image.end(), records[size_t(gun)].begin(), records[size_t(gun)].end());
    }
    image[2] = uint8_t(image.size()), image[3] = uint8_t(image.size() >> 8);
    return image;
}

class RoutingShootTest : public vxtest::PageTest, public testing::WithParamInterface<RigModel> {
protected:
    void SetUp() override {
        PageTest::SetUp();
        CResourceManager& resources = CResourceManager::GetInstance();
        resources.SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(resources.LoadResource());
        resources.LoadLanguage(QStringLiteral("lan_en.xml"));
        router = std::make_unique<CControlRouter>(host);
    }

    void TearDown() override {
        if (mouse) {
            mouse->StopLightingThread();
            Disconnect(*mouse);
        }
        router.reset();
        mouse.reset();
        PageTest::TearDown();
    }

    RigModel Model() const { return GetParam(); }

    // The page as the main window builds it, connected, with its panels in place.
    void BuildMouse() {
        if (mouse) {
            mouse->StopLightingThread();
            Disconnect(*mouse);
        }
        mouse = std::make_unique<CTavimondMouseDevice>();
        SetUpPage(*mouse, "mouse", 11, 15, 1, kTypeMouse, kMouseLayout);
        ASSERT_NE(mouse->GetPage(), nullptr);
        ASSERT_TRUE(Connect(*mouse, Model(), Model() == RigModel::MouseReceiver));
        mouse->OnConnected();
        mouse->StopLightingThread();
        CPagePanels::Connect(*mouse, nullptr);
        panel = CPagePanels::ShootPanelOf(mouse.get());
        ASSERT_NE(panel, nullptr);
        host.current = mouse.get();
    }

    fs::path Folder() const { return m_user / "mouse"; }
    fs::path GunFile(int gun) const { return Folder() / ("ShootData_" + std::to_string(gun) + ".Shoot"); }
    fs::path FactoryFile(int gun) const {
        return m_install / "DefaultData" / ("ShootData_" + std::to_string(gun) + ".Shoot");
    }

    QWidget* Find(const char* name) {
        return CPaintManagerUI::FindSubControlByName(mouse->GetPage(), QString::fromLatin1(name));
    }
    void Send(const char* name, const QString& type) {
        QWidget* sender = Find(name);
        ASSERT_NE(sender, nullptr) << name;
        TNotifyUI msg{type, sender, 0, 0};
        router->Notify(msg);
    }
    // What a user's click on an option does before the window hears of it.
    void Choose(const char* name, bool on = true) {
        auto* option = qobject_cast<COptionUI*>(Find(name));
        ASSERT_NE(option, nullptr) << name;
        option->Selected(on);
        Send(name, notify::kSelectChanged);
    }
    void Type(const char* name, const QString& text) {
        ui::SetText(Find(name), text);
        Send(name, notify::kKillFocus);
    }
    QString Text(const char* name) { return ui::GetText(Find(name)); }

    std::vector<uint8_t> Upload() {
        m_rig->ClearReceived(Model());
        Send("shootdate_save_btn", notify::kClick);
        return m_rig->ValidShootImage(Model());
    }
    size_t ShootFrames() {
        const auto commands = m_rig->ReceivedCommands(Model());
        return size_t(std::count(commands.begin(), commands.end(), uint8_t(0x17)));
    }

    ShootHost host;
    std::unique_ptr<CControlRouter> router;
    std::unique_ptr<CTavimondMouseDevice> mouse;
    CShootControlUI* panel = nullptr;
};

TEST_P(RoutingShootTest, FactoryGunsAndAnEditedBulletReachTheMouseByteForByte) {
    BuildMouse();
    for (int gun = 0; gun < 4; ++gun) {
        ASSERT_TRUE(fs::exists(GunFile(gun))) << gun;
        EXPECT_EQ(vxtest::ReadFile(GunFile(gun)), vxtest::ReadFile(FactoryFile(gun))) << gun;
    }
    EXPECT_EQ(Text("bullet_select_index"), "1");

    // Four guns of 30 bullets: 2920 bytes, in 56-byte frames whatever the link.
    const std::vector<uint8_t> factory = Upload();
    ASSERT_EQ(factory.size(), 2920u);
    EXPECT_EQ(factory, ExpectedImage(Folder()));
    EXPECT_EQ(ShootFrames(), (2920u + 55) / 56);
    EXPECT_TRUE(host.notices.empty());

    // Gun 2, bullet 3, pulled left by 3 and up by 12, 90 ms.
    Choose("shoot_gun_op_1");
    Choose("bullet_op_2");
    EXPECT_EQ(Text("bullet_select_index"), "3");
    Choose("bullet_x_check");
    EXPECT_EQ(ui::GetTextKey(Find("bullet_x_check")), "mouse_move_to_left_text");
    Type("bullet_x_eidt", "3");
    Type("bullet_y_eidt", "12");
    Type("bullet_delay_eidt", "90");
    const Json::Value events = JsonFile().ReadJson(GunFile(1))["Events"];
    ASSERT_EQ(events.size(), 180u);
    const char* expected[6][4] = {{"down", "1", "10", "1"}, {"up", "1", "0", "1"},  {"down", "3", "5", "4"},
                                  {"up", "12", "90", "5"},  {"down", "0", "0", "4"}, {"up", "0", "0", "5"}};
    for (int i = 0; i < 6; ++i) {
        const Json::Value& e = events[Json::ArrayIndex(12 + i)];
        EXPECT_EQ(e["Action"].asString(), expected[i][0]) << 12 + i;
        EXPECT_EQ(std::to_string(e["Button"].asInt()), expected[i][1]) << 12 + i;
        EXPECT_EQ(std::to_string(e["Delay"].asInt()), expected[i][2]) << 12 + i;
        EXPECT_EQ(std::to_string(e["Type"].asInt()), expected[i][3]) << 12 + i;
        EXPECT_TRUE(e["Delay"].isInt()) << "written as a number";
    }
    // The other guns are untouched.
    EXPECT_EQ(vxtest::ReadFile(GunFile(0)), vxtest::ReadFile(FactoryFile(0)));

    const std::vector<uint8_t> edited = Upload();
    EXPECT_EQ(edited, ExpectedImage(Folder()));
    EXPECT_NE(edited, factory);
    // Gun 2's record starts after gun 1's 180 events; bullet 3's vertical move is its event 15.
    const size_t gun1 = size_t(edited[18]) | size_t(edited[19]) << 8;
    const size_t move = gun1 + 4 + 15 * 4;
    EXPECT_EQ(std::vector<uint8_t>(edited.begin() + long(move), edited.begin() + long(move) + 4),
              (std::vector<uint8_t>{90, 0, 0x05, 12}));

    // Rechoosing the bullet shows what was stored.
    Choose("bullet_op_0");
    Choose("bullet_op_2");
    EXPECT_EQ(Text("bullet_x_eidt"), "3");
    EXPECT_EQ(Text("bullet_y_eidt"), "12");
    EXPECT_EQ(Text("bullet_delay_eidt"), "90");
    EXPECT_TRUE(qobject_cast<COptionUI*>(Find("bullet_x_check"))->IsSelected());
    EXPECT_FALSE(qobject_cast<COptionUI*>(Find("bullet_y_check"))->IsSelected());
}

TEST_P(RoutingShootTest, HostileFilesAreRefusedOrClamped) {
    BuildMouse();
    Choose("shoot_gun_op_3");
    const std::string before = vxtest::ReadFile(GunFile(3));

    // Refused, the gun file unchanged: too large, not JSON, not an object, missing.
    const fs::path big = m_root / "big.shoot";
    vxtest::WriteFile(big, "{\"Events\":[]}" + std::string(2 * 1024 * 1024, ' '));
    const fs::path text = m_root / "text.shoot";
    vxtest::WriteFile(text, "MZ\x90 not a shoot file");
    const fs::path list = m_root / "list.shoot";
    vxtest::WriteFile(list, "[1,2,3]");
    for (const fs::path& source : {big, text, list, m_root / "missing.shoot"}) {
        host.notices.clear();
        host.dialogAnswer = QString::fromStdString(source.string());
        Send("shootdate_import_btn", notify::kClick);
        EXPECT_EQ(host.notices, std::vector<std::string>{"shoot_import_refused"}) << source;
        EXPECT_EQ(vxtest::ReadFile(GunFile(3)), before) << source;
    }
    EXPECT_EQ(host.dialogs.back(), "open Shoot Files(*.shoot) *.shoot;");
    // A cancelled dialog does nothing.
    host.notices.clear();
    host.dialogAnswer.clear();
    Send("shootdate_import_btn", notify::kClick);
    EXPECT_TRUE(host.notices.empty());

    // Taken, then held to what the mouse keeps: absurd values and thousands of events.
    std::string events = R"({"Action":"down","Button":1,"Delay":10,"Type":1},)"
                         R"({"Action":"up","Button":1,"Delay":0,"Type":1},)"
                         R"({"Action":"DOWN","Button":4000,"Delay":5,"Type":4},)"
                         R"({"Action":"up","Button":-3,"Delay":900000,"Type":5})";
    for (int i = 0; i < 5000; ++i) events += R"(,{"Action":"up","Button":1,"Delay":1,"Type":5})";
    const fs::path wild = m_root / "wild.shoot";
    vxtest::WriteFile(wild, "{\"Events\":[" + events + "]}");
    host.dialogAnswer = QString::fromStdString(wild.string());
    Send("shootdate_import_btn", notify::kClick);
    EXPECT_TRUE(host.notices.empty());
    EXPECT_EQ(vxtest::ReadFile(GunFile(3)), vxtest::ReadFile(wild));
    // The imported bullet shows as the file has it; the mouse gets it clamped.
    EXPECT_TRUE(qobject_cast<COptionUI*>(Find("bullet_x_check"))->IsSelected());
    EXPECT_EQ(Text("bullet_x_eidt"), "4000");
    const std::vector<uint8_t> image = Upload();
    ASSERT_FALSE(image.empty());
    const size_t gun3 = size_t(image[22]) | size_t(image[23]) << 8;
    EXPECT_EQ(image[gun3], 180);  // 30 bullets' events, no more
    EXPECT_EQ(image[gun3 + 1], 0);
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + long(gun3 + 4 + 8), image.begin() + long(gun3 + 4 + 16)),
              (std::vector<uint8_t>{5, 0, 0x84, 255, 0xFF, 0xFF, 0x05, 0}));
    EXPECT_EQ(image.size(), 2920u);

    // Saving the bullet holds the typed values to the mouse's limits and shows them so.
    Type("bullet_x_eidt", "300");
    Type("bullet_y_eidt", "-7");
    Type("bullet_delay_eidt", "99999");
    EXPECT_EQ(Text("bullet_x_eidt"), "255");
    EXPECT_EQ(Text("bullet_y_eidt"), "0");
    EXPECT_EQ(Text("bullet_delay_eidt"), "65535");
    const Json::Value saved = JsonFile().ReadJson(GunFile(3))["Events"];
    EXPECT_EQ(saved[2]["Button"].asInt(), 255);
    EXPECT_EQ(saved[3]["Button"].asInt(), 0);
    EXPECT_EQ(saved[3]["Delay"].asInt(), 65535);
    EXPECT_EQ(saved.size(), 5004u) << "the rest of the file stays as it was";

    // Export and import of the same file leave the gun as it was; the export is an exact copy.
    const fs::path exported = m_root / "out" / "gun.shoot";
    fs::create_directories(exported.parent_path());
    host.dialogAnswer = QString::fromStdString(exported.string());
    Send("shootdate_export_btn", notify::kClick);
    EXPECT_EQ(host.dialogs.back(), "save Shoot Files(*.shoot) *.shoot;");
    EXPECT_EQ(vxtest::ReadFile(exported), vxtest::ReadFile(GunFile(3)));
    const std::string kept = vxtest::ReadFile(GunFile(3));
    Send("shootdate_import_btn", notify::kClick);
    EXPECT_EQ(vxtest::ReadFile(GunFile(3)), kept);
    // Nothing else appeared in the mouse's folder (no stray temporary files).
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Folder()))
        files += entry.path().extension() == ".Shoot" || entry.path().filename().string().front() == '.';
    EXPECT_EQ(files, 4u);

    // Reset brings the factory gun back.
    Send("shootdate_reset_btn", notify::kClick);
    EXPECT_EQ(vxtest::ReadFile(GunFile(3)), vxtest::ReadFile(FactoryFile(3)));
}

TEST_P(RoutingShootTest, MissingGunFilesComeBackFromTheFactoryOrEmpty) {
    BuildMouse();
    Choose("bullet_op_0");
    // Limits of the bullet choice.
    Send("bullet_selected_prev", notify::kClick);
    EXPECT_EQ(Text("bullet_select_index"), "1");
    panel->SelectBullet(35);
    EXPECT_EQ(Text("bullet_select_index"), "30");
    Send("bullet_selected_next", notify::kClick);
    EXPECT_EQ(Text("bullet_select_index"), "30");

    // A direction toggled and another bullet chosen without an edit stores nothing.
    const std::string before = vxtest::ReadFile(GunFile(0));
    Choose("bullet_y_check", !qobject_cast<COptionUI*>(Find("bullet_y_check"))->IsSelected());
    Choose("bullet_op_4");
    EXPECT_EQ(vxtest::ReadFile(GunFile(0)), before);

    fs::remove(GunFile(2));
    vxtest::WriteFile(GunFile(1), "garbage");
    BuildMouse();
    EXPECT_EQ(vxtest::ReadFile(GunFile(2)), vxtest::ReadFile(FactoryFile(2)));
    EXPECT_EQ(vxtest::ReadFile(GunFile(1)), vxtest::ReadFile(FactoryFile(1)));

    // Without the factory copy the gun file is empty and its bullets show 0, right and down.
    fs::remove(GunFile(0));
    fs::remove(FactoryFile(0));
    BuildMouse();
    ASSERT_TRUE(fs::exists(GunFile(0)));
    EXPECT_EQ(fs::file_size(GunFile(0)), 0u);
    EXPECT_EQ(Text("bullet_x_eidt"), "0");
    EXPECT_EQ(ui::GetTextKey(Find("bullet_x_check")), "mouse_move_to_right_text");
    EXPECT_EQ(ui::GetTextKey(Find("bullet_y_check")), "mouse_move_to_down_text");
    // An empty gun makes an image that still fits and goes out.
    EXPECT_FALSE(Upload().empty());
    EXPECT_TRUE(host.notices.empty());

    // A mouse that has gone: the user is told, and the files stay as they are.
    const std::string kept = vxtest::ReadFile(GunFile(1));
    Disconnect(*mouse);
    Send("shootdate_save_btn", notify::kClick);
    EXPECT_EQ(host.notices, std::vector<std::string>{"shoot_upload_failed"});
    EXPECT_EQ(vxtest::ReadFile(GunFile(1)), kept);
}

INSTANTIATE_TEST_SUITE_P(Links, RoutingShootTest, testing::Values(RigModel::MouseWired, RigModel::MouseReceiver),
                         [](const testing::TestParamInfo<RigModel>& info) {
                             return info.param == RigModel::MouseWired ? std::string("Cable") : std::string("Receiver");
                         });

}  // namespace
