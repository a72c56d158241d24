#include "headset/page/TavimondRU6533Device.h"

#include <QLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>

#include "headset/page/HeadsetPanels.h"
#include "link/StatusRecord.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/LightNameTables.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/MsgWnd.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"

using vx::link::StatusRecord;
using vx::link::kLinkOk;
using vx::platform::DebugLog;
using vx::profiles::DefaultDataFolder;
using vx::profiles::DefaultProfilePath;
using vx::profiles::DeviceDataFolder;
using vx::profiles::LightNameTables;
using vx::profiles::Utf8ToWide;
using vx::devices::CTavimondUSBDevice;
using vx::devices::DeviceWorker;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CDialogBuilder;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CTabLayoutUI;
using vx::widgets::ControlEvent;
using vx::widgets::IDialogBuilderCallback;
using vx::widgets::ShowMessageBox;
using vx::widgets::TNotifyUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;

namespace vx::headset {

namespace {

constexpr uint16_t kEventReread = 0x401;
constexpr const char* kFolderName = "HD";
constexpr int kDeviceKind = 7;
constexpr int kStatusByte = 4;

const QString kVoiceLayout = QStringLiteral("XML\\CustomControlXML\\Voice6533Control.xml");
const QString kEffectLayout = QStringLiteral("XML\\CustomControlXML\\MagicControl.xml");
const QString kSurroundLayout = QStringLiteral("XML\\CustomControlXML\\VirtualSet.xml");

// The profile panel's tab options and the page of the function switch each one opens.
struct FeatureTab {
    const char* name;
    int page;
};
constexpr FeatureTab kFeatureTabs[] = {
    {"deng_Op_tab", CTavimondRU6533Device::kLightingPage},
    {"6533_voice_Op_tab", CTavimondRU6533Device::kVoicePage},
    {"magic_Op_tab", CTavimondRU6533Device::kVoiceEffectPage},
    {"Virtual7.1_Op_tab", CTavimondRU6533Device::kSurroundPage},
};

// Builds a panel layout into its placeholder on the page (once) and returns the panel of class
// T, or null when the placeholder is missing or the layout cannot be built.
template <class T>
T* PlacePanel(QWidget* page, const QString& itemName, const QString& layout, IDialogBuilderCallback* callback) {
    QWidget* item = CPaintManagerUI::FindSubControlByName(page, itemName);
    if (item == nullptr) return nullptr;
    T* made = qobject_cast<T*>(item);
    if (made == nullptr) made = item->findChild<T*>();
    // Made by the page's layout through the registry's element names.
    if (made != nullptr) {
        COptionUI::SetGroupScope(made);
        return made;
    }
    T::RegisterControlClass();
    QWidget* root = CDialogBuilder::Create(layout, callback, item);
    auto* panel = qobject_cast<T*>(root);
    if (panel == nullptr) {
        DebugLog("headset panel not built: " + CDialogBuilder::LastError().toStdString());
        delete root;
        return nullptr;
    }
    for (QWidget* child : item->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child != panel) child->hide();
    }
    QLayout* box = item->layout();
    if (box == nullptr) {
        box = new QVBoxLayout(item);
        box->setContentsMargins(0, 0, 0, 0);
    }
    box->addWidget(panel);
    COptionUI::SetGroupScope(panel);
    return panel;
}

}  // namespace

CTavimondRU6533Device::CTavimondRU6533Device()
    : CTavimondUSBDevice(std::make_unique<vx::lighting::HeadsetLightingEngine>(kLeds)),
      m_audioLibrary(this) {
    // The headset's settings record has the mousepad's form: 21 bytes at a 64-byte stride.
    SetProtocol(std::make_unique<vx::devices::MousePadProtocol>(m_commandLink));
}

CTavimondRU6533Device::~CTavimondRU6533Device() {
    StopDeviceWork();
    StopLightingThread();
}

void CTavimondRU6533Device::ShowAudioMessage(std::string_view text) {
    DebugLog(std::string(text));
    ShowMessageBox(m_page.data(), QString(), QString::fromUtf8(text.data(), static_cast<int>(text.size())), 96,
                   false, 0);
}

void CTavimondRU6533Device::Initialise() {
    RegisterForNotifications();
    BuildPage();
    if (!m_audioProgramFolder.empty() && !m_audioLibrary.IsLoaded())
        m_audioLibrary.LoadAudioLibraryBeside(m_audioProgramFolder, m_audioChoice);
    m_audio->StartAudio(m_audioChoice);
}

