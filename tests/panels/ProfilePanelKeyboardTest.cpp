// The profile panel on a keyboard page connected to the virtual keyboard: choosing another profile
// loads it into the page and writes its settings block and key table to the keyboard.
#include "BuildPaths.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <filesystem>

#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// The page header needs the widget classes above.
#include "app/ControlRegistry.h"
#include "app/ControlRouter.h"
#include "devices/tables/KeyboardFactoryKeys.h"
#include "devices/TavimondKeyboardDevice.h"
#include "panels/DeviceProfileUI.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "support/QtTestEnv.h"
#include "tests/journeys/support/JourneyDevices.h"
#include "widgets/ComboUI.h"
#include "widgets/ResourceManager.h"

using journeys::Device;
using journeys::JourneyDevices;
using vx::device_tables::IsKeyboardKeyListed;
using vx::device_tables::KeyboardFactoryKeys;
using vx::link::DeviceLink;
using vx::link::kLinkModeWired;
using vx::profiles::DefaultDataFolder;
using vx::profiles::DeviceDataFolder;
using vx::profiles::JsonFile;
using vx::profiles::SetInstallFolderOverride;
using vx::profiles::SetUserDataFolderOverride;

namespace fs = std::filesystem;
using vx::app::CControlRegistry;
using vx::app::CControlRouter;
using vx::app::RouteOwner;
using vx::app::RouteRow;
using vx::devices::CTavimondKeyboardDevice;
using vx::panels::CDeviceProfileUI;
using vx::widgets::CComboUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;

