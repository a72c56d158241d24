#include "devices/TavimondKeyboardDevice.h"

#include "devices/KeyInputReader.h"
#include "devices/tables/KeyboardFactoryKeys.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <filesystem>

#include "devices/lighting/KeyboardLightingEngine.h"
#include "link/MacroImageBlock.h"
#include "link/SettingsBlocks.h"
#include "link/StatusRecord.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/FactoryKeyFunctions.h"
#include "profiles/LightNameTables.h"
#include "profiles/MacroFiles.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ResourceManager.h"
#include "widgets/SliderUI.h"

using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CWindowMessages;
using vx::widgets::WindowHandle;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CSliderUI;
using vx::widgets::ControlEvent;
using vx::widgets::TNotifyUI;
namespace ui = vx::widgets::ui;
namespace notify = vx::widgets::notify;

namespace vx::devices {

using vx::link::kLinkOk;

using vx::profiles::CKeyboardProfiledata;

using vx::link::BuildKeyboardBlock;
using vx::link::BuildMacroImage;
using vx::link::DeviceInfo;
using vx::link::MacroEventRecord;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::ModeCodeToIndex;
using vx::link::ParseKeyboardBlock;
using vx::link::StatusRecord;
using vx::link::kBlockLightFields;
using vx::link::kKeyboardBlockLightExtras;
using vx::link::kLinkNoReply;
using vx::profiles::CBasicProfiledata;
using vx::profiles::CustomLightColor;
using vx::profiles::DefaultDataFolder;
using vx::profiles::DefaultProfilePath;
using vx::profiles::DeviceDataFolder;
using vx::profiles::FactoryKeyFunction;
using vx::profiles::IsMacroFunction;
using vx::profiles::KeyEntry;
using vx::profiles::KeyFunction;
using vx::profiles::LightNameTables;
using vx::profiles::MacroFiles;
using vx::profiles::MacroListEntry;
using vx::profiles::Utf8ToWide;
using vx::profiles::kKeyboardFnKey;
using vx::profiles::kKeyboardFactoryKeys;

namespace {

constexpr uint16_t kEventRereadWired = 0x402;
constexpr int kStageByteOfBlock = 26;
constexpr int kRepeatRateMax = 31;
// The delay that each repeat-delay option stands for, as the label shows it.
constexpr std::array<int, 4> kRepeatDelayMs = {250, 500, 750, 1000};

int OptionIndex(int value, int count) {
    return value >= 0 && value < count ? value : 0;
}

}  // namespace

CTavimondKeyboardDevice::CTavimondKeyboardDevice()
    : CTavimondUSBDevice(
          std::make_unique<vx::lighting::KeyboardLightingEngine>(vx::lighting::kKeyboardLeds)) {
    SetProtocol(std::make_unique<KeyboardProtocol>(m_commandLink));
}

CTavimondKeyboardDevice::~CTavimondKeyboardDevice() {
    for (auto& reader : m_keyReaders) reader.reset();
    StopDeviceWork();
    StopLightingThread();
}

vx::lighting::KeyboardLightingEngine& CTavimondKeyboardDevice::KeyboardEngine() {
    return static_cast<vx::lighting::KeyboardLightingEngine&>(Engine());
}

std::string CTavimondKeyboardDevice::DeviceFolderText() const {
    return DeviceDataFolder(m_kindName.empty() ? "keyboard" : m_kindName).string();
}

// ---- page ----

void CTavimondKeyboardDevice::Initialise() {
    RegisterForNotifications();
    BuildPage();
}

void CTavimondKeyboardDevice::BuildPage() {
    if (m_layoutPath.isEmpty()) {
        CTavimondUSBDevice::Initialise();
        return;
    }
    if (!BuildLayout()) return;
    m_pictureContainer = CPaintManagerUI::FindSubControlByName(m_page, "keyboard_device_key_light");
    BindKeyButtons(m_pictureContainer ? m_pictureContainer.data() : m_page.data());
    FindControls();
}

void CTavimondKeyboardDevice::FindControls() {
    m_profilePanel = CPaintManagerUI::FindSubControlByName(m_page, "DeviceProfileItem");
    m_lightPanel = CPaintManagerUI::FindSubControlByName(m_page, "LightControlItem");
    m_macroPanel = CPaintManagerUI::FindSubControlByName(m_page, "MacroControlItem");
    m_keyPanel = CPaintManagerUI::FindSubControlByName(m_page, "KeySetControlItem");
    for (int i = 0; i < 4; ++i) {
        m_pollingOptions[i] = CPaintManagerUI::FindSubControl<COptionUI>(
            m_page, QStringLiteral("polling_rate_option_%1").arg(i));
        m_repeatDelayOptions[i] = CPaintManagerUI::FindSubControl<COptionUI>(
            m_page, QStringLiteral("repeat_delay_check_%1").arg(i));
    }
    m_repeatDelayLabel = CPaintManagerUI::FindSubControlByName(m_page, "repeat_delay_time_label1");
    m_repeatRateSlider = CPaintManagerUI::FindSubControl<CSliderUI>(m_page, "repeat_rate_slider");
    m_winLockOption = CPaintManagerUI::FindSubControl<COptionUI>(m_page, "winlockflag_option");
    m_wFlagOption = CPaintManagerUI::FindSubControl<COptionUI>(m_page, "wflag_option");
    m_key6Option = CPaintManagerUI::FindSubControl<COptionUI>(m_page, "6flag_option");
    m_repeatInput = CPaintManagerUI::FindSubControlByName(m_page, "repeat_input_richedit");
    if (m_repeatRateSlider) {
        m_repeatRateSlider->SetMinValue(0);
        m_repeatRateSlider->SetMaxValue(kRepeatRateMax);
    }
}

void CTavimondKeyboardDevice::Notify(TNotifyUI& msg) {
    // LED buttons of this page paint themselves in the custom-colour mode; every other control is
    // routed by the main window.
    if (msg.sType != notify::kClick || msg.pSender == nullptr) return;
    for (int i = 0; i < static_cast<int>(m_lightButtons.size()); ++i) {
        if (m_lightButtons[i] && m_lightButtons[i].data() == msg.pSender) {
            PaintKey(i);
            return;
        }
    }
    // On the picture each key's cap lies over its LED button (key n over LED n), so a user paints
    // a key by clicking its cap. Only while the lighting page is open: on the key page the same
    // click chooses the key for assignment.
    if (m_functionPage != functionpage::kLighting && m_functionPage != functionpage::kLightingAlt) return;
    for (int i = 0; i < static_cast<int>(m_keyButtons.size()); ++i) {
        if (m_keyButtons[i] && m_keyButtons[i].data() == msg.pSender) {
            PaintKey(i);
            return;
        }
    }
}

// ---- profile ----

void CTavimondKeyboardDevice::LoadProfileFile() {
    const std::filesystem::path folder = DeviceFolderText();
    m_profile.SetDefaultPath(DefaultProfilePath(m_kindName.empty() ? "keyboard" : m_kindName));
    m_profile.SetProfilePath(ProfilePathText());
    const std::string prefix = m_lightNamePrefix.empty() ? std::string("qorin_light") : m_lightNamePrefix;
    m_profile.SetLightConfigPath(folder / (prefix + ".config"));
}

int CTavimondKeyboardDevice::LoadProfile() {
    LoadProfileFile();
    const Json::Value node = m_profile.LoadProfile(m_profile.GetProfilePath());
    m_profile.LoadLightConfig(m_profile.GetLightConfigPath());
    m_keyList = m_profile.GetKeyList();
    m_stages = m_profile.GetKeyboardSystemStages();
    LoadLightingState();
    ShowSelectedKeyAssignment();
    return node.isNull() ? 0 : 1;
}

void CTavimondKeyboardDevice::TakeProfileRecords() {
    m_keyList = m_profile.GetKeyList();
    m_stages = m_profile.GetKeyboardSystemStages();
    ShowSelectedKeyAssignment();
}

std::u16string CTavimondKeyboardDevice::GetProfileName() {
    return Utf8ToWide(m_profile.GetProfilePath().string());
}

void CTavimondKeyboardDevice::ResetToProfile() {
    m_profile.LoadProfile(m_profile.GetDefaultPath());
    m_keyList = m_profile.GetKeyList();
    m_stages = m_profile.GetKeyboardSystemStages();
    LoadLightingState();
    SaveProfile();
    RefreshPage();
    ShowSelectedKeyAssignment();
}

void CTavimondKeyboardDevice::SetLightTableIndex(int index) {
    CTavimondUSBDevice::SetLightTableIndex(index);
    m_profile.SetLightTableIndex(index);
    m_profile.SetDeviceIndex(0);
}

void CTavimondKeyboardDevice::SetLightInfo(const LightInfo& info) {
    CTavimondUSBDevice::SetLightInfo(info);
    m_profile.SetLightInfo(info);
}

void CTavimondKeyboardDevice::SetAudioLightInfo(const AudioLightInfo& info) {
    CTavimondUSBDevice::SetAudioLightInfo(info);
    KeyboardEngine().SetAudioLightInfo(info);
    m_profile.SetAudioLightInfo(info);
}

AudioLightInfo CTavimondKeyboardDevice::GetAudioLightInfo() {
    return KeyboardEngine().GetAudioLightInfo();
}

void CTavimondKeyboardDevice::OnAudioLevels(const int32_t* levels, size_t count) {
    KeyboardEngine().OnAudioLevels(levels, count);
}

void CTavimondKeyboardDevice::SetAudioParameters(const int32_t* values, size_t count) {
    KeyboardEngine().SetAudioParameters(values, count);
}

int CTavimondKeyboardDevice::LoadLightingState() {
    const LightInfo info = m_profile.GetLightInfo();
    const auto list = m_profile.GetLightList();
    const auto steps = m_profile.GetCustomLightSteps();
    // The engine compares against the mode it last set up, not against the record the panel has
    // just stored, so a mode chosen on the panel gets its reset and set-up here.
    const bool modeChanged =
        Engine().LoadLightingState(info, list.data(), list.size(), steps.data(), steps.size());
    KeyboardEngine().SetAudioLightInfo(m_profile.GetAudioLightInfo());
    DeviceProtocol::PutLight(info, m_block);
    m_block[18] = info.zzccLedMode;
    // Another custom group chosen while the mode stays 20 shows that group's colours too.
    const bool groupChanged = m_profile.GetCustomGroupIndex() != m_block[25];
    if (info.selectItem == kModeCustomColours && (modeChanged || groupChanged)) EnterCustomColourMode();
    return 1;
}

void CTavimondKeyboardDevice::LoadPageLists() {
    MacroFiles macros{std::filesystem::path(DeviceFolderText())};
    m_macroNames.clear();
    for (const MacroListEntry& entry : macros.LoadList()) m_macroNames.push_back(entry.name);
    LightNameTables names;
    names.LoadDefaultLightNames(DefaultDataFolder() / "default_light.json", m_lightTableIndex);
    names.LoadCustomLightNames(m_profile.GetLightConfigPath(), m_lightTableIndex);
    m_modeCodes = names.ModeCodes();
}

// ---- connection ----

void CTavimondKeyboardDevice::OnConnected() {
    Keyboard().ReadKeyTables();
    LoadProfile();
    LoadPageLists();
    ReadDeviceSettings();
    RefreshPage();
    if (Engine().GetLightInfo().selectItem == kModeCustomColours) SendCustomColours();
    // A keyboard found in a streamed mode is driven by the frames from the start.
    EnterSoftwareLightingIfStreamed();
    StartLightingThread();
}

void CTavimondKeyboardDevice::EnterSoftwareLightingIfStreamed() {
    const uint8_t mode = Engine().GetLightInfo().selectItem;
    if (mode == kModeAudio || mode == kModeCompanion) SetSoftwareLighting(true);
}

int CTavimondKeyboardDevice::RefreshFromDevice() {
    const int status = ReadDeviceSettings();
    RefreshPage();
    return status;
}

void CTavimondKeyboardDevice::BeforeReread() {
    m_commandLink.SetHeld(false);
    std::copy_n(m_block.begin(), m_blockAside.size(), m_blockAside.begin());
}

bool CTavimondKeyboardDevice::FetchReread(std::vector<uint8_t>* raw) {
    return Keyboard().ReadSettings(raw) == kLinkOk;
}

void CTavimondKeyboardDevice::ApplyReread(const std::vector<uint8_t>& raw) {
    TakeDeviceSettings(raw);
    RefreshPage();
}

int CTavimondKeyboardDevice::ReadDeviceSettings() {
    BeforeReread();
    std::vector<uint8_t> raw;
    if (!FetchReread(&raw)) return 0;
    TakeDeviceSettings(raw);
    return 1;
}

void CTavimondKeyboardDevice::TakeDeviceSettings(const std::vector<uint8_t>& raw) {
    std::array<uint8_t, kBlockLength> block{};
    std::copy_n(raw.begin(), std::min(raw.size(), block.size()), block.begin());
    const uint8_t active = block[0];
    block[1] = static_cast<uint8_t>(ModeCodeToIndex(m_modeCodes, block[1]));
    block[16] = 0;
    m_activeProfile = active;
    m_block = block;
    ApplyBlockToLighting();
}

void CTavimondKeyboardDevice::ApplyBlockToLighting() {
    // The block holds the mode index already; an empty mode table leaves it as it is.
    const KeyboardSettings read = ParseKeyboardBlock(m_block, {});
    LightInfo info = KeyboardProtocol::LightFromBlock(m_block, m_profile.GetLightInfo());
    // The block keeps the level from here on, as the record does.
    m_block[3] = info.speed;
    const bool modeChanged = Engine().ApplyLightInfo(info);
    if (modeChanged && info.selectItem == kModeCustomColours) EnterCustomColourMode();
    m_stages.key6Flag = read.system.key6Flag;
    m_stages.winFlag = read.system.winFlag;
    m_stages.wFlag = read.system.wFlag;
    m_profile.SetKeyboardSystemStages(m_stages);
    m_profile.SetLightInfo(info);
    m_profile.SaveProfile();
}

KeyboardSettings CTavimondKeyboardDevice::SettingsFromProfile(int profile) {
    KeyboardSettings settings;
    settings.profile = static_cast<uint8_t>(profile);
    settings.light = m_profile.GetLightInfo();
    settings.system = m_profile.GetKeyboardSystemStages();
    return settings;
}

int CTavimondKeyboardDevice::WriteSettings(int profile, int, int, int, int) {
    const int status = Keyboard().WriteSettings(SettingsFromProfile(profile), m_modeCodes);
    // The block just written names the mode the keyboard runs by itself; in the streamed modes the
    // program drives it from here on, so the keyboard is told to take the frames after each write.
    if (status == kLinkOk) EnterSoftwareLightingIfStreamed();
    return status;
}

// ---- power ----

bool CTavimondKeyboardDevice::FetchPower(StatusRecord* record) {
    if (m_powerReadHold.load()) return false;
    return Keyboard().ReadPowerStatus(record);
}

void CTavimondKeyboardDevice::ShowPower(const StatusRecord& record) {
    m_lastStatus = record.Bytes();
    ShowPowerStatus(m_lastStatus);
    SendToOwner(0x0D01, record.forwarded);
}

bool CTavimondKeyboardDevice::IsReachable() {
    const bool reachable = Keyboard().QueryReceiverDevice();
    MutableStreamRule().SetStopped(true, !reachable);
    return reachable;
}

// ---- notifications ----

void CTavimondKeyboardDevice::HandleNotifyEvent(uint16_t code, bool wireless) {
    if (code == kEventReread || (code == kEventRereadWired && !wireless)) {
        RequestReread(kRereadDelayFastMs);
        return;
    }
    const auto change = DeviceProtocol::DecodeProfileChange(code);
    if (!change || !m_commandLink.IsConnected()) return;
    m_activeProfile = change->profile;
    m_block[0] = change->profile;
    if (change->extra) m_block[kStageByteOfBlock] = *change->extra;
    RefreshPage();
}

// ---- key assignments and macros ----

std::vector<int> CTavimondKeyboardDevice::GetMacroList() {
    const size_t macroCount = MacroFiles{std::filesystem::path(DeviceFolderText())}.LoadList().size();
    std::vector<int> used;
    for (int j = 0; j < kLogicalKeys && j < static_cast<int>(m_keyList.size()); ++j) {
        if (KeySlotMap()[j] == kNoSlot) continue;
        const KeyFunction& f = m_keyList[j].current;
        if (!IsMacroFunction(f) || f.first >= macroCount) continue;
        if (std::find(used.begin(), used.end(), f.first) == used.end()) used.push_back(f.first);
    }
    return used;
}

int CTavimondKeyboardDevice::WriteKeyAssignments(int bank, const std::vector<KeyEntry>& keys) {
    const size_t macroCount = MacroFiles{std::filesystem::path(DeviceFolderText())}.LoadList().size();
    return Keyboard().WriteKeyAssignments(bank, keys, macroCount);
}

int CTavimondKeyboardDevice::ApplyKeyAssignments() {
    m_keyList = m_profile.GetKeyList();
    return WriteKeyAssignments(0, m_keyList);
}

void CTavimondKeyboardDevice::PruneMacroAssignments() {
    const size_t macroCount = MacroFiles{std::filesystem::path(DeviceFolderText())}.LoadList().size();
    bool changed = false;
    for (KeyEntry& key : m_keyList) {
        if (IsMacroFunction(key.current) && key.current.first >= macroCount) {
            key.current = key.defaults;
            changed = true;
        }
    }
    if (!changed) return;
    m_profile.SetKeyList(m_keyList);
    SaveProfile();
    RefreshPage();
}

int CTavimondKeyboardDevice::WriteMacroMemory(const std::vector<int>& macroNumbers) {
    if (macroNumbers.empty()) return kLinkOk;
    MacroFiles files{std::filesystem::path(DeviceFolderText())};
    const std::vector<MacroListEntry> list = files.LoadList();
    if (list.empty()) return kLinkOk;
    std::vector<MacroSlotEvents> macros;
    for (int number : macroNumbers) {
        MacroSlotEvents events;
        if (number >= 0 && static_cast<size_t>(number) < list.size()) {
            const Json::Value stored = files.LoadEventsJson(list[number].guid);
            for (Json::ArrayIndex i = 0; stored.isArray() && i < stored.size(); ++i) {
                std::array<uint8_t, 4> record{};
                CBasicProfiledata::MacroEventToRecord(stored[i], record);
                MacroEventRecord event;
                event.delayMs = static_cast<uint16_t>(record[0] | (record[1] << 8));
                event.type = record[2] & 0x7F;
                event.down = (record[2] & 0x80) != 0;
                event.button = record[3];
                events.push_back(event);
            }
        }
        macros.push_back(std::move(events));
    }
    return Keyboard().WriteMacroMemory(macros);
}

// ---- lighting ----

void CTavimondKeyboardDevice::LightingFrame() {
    if (!m_softwareLighting.load()) return;
    PaintAndStream(KeyLedMap().data(), KeyLedMap().size());
    if (Engine().GetLightInfo().selectItem == kModeCustomColours) MaybeWriteCustomColours();
}

void CTavimondKeyboardDevice::MaybeWriteCustomColours() {
    // The table goes out again only when a colour or brightness changed since the last write,
    // or when the last write did not go out.
    if (m_colourWriteFailed.exchange(false)) m_lastColourTable.clear();
    if (Keyboard().ColourTable(m_engine->Frame(), true) == m_lastColourTable) return;
    SendCustomColours();
}

int CTavimondKeyboardDevice::SendCustomColours() {
    std::vector<uint8_t> table = Keyboard().ColourTable(m_engine->Frame(), true);
    if (table.empty()) return 0;
    m_lastColourTable = table;
    {
        std::lock_guard lock(m_coloursMutex);
        m_pendingColours = std::move(table);
        m_pendingColourGroup = m_block[25];
    }
    // Written by the device worker: the frame timer paints the keys 20 times a second and must
    // not wait for a keyboard that does not answer. A newer table replaces one not yet written.
    PostDeviceWork(DeviceWorker::Task::KeyColours, [this] { WritePendingColours(); });
    return 1;
}

void CTavimondKeyboardDevice::WritePendingColours() {
    std::vector<uint8_t> table;
    int group = 0;
    {
        std::lock_guard lock(m_coloursMutex);
        table.swap(m_pendingColours);
        group = m_pendingColourGroup;
    }
    if (table.empty()) return;
    if (FramePaused()) {
        m_colourWriteFailed.store(true);
        return;
    }
    if (Keyboard().WriteKeyColours(table, group) == kLinkOk) return;
    // Same pause as a failed stream frame: later frames skip the write for 200 ms.
    m_colourWriteFailed.store(true);
    StartFramePause();
}

void CTavimondKeyboardDevice::PaintKey(int led) {
    const LightInfo params = Engine().GetLightInfo();
    if (params.selectItem != kModeCustomColours) return;
    if (led < 0 || led >= Engine().LedCount()) return;
    vx::lighting::LedEntry entry = Engine().GetLed(led);
    entry.red = params.red;
    entry.green = params.green;
    entry.blue = params.blue;
    Engine().SetLed(led, entry);
    StoreCustomColours(m_profile.GetCustomGroupIndex());
}

void CTavimondKeyboardDevice::StoreCustomColours(int group) {
    if (group < 0) return;
    std::vector<CustomLightColor> colours;
    const int count = Engine().LedCount();
    for (int led = 0; led < count && led < kLogicalKeys; ++led) {
        const vx::lighting::LedEntry e = Engine().GetLed(led);
        colours.push_back({e.red, e.green, e.blue, 0});
    }
    m_profile.SetCustomLightColors(colours, group);
    SaveProfile();
    if (!m_commandLink.IsWireless() && m_commandLink.IsConnected()) {
        const std::vector<uint8_t> table = Keyboard().ColourTable(m_engine->Frame(), false);
        if (!table.empty()) Keyboard().WriteKeyColours(table, group);
    }
}

void CTavimondKeyboardDevice::FillCustomColours(bool on) {
    const LightInfo params = Engine().GetLightInfo();
    const int count = Engine().LedCount();
    for (int led = 0; led < count; ++led) {
        vx::lighting::LedEntry e = Engine().GetLed(led);
        e.red = on ? params.red : 0;
        e.green = on ? params.green : 0;
        e.blue = on ? params.blue : 0;
        Engine().SetLed(led, e);
    }
    SendCustomColours();
    const int group = m_profile.GetCustomGroupIndex();
    if (group >= 0) {
        std::vector<CustomLightColor> colours;
        for (int led = 0; led < count && led < kLogicalKeys; ++led) {
            const vx::lighting::LedEntry e = Engine().GetLed(led);
            colours.push_back({e.red, e.green, e.blue, 0});
        }
        m_profile.SetCustomLightColors(colours, group);
        SaveProfile();
    }
}

void CTavimondKeyboardDevice::EnterCustomColourMode() {
    const int group = m_profile.GetCustomGroupIndex();
    const int count = Engine().LedCount();
    const std::vector<CustomLightColor> colours = m_profile.GetCustomLightColors(group, count);
    const uint8_t bright = vx::lighting::kBrightnessLevels[std::min<int>(Engine().GetLightInfo().light, 4)];
    for (int led = 0; led < count && led < static_cast<int>(colours.size()); ++led) {
        const CustomLightColor& c = colours[led];
        Engine().SetLed(led, {c.red, c.green, c.blue, bright});
    }
    m_block[25] = static_cast<uint8_t>(group);
    if (m_commandLink.IsConnected()) SendCustomColours();
}

// ---- page refresh ----

void CTavimondKeyboardDevice::RefreshPage() {
    LoadPageLists();
    ShowSettings();
    ShowKeyAssignments();
    ShowLightRecords(true, m_profile.GetCustomGroupIndex());
}

void CTavimondKeyboardDevice::ShowSettings() {
    const KeyboardSystemStages s = m_stages;
    const int polling = OptionIndex(s.pollingRate, 4);
    const int delay = OptionIndex(s.repeatDelay, 4);
    for (int i = 0; i < 4; ++i) {
        if (m_pollingOptions[i]) m_pollingOptions[i]->Selected(i == polling);
        if (m_repeatDelayOptions[i]) m_repeatDelayOptions[i]->Selected(i == delay);
    }
    ShowRepeatDelayText(delay);
    if (m_repeatRateSlider) m_repeatRateSlider->SetValue(std::clamp<int>(s.repeat, 0, kRepeatRateMax));
    if (m_winLockOption) m_winLockOption->Selected(s.winFlag != 0);
    if (m_wFlagOption) m_wFlagOption->Selected(s.wFlag != 0);
    if (m_key6Option) m_key6Option->Selected(s.key6Flag != 0);
}

void CTavimondKeyboardDevice::ShowRepeatDelayText(int delayOption) {
    if (m_repeatDelayLabel == nullptr) return;
    const QString text = CResourceManager::GetInstance().GetText(QStringLiteral("Repeat_Delay_Time"));
    ui::SetText(m_repeatDelayLabel, text + QString::number(kRepeatDelayMs[delayOption]) + QStringLiteral("ms"));
}

void CTavimondKeyboardDevice::RefreshLanguageTexts() {
    ShowRepeatDelayText(OptionIndex(m_stages.repeatDelay, 4));
}

void CTavimondKeyboardDevice::ShowKeyAssignments() {
    for (int j = 0; j < static_cast<int>(m_keyList.size()) && j < static_cast<int>(m_keyButtons.size());
         ++j) {
        CDeviceKeyButtonUI* button = KeyButton(j);
        if (button == nullptr) continue;
        button->SetKeySetImageHidden(m_keyList[j].current.SameFunction(m_keyList[j].defaults));
    }
}

void CTavimondKeyboardDevice::SelectKey(int key) {
    if (CDeviceKeyButtonUI* old = KeyButton(m_selectedKey)) old->SetSelected(false);
    CTavimondUSBDevice::SelectKey(key);
    if (CDeviceKeyButtonUI* now = KeyButton(key)) now->SetSelected(true);
}

void CTavimondKeyboardDevice::SetFunctionPage(int type) {
    CTavimondUSBDevice::SetFunctionPage(type);
    CDeviceKeyButtonUI* fn = KeyButton(kKeyboardFnKey);
    if (type == functionpage::kDefault) ui::SetEnabled(fn, true);
    if (type == functionpage::kKeySet) ui::SetEnabled(fn, false);
}

// ---- settings page ----

void CTavimondKeyboardDevice::StoreStages(const KeyboardSystemStages& stages) {
    m_stages = stages;
    m_profile.SetKeyboardSystemStages(stages);
    SaveProfile();
}

void CTavimondKeyboardDevice::SetPollingRateOption(int option) {
    KeyboardSystemStages s = m_stages;
    s.pollingRate = static_cast<uint16_t>(OptionIndex(option, 4));
    StoreStages(s);
}

int CTavimondKeyboardDevice::GetPollingRateOption() {
    return OptionIndex(m_stages.pollingRate, 4);
}

void CTavimondKeyboardDevice::SetRepeatDelayOption(int option) {
    KeyboardSystemStages s = m_stages;
    s.repeatDelay = static_cast<uint16_t>(OptionIndex(option, 4));
    StoreStages(s);
}

int CTavimondKeyboardDevice::GetRepeatDelayOption() {
    return OptionIndex(m_stages.repeatDelay, 4);
}

void CTavimondKeyboardDevice::SetRepeatRate(int value) {
    KeyboardSystemStages s = m_stages;
    s.repeat = static_cast<uint16_t>(std::clamp(value, 0, kRepeatRateMax));
    StoreStages(s);
}

int CTavimondKeyboardDevice::GetRepeatRate() {
    return m_stages.repeat;
}

void CTavimondKeyboardDevice::SetWinLock(bool on) {
    KeyboardSystemStages s = m_stages;
    s.winFlag = on ? 1 : 0;
    StoreStages(s);
}

bool CTavimondKeyboardDevice::GetWinLock() {
    return m_stages.winFlag != 0;
}

void CTavimondKeyboardDevice::SetWFlag(bool on) {
    KeyboardSystemStages s = m_stages;
    s.wFlag = on ? 1 : 0;
    StoreStages(s);
}

bool CTavimondKeyboardDevice::GetWFlag() {
    return m_stages.wFlag != 0;
}

void CTavimondKeyboardDevice::SetKey6(bool on) {
    KeyboardSystemStages s = m_stages;
    s.key6Flag = on ? 1 : 0;
    StoreStages(s);
}

bool CTavimondKeyboardDevice::GetKey6() {
    return m_stages.key6Flag != 0;
}

// ---- handlers of the settings page's controls ----

void CTavimondKeyboardDevice::SendSaveRedraw(const Json::Value* before) {
    QSize screen(0, 0);
    if (const QScreen* shown = m_page ? m_page->screen() : QGuiApplication::primaryScreen()) screen = shown->size();
    const int written = WriteSettings(0, 0, 1, screen.width(), screen.height());
    SaveProfile();
    RefreshPage();
    if (before != nullptr) ConfirmSettingsWrite(written, *before);
}

void CTavimondKeyboardDevice::OnPollingRateOption(const ControlEvent& event) {
    const Json::Value before = SettingsSnapshot();
    SetPollingRateOption(event.index);
    SendSaveRedraw(&before);
}

void CTavimondKeyboardDevice::OnRepeatDelayOption(const ControlEvent& event) {
    // The repeat rate and delay live in the profile alone.
    SetRepeatDelayOption(event.index);
    SendSaveRedraw();
}

void CTavimondKeyboardDevice::OnRepeatRateSlider(const ControlEvent& event) {
    SetRepeatRate(static_cast<int>(event.param));
    SendSaveRedraw();
}

void CTavimondKeyboardDevice::OnWinLockOption(const ControlEvent& event) {
    const Json::Value before = SettingsSnapshot();
    SetWinLock(event.checked);
    SendSaveRedraw(&before);
}

void CTavimondKeyboardDevice::OnWFlagOption(const ControlEvent& event) {
    const Json::Value before = SettingsSnapshot();
    SetWFlag(event.checked);
    SendSaveRedraw(&before);
}

void CTavimondKeyboardDevice::OnKey6Option(const ControlEvent& event) {
    const Json::Value before = SettingsSnapshot();
    SetKey6(event.checked);
    SendSaveRedraw(&before);
}

void CTavimondKeyboardDevice::OnRepeatResetButton(const ControlEvent&) {
    // The factory profile is read, never written.
    CKeyboardProfiledata factory;
    const std::filesystem::path path = m_profile.GetDefaultPath();
    factory.SetDefaultPath(path);
    if (factory.LoadProfile(path).isNull()) return;
    const KeyboardSystemStages stages = factory.GetKeyboardSystemStages();
    SetRepeatRate(stages.repeat);
    SetRepeatDelayOption(stages.repeatDelay);
    SendSaveRedraw();
}

void CTavimondKeyboardDevice::OnCustomColourButton(const ControlEvent& event) {
    // The keys' own colours belong to the custom-colour effect; in another effect the buttons
    // would overwrite the keyboard's stored key colours with nothing on the page to show it.
    if (GetLightInfo().selectItem != kModeCustomColours) return;
    FillCustomColours(event.rowValue != 0);
}

// ---- key reactions on the picture ----

void CTavimondKeyboardDevice::NotifyInterfaceOpened(const std::string& path, bool wireless) {
    std::unique_ptr<KeyInputReader>& reader = m_keyReaders[wireless ? 1 : 0];
    if (!reader) {
        const WindowHandle self = SelfHandle();
        reader = std::make_unique<KeyInputReader>([self](uint16_t usage, bool pressed) {
            CWindowMessages::PostMessage(self, kMsgKeyInput, usage, pressed ? 1 : 0);
        });
    }
    reader->Start(path);
}

void CTavimondKeyboardDevice::NotifyInterfaceClosing(bool wireless) {
    if (m_keyReaders[wireless ? 1 : 0]) m_keyReaders[wireless ? 1 : 0]->Stop();
}

bool CTavimondKeyboardDevice::KeyReaderFound(bool wireless) const {
    const auto& reader = m_keyReaders[wireless ? 1 : 0];
    return reader && !reader->CollectionPath().empty();
}

qintptr CTavimondKeyboardDevice::OnPageMessage(uint message, quintptr wParam, qintptr lParam) {
    if (message == kMsgKeyInput) {
        OnKeyboardKey(static_cast<uint16_t>(wParam), lParam != 0);
        return 1;
    }
    return CTavimondUSBDevice::OnPageMessage(message, wParam, lParam);
}

int CTavimondKeyboardDevice::LedOfUsage(uint16_t usage) const {
    // The physical key is the logical key whose factory function sends this usage, and a logical
    // key lights the LED of its own number. The keyboard reports what a key sends, so a key given
    // another key's function lights that key's place.
    constexpr uint16_t kFirstModifier = 0xE0;
    const auto& factory = vx::device_tables::KeyboardFactoryKeys();
    for (size_t key = 0; key < factory.size() && key < static_cast<size_t>(vx::lighting::kKeyboardLeds); ++key) {
        const vx::device_tables::KeyFunction& function = factory[key];
        if (function.type != 0x20 || !vx::device_tables::IsKeyboardKeyListed(key)) continue;
        const bool matches = usage >= kFirstModifier && usage < kFirstModifier + 8
                                 ? function.second == 0 && function.first == (1u << (usage - kFirstModifier))
                                 : function.first == 0 && function.second == usage;
        if (matches) return static_cast<int>(key);
    }
    return -1;
}

void CTavimondKeyboardDevice::OnKeyboardKey(uint16_t usage, bool pressed) {
    const int led = LedOfUsage(usage);
    if (led < 0) return;
    vx::lighting::KeyboardLightingEngine& engine = KeyboardEngine();
    if (pressed) {
        // Outside the key-reaction modes a press would leave ripples for them to show later.
        if (!IsKeyReactionMode(GetLightInfo().selectItem)) return;
        engine.KeyPressed(led);
    } else {
        engine.KeyReleased(led);
    }
}

}  // namespace vx::devices