void CTavimondRU6533Device::BuildPage() {
    if (!m_layoutPath.isEmpty() && BuildLayout()) {
        QWidget* picture = CPaintManagerUI::FindSubControlByName(m_page, "ru6533_device_key_light");
        BindKeyButtons(picture ? picture : m_page.data());
        m_featureSwitch = qobject_cast<CTabLayoutUI*>(CPaintManagerUI::FindSubControlByName(m_page, "ru6533_function_switch"));
        PlaceAudioPanels();
    } else if (m_layoutPath.isEmpty()) {
        CTavimondUSBDevice::Initialise();
    }
    if (m_voicePanel) m_voicePanel->SetDeviceKind(kDeviceKind);
    if (m_effectPanel) m_effectPanel->SetDeviceKind(kDeviceKind);
    if (!m_voicePanel && !m_voiceMissing) m_voiceMissing = std::make_unique<CVoice6533ControlUI>();
    if (!m_effectPanel && !m_effectMissing) m_effectMissing = std::make_unique<CMagicControlUI>();
    if (!m_audio) {
        VoicePanel& voice = m_voicePanel ? static_cast<VoicePanel&>(*m_voicePanel) : *m_voiceMissing;
        VoiceEffectPanel& effects = m_effectPanel ? static_cast<VoiceEffectPanel&>(*m_effectPanel) : *m_effectMissing;
        m_audio = std::make_unique<HeadsetAudioControl>(m_audioLibrary, m_profile, voice, effects,
                                                        [this] { SaveProfile(); });
    }
}

void CTavimondRU6533Device::PlaceAudioPanels() {
    m_voicePanel = PlacePanel<CVoice6533ControlUI>(m_page, QStringLiteral("Voice6533ControlItem"), kVoiceLayout,
                                                   m_builderCallback);
    m_effectPanel = PlacePanel<CMagicControlUI>(m_page, QStringLiteral("MagicControlItem"), kEffectLayout,
                                                m_builderCallback);
    // The surround page has nothing the program handles; it is built for what it shows.
    if (QWidget* item = CPaintManagerUI::FindSubControlByName(m_page, QStringLiteral("VirtualSetItem"))) {
        if (item->findChildren<QWidget*>(QStringLiteral("virtual_set_panel")).isEmpty()) {
            if (QWidget* root = CDialogBuilder::Create(kSurroundLayout, m_builderCallback, item)) {
                QLayout* box = item->layout();
                if (box == nullptr) {
                    box = new QVBoxLayout(item);
                    box->setContentsMargins(0, 0, 0, 0);
                }
                box->addWidget(root);
            }
        }
    }
    if (m_paintManager) {
        if (m_voicePanel) m_paintManager->AttachControls(m_voicePanel);
        if (m_effectPanel) m_paintManager->AttachControls(m_effectPanel);
    }
}

void CTavimondRU6533Device::Notify(TNotifyUI& msg) {
    // The profile panel's feature tabs switch the page's function area; the routing hands the
    // same notification to the profile panel, which marks the tab.
    if (msg.sType != notify::kSelectChanged || msg.pSender == nullptr || !m_page) return;
    if (!m_page->isAncestorOf(msg.pSender)) return;
    const QString name = msg.pSender->objectName();
    for (const FeatureTab& tab : kFeatureTabs) {
        if (name.compare(QLatin1String(tab.name), Qt::CaseInsensitive) == 0) {
            ShowFeaturePage(tab.page);
            return;
        }
    }
}

void CTavimondRU6533Device::ShowFeaturePage(int page) {
    if (m_featureSwitch) m_featureSwitch->SelectItem(page);
}

int CTavimondRU6533Device::CurrentFeaturePage() const {
    return m_featureSwitch ? m_featureSwitch->GetCurSel() : -1;
}

// ---- profile ----

void CTavimondRU6533Device::LoadProfileFile() {
    const std::string kind = m_kindName.empty() ? kFolderName : m_kindName;
    const std::filesystem::path folder = DeviceDataFolder(kind);
    m_profile.SetDefaultPath(DefaultProfilePath(kind));
    m_profile.SetProfilePath(ProfilePathText());
    const std::string prefix = m_lightNamePrefix.empty() ? std::string("qorin_light") : m_lightNamePrefix;
    m_profile.SetLightConfigPath(folder / (prefix + ".config"));
}