namespace {

// Mode index -> device code, as the light-name file gives them.
constexpr int kModeCodes[] = {0x00, 0x05, 0x09};
// A key function no factory key has (type 0x20, modifiers 0x0F, usage 0x77), so that it can be
// found in the device's key table.
constexpr uint8_t kRemapped[3] = {0x20, 0x0F, 0x77};
constexpr int kRemappedCode = 0x200F77;
// The collection of the keyboard's command channel.
constexpr int kCommandCollection = 4;

Json::Value FactoryKeyboardProfile() {
    Json::Value node;
    node["LightInfo"]["SelectItem"] = 1;
    node["LightInfo"]["Light"] = 4;
    node["LightInfo"]["Speed"] = 1;
    node["LightInfo"]["Red"] = 200;
    node["LightInfo"]["Green"] = 10;
    node["LightInfo"]["Blue"] = 30;
    Json::ArrayIndex i = 0;
    for (const vx::device_tables::KeyFunction& f : KeyboardFactoryKeys()) {
        // Profile code of a key function: type << 16 | first << 8 | second.
        const int code = (f.type << 16) | (f.first << 8) | f.second;
        node["KeyList"][i]["Assignment"] = code;
        node["KeyList"][i]["DefaultAssignment"] = code;
        ++i;
    }
    Json::Value document;
    document["profilename"] = "factory";
    document["profileUUID"] = "factory";
    document["Device"].append(node);
    return document;
}

Json::Value DefaultLightNames() {
    Json::Value modes(Json::arrayValue);
    for (int code : kModeCodes) {
        Json::Value mode;
        mode["LightName"] = "mode";
        mode["visible"] = true;
        mode["value"] = code;
        modes.append(mode);
    }
    Json::Value document;
    document["DefaultLightName"].append(modes);
    return document;
}

bool HoldsRemappedRecord(const std::vector<uint8_t>& table) {
    for (size_t i = 0; i + 2 < table.size(); i += 3) {
        if (table[i] == kRemapped[0] && table[i + 1] == kRemapped[1] && table[i + 2] == kRemapped[2])
            return true;
    }
    return false;
}

// Says yes to every question.
class YesPrompts : public vx::panels::IProfilePanelPrompts {
public:
    QString OpenProfileFile(QWidget*, const QString&) override { return {}; }
    QString SaveProfileFile(QWidget*, const QString&) override { return {}; }
    int Ask(QWidget*, const QString&) override { return 1; }
    void Tell(QWidget*, const QString& text, bool) override { told.push_back(text.toStdString()); }
    std::vector<std::string> told;
};

class ProfilePanelKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        CControlRegistry::RegisterControlClasses();
        CResourceManager::GetInstance().SetResourcePath(vxtest::RepoSkinDir());
        ASSERT_TRUE(CResourceManager::GetInstance().LoadResource());
        std::string pattern = (fs::temp_directory_path() / "vx-profilekb-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        fs::create_directories(m_root / "install" / "DefaultData");
        SetInstallFolderOverride(m_root / "install");
        SetUserDataFolderOverride(m_root / "user");
        m_file.WriteJson(DefaultDataFolder() / "keyboard.Json", FactoryKeyboardProfile());
        m_file.WriteJson(DefaultDataFolder() / "default_light.json", DefaultLightNames());

        m_keyboard = std::make_unique<JourneyDevices>((m_root / "hid").string());
        ASSERT_EQ(m_keyboard->Plug(Device::KeyboardWired), 1);
        m_page = std::make_unique<CTavimondKeyboardDevice>();
        m_page->SetKindName("keyboard");
        m_page->SetLightTableIndex(0);
        m_page->SetLayoutPath(QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml"));
        m_page->Initialise();
        ASSERT_NE(m_page->GetPage(), nullptr);

        m_panel = CDeviceProfileUI::ConnectPageItem(*m_page, 1);
        ASSERT_NE(m_panel, nullptr);
        m_panel->SetPrompts(&m_prompts);

        DeviceLink& link = m_page->CommandLink();
        {
            std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
            ASSERT_TRUE(link.WiredLink().Open(m_keyboard->LinkPath(Device::KeyboardWired, kCommandCollection), true, true, true, false));
        }
        link.SetConnected(true);
        link.SetLinkMode(kLinkModeWired);
        m_page->OnConnected();
    }

    void TearDown() override {
        if (m_page) {
            m_page->StopLightingThread();
            DeviceLink& link = m_page->CommandLink();
            link.SetConnected(false);
            std::lock_guard<std::recursive_mutex> lock(link.TransferLock());
            link.WiredLink().Close();
        }
        m_page.reset();
        m_keyboard.reset();
        SetInstallFolderOverride({});
        SetUserDataFolderOverride({});
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    fs::path ProfilePath(int position) const {
        return DeviceDataFolder("keyboard") / (m_panel->List().Entries().at(position).identifier + ".Json");
    }
    void Edit(int position, int mode, int speed, int red, bool remapKey) {
        Json::Value profile = m_file.ReadJson(ProfilePath(position));
        Json::Value& node = profile["Device"][0];
        node["LightInfo"]["SelectItem"] = mode;
        node["LightInfo"]["Speed"] = speed;
        node["LightInfo"]["Red"] = red;
        if (remapKey) node["KeyList"][m_remappedKey]["Assignment"] = kRemappedCode;
        m_file.WriteJson(ProfilePath(position), profile);
    }
    std::vector<uint8_t> Block() { return m_keyboard->ConfigBlock(Device::KeyboardWired, 0); }
    std::vector<uint8_t> KeyTable() { return m_keyboard->KeyTable(Device::KeyboardWired); }
    void Click(const char* name) {
        TNotifyUI msg;
        msg.sType = notify::kClick;
        msg.pSender = CPaintManagerUI::FindSubControlByName(m_panel, name);
        ASSERT_NE(msg.pSender, nullptr) << name;
        int index = -1;
        const RouteRow* row = CControlRouter::Resolve(msg.sType, msg.pSender->objectName(), index);
        ASSERT_TRUE(row != nullptr && row->owner == RouteOwner::ProfilePanel) << name;
        row->call(m_panel, CControlRouter::MakeEvent(msg, index, row));
    }
    void Choose(int position) {
        m_panel->findChild<CComboUI*>("device_profile_combo")->SelectItem(position);
        m_panel->RunDelayedSelect();
    }

    fs::path m_root;
    JsonFile m_file;
    std::unique_ptr<JourneyDevices> m_keyboard;
    std::unique_ptr<CTavimondKeyboardDevice> m_page;
    CDeviceProfileUI* m_panel = nullptr;  // owned by the page
    YesPrompts m_prompts;
    Json::ArrayIndex m_remappedKey = 4;
};

}  // namespace

TEST_F(ProfilePanelKeyboardTest, SwitchingProfilesReloadsThePageAndWritesTheKeyboard) {
    ASSERT_TRUE(IsKeyboardKeyListed(m_remappedKey));
    EXPECT_FALSE(HoldsRemappedRecord(KeyTable()));
    EXPECT_EQ(m_page->GetProfileId(), m_panel->GetSelectedIdentifier());
    ASSERT_GE(m_panel->CopyProfile(), 0);
    Edit(0, 1, 1, 200, false);
    Edit(1, 2, 3, 17, true);

    Choose(1);
    EXPECT_EQ(m_page->GetProfileId(), m_panel->List().Entries()[1].identifier);
    EXPECT_EQ(m_page->GetLightInfo().selectItem, 2);
    EXPECT_EQ(m_page->GetLightInfo().red, 17);
    std::vector<uint8_t> block = Block();
    ASSERT_GE(block.size(), 9u);
    EXPECT_EQ(block[1], kModeCodes[2]);
    EXPECT_EQ(block[3], 4 - 3);
    EXPECT_EQ(block[6], 17);
    EXPECT_TRUE(HoldsRemappedRecord(KeyTable()));

    Choose(0);
    EXPECT_EQ(m_page->GetLightInfo().selectItem, 1);
    block = Block();
    EXPECT_EQ(block[1], kModeCodes[1]);
    EXPECT_EQ(block[3], 4 - 1);
    EXPECT_EQ(block[6], 200);
    EXPECT_FALSE(HoldsRemappedRecord(KeyTable()));
}

TEST_F(ProfilePanelKeyboardTest, ResetAndDeleteLeaveThePageOnAProfileThatExists) {
    ASSERT_GE(m_panel->CopyProfile(), 0);
    Choose(1);
    Edit(1, 2, 0, 99, false);
    m_page->LoadProfile();
    ASSERT_EQ(m_page->GetLightInfo().red, 99);

    // Reset rewrites the file from the factory profile; the page reloads it and sends it.
    Click("device_reset_btn");
    EXPECT_EQ(m_page->GetLightInfo().red, 200);
    EXPECT_EQ(Block()[6], 200);
    EXPECT_EQ(m_file.ReadJson(ProfilePath(1))["Device"][0]["LightInfo"]["Red"].asInt(), 200);

    // Deleting the loaded profile moves the page to the one before it; its saves no longer go to
    // the removed file.
    const fs::path removed = ProfilePath(1);
    Click("device_sub_btn");
    EXPECT_EQ(m_page->GetProfileId(), m_panel->List().Entries()[0].identifier);
    m_page->SaveProfile();
    EXPECT_FALSE(fs::exists(removed));
    EXPECT_TRUE(m_prompts.told.empty());
}

TEST_F(ProfilePanelKeyboardTest, ThePanelFillsThePagesProfileColumn) {
    QWidget* page = m_page->GetPage();
    QWidget* item = CPaintManagerUI::FindSubControlByName(page, CDeviceProfileUI::kPageItemName);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isAncestorOf(m_panel));
    CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
    QFile style(vxtest::RepoSkinDir() + QStringLiteral("/style.qss"));
    ASSERT_TRUE(style.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
    CPaintManagerUI manager;
    manager.AttachRoot(page);
    page->resize(800, 470);
    page->show();
    vxtest::Pump(50);

    // Everything the user works with lies inside the column, with the menu closed and open.
    const auto inside = [&](const char* name) {
        QWidget* control = CPaintManagerUI::FindSubControlByName(m_panel, name);
        if (!control || !control->isVisible()) return false;
        const QRect rect(control->mapTo(item, QPoint(0, 0)), control->size());
        return item->rect().contains(rect);
    };
    for (const char* name : {"device_profile_combo", "profile_fun_spread_btn", "deng_Op_tab", "key_Op_tab",
                             "macro_Op_tab", "system_Op_tab"}) {
        EXPECT_TRUE(inside(name)) << name;
    }
    EXPECT_FALSE(CPaintManagerUI::FindSubControlByName(m_panel, "cursor_Op_tab")->isVisible());
    const fs::path shots = fs::path(VX_BINARY_DIR) / "screenshots";
    EXPECT_TRUE(
        vxtest::RenderToPng(page, QString::fromStdString((shots / "keyboard_page_profile.png").string())));

    Click("profile_fun_spread_btn");
    vxtest::Pump(50);
    for (const char* name :
         {"device_profile_name_edit", "device_profile_edit_save_btn", "device_add_btn", "device_copy_btn",
          "device_sub_btn", "device_import_btn", "device_export_btn", "device_reset_btn"}) {
        EXPECT_TRUE(inside(name)) << name;
    }
    EXPECT_TRUE(vxtest::RenderToPng(
        page, QString::fromStdString((shots / "keyboard_page_profile_menu.png").string())));
    qApp->setStyleSheet(QString());
}
