#include "devices/TavimondMousePadDevice.h"

#include <QWidget>
#include <algorithm>
#include <filesystem>

#include "devices/lighting/MousePadLightingEngine.h"
#include "link/SettingsBlocks.h"
#include "link/StatusRecord.h"
#include "profiles/DataFolders.h"
#include "profiles/LightNameTables.h"
#include "profiles/MacroFiles.h"
#include "profiles/StringUtil.h"
#include "widgets/PaintManagerUI.h"

using vx::widgets::CPaintManagerUI;

namespace vx::devices {

using vx::link::kLinkOk;

using vx::link::BuildPadBlock;
using vx::link::DeviceInfo;
using vx::link::ParsePadBlock;
using vx::link::StatusRecord;
using vx::link::kLinkNoReply;
using vx::profiles::DefaultDataFolder;
using vx::profiles::DefaultProfilePath;
using vx::profiles::DeviceDataFolder;
using vx::profiles::LightNameTables;
using vx::profiles::MacroFiles;
using vx::profiles::MacroListEntry;
using vx::profiles::Utf8ToWide;
using vx::profiles::kReadOnlyMacroListFile;

namespace {
constexpr const char* kFolderName = "MousePad";
}  // namespace

CTavimondMousePadDevice::CTavimondMousePadDevice()
    : CTavimondUSBDevice(std::make_unique<vx::lighting::MousePadLightingEngine>(kLeds)) {
    SetProtocol(std::make_unique<MousePadProtocol>(m_commandLink));
}

CTavimondMousePadDevice::~CTavimondMousePadDevice() {
    StopDeviceWork();
    StopLightingThread();
}

std::string CTavimondMousePadDevice::DeviceFolderText() const {
    return DeviceDataFolder(m_kindName.empty() ? kFolderName : m_kindName).string();
}

void CTavimondMousePadDevice::Initialise() {
    RegisterForNotifications();
    BuildPage();
}

void CTavimondMousePadDevice::BuildPage() {
    if (m_layoutPath.isEmpty()) {
        CTavimondUSBDevice::Initialise();
        return;
    }
    if (!BuildLayout()) return;
    m_pictureContainer = CPaintManagerUI::FindSubControlByName(m_page, "mousepad_device_key_light");
    BindKeyButtons(m_pictureContainer ? m_pictureContainer.data() : m_page.data());
    m_profilePanel = CPaintManagerUI::FindSubControlByName(m_page, "DeviceProfileItem");
    m_lightPanel = CPaintManagerUI::FindSubControlByName(m_page, "LightControlItem");
}

// ---- profile ----

void CTavimondMousePadDevice::LoadProfileFile() {
    const std::filesystem::path folder = DeviceFolderText();
    m_profile.SetDefaultPath(DefaultProfilePath(m_kindName.empty() ? kFolderName : m_kindName));
    m_profile.SetProfilePath(ProfilePathText());
    const std::string prefix = m_lightNamePrefix.empty() ? std::string("qorin_light") : m_lightNamePrefix;
    m_profile.SetLightConfigPath(folder / (prefix + ".config"));
}

int CTavimondMousePadDevice::LoadProfile() {
    LoadProfileFile();
    const Json::Value node = m_profile.LoadProfile(m_profile.GetProfilePath());
    m_profile.LoadLightConfig(m_profile.GetLightConfigPath());
    LoadLightingState();
    return node.isNull() ? 0 : 1;
}

std::u16string CTavimondMousePadDevice::GetProfileName() {
    return Utf8ToWide(m_profile.GetProfilePath().string());
}

void CTavimondMousePadDevice::ResetToProfile() {
    m_profile.LoadProfile(m_profile.GetDefaultPath());
    LoadLightingState();
    SaveProfile();
    RefreshPage();
}

void CTavimondMousePadDevice::SetLightTableIndex(int index) {
    CTavimondUSBDevice::SetLightTableIndex(index);
    m_profile.SetLightTableIndex(index);
    m_profile.SetDeviceIndex(0);
}

void CTavimondMousePadDevice::SetLightInfo(const LightInfo& info) {
    CTavimondUSBDevice::SetLightInfo(info);
    m_profile.SetLightInfo(info);
    MousePadProtocol::PutLight(info, m_record);
}

int CTavimondMousePadDevice::LoadLightingState() {
    const LightInfo info = m_profile.GetLightInfo();
    const auto list = m_profile.GetLightList();
    const auto steps = m_profile.GetCustomLightSteps();
    Engine().LoadLightingState(info, list.data(), list.size(), steps.data(), steps.size());
    MousePadProtocol::PutLight(info, m_record);
    return 1;
}

void CTavimondMousePadDevice::LoadPageLists() {
    // The mousepad has no macros of its own; its names come from the read-only list.
    MacroFiles macros{std::filesystem::path(DeviceFolderText()), kReadOnlyMacroListFile};
    m_macroNames.clear();
    for (const MacroListEntry& entry : macros.LoadList()) m_macroNames.push_back(entry.name);
    LightNameTables names;
    names.LoadDefaultLightNames(DefaultDataFolder() / "default_light.json", m_lightTableIndex);
    names.LoadCustomLightNames(m_profile.GetLightConfigPath(), m_lightTableIndex);
    m_modeCodes = names.ModeCodes();
}

// ---- device ----

void CTavimondMousePadDevice::OnConnected() {
    Pad().ReadCapabilityInSession();
    LoadProfile();
    RefreshPage();
    StartLightingThread();
}

int CTavimondMousePadDevice::RefreshFromDevice() {
    BeforeReread();
    std::vector<uint8_t> raw;
    if (!FetchReread(&raw)) return 0;
    ApplyReread(raw);
    return 1;
}

void CTavimondMousePadDevice::BeforeReread() {
    m_commandLink.SetHeld(false);
    m_recordAside = m_record;
}

bool CTavimondMousePadDevice::FetchReread(std::vector<uint8_t>* raw) {
    return Pad().ReadSettings(raw) == kLinkOk;
}

void CTavimondMousePadDevice::ApplyReread(const std::vector<uint8_t>& raw) {
    m_record = MousePadProtocol::RecordFromBlock(raw, m_modeCodes);
    SendToOwner(kMsgActiveProfile, raw.empty() ? 0 : raw[0]);
}

int CTavimondMousePadDevice::WriteSettings(int, int, int, int, int) {
    return Pad().WriteSettings(m_record, m_modeCodes);
}

bool CTavimondMousePadDevice::FetchPower(StatusRecord* record) {
    if (m_powerReadHold.load()) return false;
    return Pad().ReadPowerStatus(record);
}

void CTavimondMousePadDevice::ShowPower(const StatusRecord& record) {
    ShowPowerStatus(record.Bytes());
}

void CTavimondMousePadDevice::RefreshPage() {
    LoadPageLists();
    ShowLightRecords(false);
}

void CTavimondMousePadDevice::HandleNotifyEvent(uint16_t code, bool wireless) {
    if (code == kEventReread && !wireless) RequestReread(kRereadDelaySlowMs);
}

}  // namespace vx::devices