int CTavimondRU6533Device::LoadProfile() {
    LoadProfileFile();
    m_profile.LoadProfile(m_profile.GetProfilePath());
    LoadLightingState();
    // What the page holds and shows follows the profile; nothing goes to the audio library until
    // the user acts on a control.
    if (m_audio) m_audio->LoadProfileAudio();
    return 1;
}

std::u16string CTavimondRU6533Device::GetProfileName() {
    return Utf8ToWide(m_profile.GetProfilePath().string());
}

void CTavimondRU6533Device::ResetToProfile() {
    // The user's own equalisers are theirs, not a setting: they survive the factory settings,
    // as they do when a whole profile is reset.
    const std::vector<std::u16string> names = m_profile.GetCustomEqNames();
    std::vector<std::vector<int32_t>> curves;
    for (size_t i = 0; i < names.size(); ++i) curves.push_back(m_profile.GetCustomEqValues(int32_t(i)));
    m_profile.LoadProfile(m_profile.GetDefaultPath());
    m_profile.SetCustomEqNames(names);
    for (size_t i = 0; i < curves.size(); ++i) m_profile.SetCustomEqValues(int32_t(i), curves[i]);
    LoadLightingState();
    if (m_audio) m_audio->LoadProfileAudio();
    SaveProfile();
    RefreshPage();
}

void CTavimondRU6533Device::SetLightTableIndex(int index) {
    CTavimondUSBDevice::SetLightTableIndex(index);
    m_profile.SetLightTableIndex(index);
    m_profile.SetDeviceIndex(0);
}

void CTavimondRU6533Device::SetLightInfo(const LightInfo& info) {
    CTavimondUSBDevice::SetLightInfo(info);
    m_profile.SetLightInfo(info);
}

int CTavimondRU6533Device::LoadLightingState() {
    const LightInfo info = m_profile.GetLightInfo();
    m_profile.LoadLightConfig(m_profile.GetLightConfigPath());
    const auto list = m_profile.GetLightList();
    const auto steps = m_profile.GetCustomLightSteps();
    Engine().LoadLightingState(info, list.data(), list.size(), steps.data(), steps.size());
    // Byte 4 (direction) keeps what the device reported.
    vx::devices::MousePadProtocol::PutLight(info, m_record);
    return 1;
}

void CTavimondRU6533Device::LoadPageLists() {
    LightNameTables names;
    names.LoadDefaultLightNames(DefaultDataFolder() / "default_light.json", m_lightTableIndex);
    names.LoadCustomLightNames(m_profile.GetLightConfigPath(), m_lightTableIndex);
    m_modeCodes = names.ModeCodes();
}

void CTavimondRU6533Device::RefreshPage() {
    LoadPageLists();
    ShowLightRecords(false);
    if (m_audio) m_audio->ShowAudioState();
}

// ---- device ----

void CTavimondRU6533Device::OnConnected() {
    // The headset reads neither its capability record nor its settings when it connects.
    LoadProfile();
    if (m_audio) m_audio->ReadAudioState();
    RefreshPage();
    StartLightingThread();
}

int CTavimondRU6533Device::RefreshFromDevice() {
    BeforeReread();
    std::vector<uint8_t> raw;
    if (!FetchReread(&raw)) {
        // Not connected: the previous profile number with nothing else.
        raw.assign(kRecordLength, 0);
        raw[0] = m_lastActiveProfile;
    }
    ApplyReread(raw);
    return 1;
}

void CTavimondRU6533Device::BeforeReread() {
    m_commandLink.SetHeld(false);
    m_recordAside = m_record;
}

bool CTavimondRU6533Device::FetchReread(std::vector<uint8_t>* raw) {
    if (!m_commandLink.IsConnected()) return false;
    return Protocol21().ReadSettings(raw) == kLinkOk;
}

void CTavimondRU6533Device::ApplyReread(const std::vector<uint8_t>& raw) {
    m_record = vx::devices::MousePadProtocol::RecordFromBlock(raw, m_modeCodes);
    m_lastActiveProfile = m_record[0];
    SendToOwner(kMsgActiveProfile, m_record[0]);
}

int CTavimondRU6533Device::WriteSettings(int, int, int, int, int) {
    // A headset that does not take the record is no reason to stop: its lighting only shows the
    // profile once it does.
    Protocol21().WriteSettings(m_record, m_modeCodes);
    return 1;
}

bool CTavimondRU6533Device::FetchPower(StatusRecord* record) {
    if (m_powerReadHold.load() || !m_commandLink.IsConnected()) return false;
    return Protocol21().ReadPowerStatus(record);
}

void CTavimondRU6533Device::ShowPower(const StatusRecord& record) {
    if (m_powerIndicator) ShowPowerStatus(record.Bytes());
    SendToOwner(kMsgStatus, record.Bytes()[kStatusByte]);
}

void CTavimondRU6533Device::HandleNotifyEvent(uint16_t code, bool wireless) {
    if (code == kEventReread && !wireless) RequestReread(kRereadDelaySlowMs);
}

// ---- lighting output ----

void CTavimondRU6533Device::LightingFrame() {
    if (!m_softwareLighting.load()) return;
    const vx::lighting::LedFrame& frame = Engine().Frame();
    const int count = frame.Count();
    for (int i = 0; i < count; ++i) {
        CDeviceKeyButtonUI* button = LightButton(i);
        if (button == nullptr || !ui::IsVisible(button)) continue;
        const vx::lighting::LedEntry entry = frame.Get(i);
        // The button takes 0xRRGGBB.
        const quint32 colour = quint32{entry.red} << 16 | quint32{entry.green} << 8 | quint32{entry.blue};
        button->SetLight(colour, entry.brightness, true);
    }
    {
        std::lock_guard lock(m_reportMutex);
        m_pendingReports.Take(frame);
    }
    // The headset's reports go out in every light mode; a frame the worker has not sent yet is
    // replaced by this one.
    PostDeviceWork(DeviceWorker::Task::Frame, [this] { SendLatestReports(); });
}

void CTavimondRU6533Device::SendLatestReports() {
    {
        std::lock_guard lock(m_reportMutex);
        m_reports = m_pendingReports;
    }
    // A command exchange under way keeps the link: this frame is dropped, the next one goes.
    std::unique_lock transfer(m_commandLink.TransferLock(), std::try_to_lock);
    if (!transfer.owns_lock()) return;
    vx::link::HidLink& wired = m_commandLink.WiredLink();
    m_reports.SendAll([&](const vx::lighting::HeadsetLedReports::Report& report) {
        wired.SetOutputReport(report.data(), report.size());
    });
}

// ---- audio actions ----

void CTavimondRU6533Device::OnMicSlider(const ControlEvent&) {
    if (m_audio) m_audio->SetMicLevel();
}

void CTavimondRU6533Device::OnMicOption(const ControlEvent&) {
    if (m_audio) m_audio->ToggleMicMute();
}

void CTavimondRU6533Device::OnMonitorSlider(const ControlEvent&) {
    if (m_audio) m_audio->SetMonitorLevel();
}

void CTavimondRU6533Device::OnMonitorOption(const ControlEvent&) {
    if (m_audio) m_audio->ToggleMonitorMute();
}

void CTavimondRU6533Device::OnEqPresetOption(const ControlEvent& event) {
    if (m_audio) m_audio->ApplyEqPreset(event.index);
}

void CTavimondRU6533Device::OnEqBandSlider(const ControlEvent& event) {
    if (m_audio && event.index >= 0 && event.index < vx::profiles::kEqBandCount) m_audio->SetEqBand(event.index);
}

void CTavimondRU6533Device::OnCustomEqCombo(const ControlEvent&) {
    if (m_audio) m_audio->ApplyCustomEq();
}

void CTavimondRU6533Device::OnCustomEqDelete(const ControlEvent&) {
    if (m_audio) m_audio->DeleteCustomEq();
}

void CTavimondRU6533Device::OnVoiceEffectSwitch(const ControlEvent&) {
    if (m_audio) m_audio->ToggleVoiceEffect();
}

void CTavimondRU6533Device::OnVoiceEffectOption(const ControlEvent& event) {
    if (m_audio) m_audio->SelectVoiceEffect(event.index);
}

int CTavimondRU6533Device::SaveCustomEq() {
    return m_audio ? m_audio->SaveCustomEq() : kCustomEqRefused;
}

}  // namespace vx::headset
