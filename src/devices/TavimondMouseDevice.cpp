#include "devices/TavimondMouseDevice.h"

#include <QGuiApplication>
#include <QIntValidator>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "devices/protocol/MouseShootImage.h"
#include "devices/lighting/MouseLightingEngine.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "profiles/StringUtil.h"
#include "widgets/ButtonUI.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/EditUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SelectPanelUI.h"
#include "widgets/SliderUI.h"
#include "widgets/TabLayoutUI.h"

using vx::widgets::CButtonUI;
using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CEditUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CSelectPanelUI;
using vx::widgets::CSliderUI;
using vx::widgets::CTabLayoutUI;
using vx::widgets::ControlEvent;
namespace ui = vx::widgets::ui;

namespace vx::devices {

using vx::link::BuildMacroImage;
using vx::link::DeviceInfo;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::MouseBlock;
using vx::link::StatusRecord;
using vx::link::kLinkNoReply;
using vx::link::kLinkOk;
using vx::link::kMacroEventLength;
using vx::link::kMouseBlockStride;
using vx::profiles::DefaultDataFolder;
using vx::profiles::DefaultProfilePath;
using vx::profiles::DeviceDataFolder;
using vx::profiles::EqualsIgnoreCase;
using vx::profiles::IsMacroFunction;
using vx::profiles::JsonFile;
using vx::profiles::KeyEntry;
using vx::profiles::KeyFunction;
using vx::profiles::MacroEvent;
using vx::profiles::MacroFiles;
using vx::profiles::MacroListEntry;
using vx::profiles::SplitNameIndex;
using vx::profiles::Utf8ToWide;

namespace {

constexpr uint16_t kEventClick = 0x403;
constexpr const char* kMouseFolder = "mouse";

// Ranges of the pointer settings as the system's mouse settings take them.
constexpr int kPointerSpeedMin = 1;
constexpr int kPointerSpeedMax = 20;
constexpr int kScrollLinesMin = 1;
constexpr int kScrollLinesMax = 20;
constexpr int kDoubleClickMin = 200;
constexpr int kDoubleClickMax = 900;

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->size() : QSize();
}

// The function page type that shows each tab of "device_function_switch": buttons, lighting,
// settings, macros.
constexpr std::array<int, CTavimondMouseDevice::kFunctionTabs> kFunctionTabTypes = {
    functionpage::kKeySet, functionpage::kLighting, functionpage::kSettings, functionpage::kMacro};

bool InStageRange(int stage) {
    return stage >= 0 && stage < CTavimondMouseDevice::kDpiStages;
}

}  // namespace

CTavimondMouseDevice::CTavimondMouseDevice()
    : CTavimondUSBDevice(std::make_unique<vx::lighting::MouseLightingEngine>(0)) {
    SetProtocol(std::make_unique<MouseProtocol>(m_commandLink));
    m_kindName = kMouseFolder;
    m_lightTableIndex = 1;
    m_profile.SetLightTableIndex(1);
}

CTavimondMouseDevice::~CTavimondMouseDevice() {
    StopDeviceWork();
    StopLightingThread();
}

vx::lighting::MouseLightingEngine& CTavimondMouseDevice::MouseEngine() {
    return static_cast<vx::lighting::MouseLightingEngine&>(Engine());
}

// ---- reachability ----

bool CTavimondMouseDevice::IsReachable() {
    const bool wireless = m_commandLink.IsWireless();
    const bool reachable = Mouse().QueryReceiverDevice();
    // A sleeping mouse answers stream frames through its receiver only with refusals; its
    // stream stays off until it answers again.
    if (wireless) MutableStreamRule().SetStopped(true, !reachable);
    return reachable;
}

// ---- connection ----

void CTavimondMouseDevice::OnConnected() {
    ReadKeyTables();
    LoadProfile();
    RefreshPage();
    StopLightingThread();
    StartLightingThread();
}

bool CTavimondMouseDevice::ReadKeyTables() {
    if (Mouse().ReadKeyTables() != kLinkOk) return false;
    ApplyCapability();
    return true;
}

void CTavimondMouseDevice::ApplyCapability() {
    m_dpiScale = MouseDpiScale(GetDeviceInfo());
    for (DpiControls& controls : m_dpiControls) {
        if (controls.slider) {
            controls.slider->SetMinValue(0);
            controls.slider->SetMaxValue(m_dpiScale.SliderMax());
        }
        if (!controls.edit) continue;
        // Reconnections reuse the edit box's validator rather than piling up new ones.
        if (auto* validator =
                qobject_cast<QIntValidator*>(const_cast<QValidator*>(controls.edit->validator())))
            validator->setRange(0, m_dpiScale.EditMax());
        else
            controls.edit->setValidator(new QIntValidator(0, m_dpiScale.EditMax(), controls.edit));
    }
}

int CTavimondMouseDevice::RefreshFromDevice() {
    BeforeReread();
    std::vector<uint8_t> raw;
    if (!FetchReread(&raw)) return 0;
    ApplyReread(raw);
    return 1;
}

void CTavimondMouseDevice::BeforeReread() {
    m_commandLink.SetHeld(false);
    std::copy_n(m_current.block.begin(), m_previousHead.size(), m_previousHead.begin());
}

bool CTavimondMouseDevice::FetchReread(std::vector<uint8_t>* raw) {
    return Mouse().ReadSettings(raw) == kLinkOk;
}

void CTavimondMouseDevice::ApplyReread(const std::vector<uint8_t>& raw) {
    if (raw.empty()) return;
    const uint8_t profile = raw[0];
    MouseReadBlock block{};
    std::copy_n(raw.begin() + 1, std::min(raw.size() - 1, block.size()), block.begin());
    m_current = TranslateReadBlock(profile, block, m_lightNames.ModeCodes());
    const LightInfo light = LightFromReadBlock(m_current, m_profile.GetLightInfo());
    m_profile.SetLightInfo(light);
    if (InStageRange(m_current.ActiveStage())) m_profile.SetActiveStage(m_current.ActiveStage());
    SaveProfile();
    Engine().ApplyLightInfo(light);
    RefreshPage();
}

bool CTavimondMouseDevice::FetchPower(StatusRecord* record) {
    if (m_powerReadHold.load()) return false;
    return Mouse().ReadPowerStatus(record);
}

void CTavimondMouseDevice::ShowPower(const StatusRecord& record) {
    m_status = record;
    ShowPowerStatus(m_status.Bytes());
    SendToOwner(kMsgStatusForward, m_status.forwarded);
}

// ---- profile ----

std::filesystem::path CTavimondMouseDevice::DataFolder() const {
    return DeviceDataFolder(m_kindName);
}

MacroFiles CTavimondMouseDevice::Macros() const {
    return MacroFiles(DataFolder());
}

size_t CTavimondMouseDevice::MacroCount() const {
    return Macros().LoadList().size();
}

int CTavimondMouseDevice::LoadProfile() {
    m_profile.SetDefaultPath(DefaultProfilePath(m_kindName));
    m_profile.SetProfilePath(ProfilePathText());
    m_profile.SetLightConfigPath(DataFolder() / "qorin_light.config");
    m_profile.LoadProfile(m_profile.GetProfilePath());
    ReadProfileRecords();
    m_profile.LoadLightConfig(m_profile.GetLightConfigPath());
    LoadPageLists();
    LoadLightingState();
    return 1;
}

void CTavimondMouseDevice::ReadProfileRecords() {
    m_keys = m_profile.GetKeyList();
    m_stages = m_profile.GetDpiStages();
    m_system = m_profile.GetMouseSystemStages();
    EnsureFiveStages();
    ShowSelectedKeyAssignment();
}

void CTavimondMouseDevice::EnsureFiveStages() {
    if (m_stages.size() < kDpiStages) m_stages.resize(kDpiStages);
}

int CTavimondMouseDevice::LoadLightingState() {
    const LightInfo info = m_profile.GetLightInfo();
    const auto list = m_profile.GetLightList();
    const auto steps = m_profile.GetCustomLightSteps();
    Engine().LoadLightingState(info, list.data(), list.size(), steps.data(), steps.size());
    return 1;
}

void CTavimondMouseDevice::ResetToProfile() {
    m_profile.LoadProfile(m_profile.GetDefaultPath());
    ReadProfileRecords();
    LoadLightingState();
    SaveProfile();
    RefreshPage();
}

void CTavimondMouseDevice::LoadPageLists() {
    m_macroNames = Macros().LoadList();
    m_lightNames.LoadDefaultLightNames(DefaultDataFolder() / "default_light.json", m_lightTableIndex);
    m_lightNames.LoadCustomLightNames(DataFolder() / "qorin_light.config", m_lightTableIndex);
}

void CTavimondMouseDevice::LoadProfileFile() {
    LoadProfile();
}

std::u16string CTavimondMouseDevice::GetProfileName() {
    const Json::Value document = JsonFile().ReadJson(m_profile.GetProfilePath());
    if (!document.isObject() || !document["profilename"].isString()) return {};
    return Utf8ToWide(document["profilename"].asString());
}

void CTavimondMouseDevice::SetLightTableIndex(int index) {
    CTavimondUSBDevice::SetLightTableIndex(index);
    m_profile.SetLightTableIndex(index);
    m_profile.SetDeviceIndex(0);
}

void CTavimondMouseDevice::SetLightInfo(const LightInfo& info) {
    m_profile.SetLightInfo(info);
    Engine().ApplyLightInfo(info);
}

// ---- key assignments and macros ----

std::vector<int> CTavimondMouseDevice::GetMacroList() {
    const size_t macroCount = MacroCount();
    std::vector<int> list;
    for (int button = 0; button < kButtons && button < static_cast<int>(m_keys.size()); ++button) {
        if (ButtonMap().SlotOf(button) == MouseButtonMap::kNone) continue;
        const KeyFunction& f = m_keys[button].current;
        if (!IsMacroFunction(f) || f.first >= macroCount) continue;
        if (std::find(list.begin(), list.end(), f.first) == list.end()) list.push_back(f.first);
    }
    return list;
}

int CTavimondMouseDevice::WriteKeyAssignments(int bank, const std::vector<KeyEntry>& keys) {
    return Mouse().WriteKeyAssignments(bank, keys, MacroCount());
}

int CTavimondMouseDevice::ApplyKeyAssignments() {
    return WriteKeyAssignments(0, m_keys);
}

int CTavimondMouseDevice::WriteMacroMemory(const std::vector<int>& macros) {
    m_macroEventsOver = 0;
    const MacroFiles files = Macros();
    const std::vector<MacroListEntry> list = files.LoadList();
    if (macros.empty() || list.empty()) return kLinkOk;
    std::vector<MacroSlotEvents> macroEvents;
    for (int number : macros) {
        MacroSlotEvents events;
        if (number >= 0 && size_t(number) < list.size()) {
            for (const MacroEvent& e : files.LoadEvents(list[size_t(number)].guid)) {
                events.push_back(
                    {e.delay, static_cast<uint8_t>(e.type), e.down, static_cast<uint8_t>(e.button)});
            }
        }
        macroEvents.push_back(std::move(events));
    }
    const int written = Mouse().WriteMacroMemory(macroEvents);
    m_macroEventsOver = Mouse().EventsOver();
    return written;
}

void CTavimondMouseDevice::PruneMacroAssignments() {
    const size_t macroCount = MacroCount();
    bool changed = false;
    for (KeyEntry& key : m_keys) {
        if (!IsMacroFunction(key.current) || key.current.first < macroCount) continue;
        const uint16_t position = key.current.position;
        key.current = key.defaults;
        key.current.position = position;
        changed = true;
    }
    if (!changed) return;
    m_profile.SetKeyList(m_keys);
    SaveProfile();
    RefreshPage();
}

// ---- recoil data ----

int CTavimondMouseDevice::UploadShootData() {
    const int written = Mouse().WriteShootData(LoadShootEvents(DataFolder()));
    m_shootEventsOver = Mouse().EventsOver();
    return written;
}

// ---- settings block ----

int CTavimondMouseDevice::WriteSettings(int profile, int, int flag, int screenWidth, int screenHeight) {
    MouseBlockSource source;
    source.stages = m_profile.GetDpiStages();
    source.system = m_profile.GetMouseSystemStages();
    source.activeStage = m_profile.GetActiveStage();
    source.light = m_profile.GetLightInfo();
    source.presets = m_profile.GetCorrectInfo();
    source.screenWidth = static_cast<uint16_t>(std::clamp(screenWidth, 0, 0xFFFF));
    source.screenHeight = static_cast<uint16_t>(std::clamp(screenHeight, 0, 0xFFFF));
    return Mouse().WriteSettings(source, m_lightNames.ModeCodes(), profile, flag);
}

void CTavimondMouseDevice::SendCurrentSettings() {
    const QSize screen = ScreenSize();
    WriteSettings(0, 0, 1, screen.width(), screen.height());
}

void CTavimondMouseDevice::StoreSettingsAndSend() {
    StoreSettingsAndSend(SettingsSnapshot());
}

void CTavimondMouseDevice::StoreSettingsAndSend(const Json::Value& before) {
    m_profile.SetDpiStages(m_stages);
    m_profile.SetMouseSystemStages(m_system);
    const QSize screen = ScreenSize();
    const int written = WriteSettings(0, 0, 1, screen.width(), screen.height());
    SaveProfile();
    RefreshPage();
    ConfirmSettingsWrite(written, before);
}

// ---- notification events ----

void CTavimondMouseDevice::HandleNotifyEvent(uint16_t code, bool wireless) {
    if (code == kEventClick) {
        if (!wireless) TriggerReactive();
        return;
    }
    const auto change = DeviceProtocol::DecodeProfileChange(code);
    if (!change) {
        CTavimondUSBDevice::HandleNotifyEvent(code, wireless);
        return;
    }
    if (!m_commandLink.IsConnected()) return;
    m_current.profile = change->profile;
    if (change->extra) {
        const uint8_t stage = *change->extra;
        m_current.SetActiveStage(stage);
        // The page shows the stage the user switched to on the mouse.
        if (InStageRange(stage)) {
            m_profile.SetActiveStage(stage);
            SaveProfile();
        }
    }
    RefreshPage();
}

void CTavimondMouseDevice::TriggerReactive() {
    MouseEngine().TriggerReactive();
}

// ---- lighting frame ----

void CTavimondMouseDevice::SetPanelLightButtons(const std::vector<CDeviceKeyButtonUI*>& buttons) {
    m_panelLightButtons.assign(buttons.begin(), buttons.end());
}

void CTavimondMouseDevice::PaintPanelButtons() {
    const int count = std::min<int>(static_cast<int>(m_panelLightButtons.size()), Engine().LedCount());
    for (int i = 0; i < count; ++i) {
        CDeviceKeyButtonUI* button = m_panelLightButtons[size_t(i)].data();
        if (button == nullptr) continue;
        const vx::lighting::LedEntry entry = Engine().GetLed(i);
        button->SetLight(ButtonColour(entry), entry.brightness, true);
    }
}

void CTavimondMouseDevice::LightingFrame() {
    if (!GetSoftwareLighting()) return;
    PaintPanelButtons();
    if (m_preview && m_picture) m_picture->update();
    if (m_previewButton && m_selectedLed >= 0 && m_selectedLed < Engine().LedCount()) {
        const vx::lighting::LedEntry entry = Engine().GetLed(m_selectedLed);
        m_previewButton->SetLight(ButtonColour(entry), entry.brightness, true);
    }
    PaintAndStream(nullptr, 0);
}

// ---- page ----

void CTavimondMouseDevice::Initialise() {
    RegisterForNotifications();
    if (m_layoutPath.isEmpty()) {
        CTavimondUSBDevice::Initialise();
        return;
    }
    BuildPage();
}

void CTavimondMouseDevice::BuildPage() {
    if (!BuildLayout()) return;
    m_picture = CPaintManagerUI::FindSubControlByName(m_page, QStringLiteral("mouse_device_key_light"));
    if (!m_picture) m_picture = m_page->findChild<CSelectPanelUI*>();
    BindKeyButtons(m_picture);
    FindControls();
    ApplyCapability();
}

void CTavimondMouseDevice::FindControls() {
    auto find = [this](const QString& name) { return CPaintManagerUI::FindSubControlByName(m_page, name); };
    for (int i = 0; i < kDpiStages; ++i) {
        const QString n = QString::number(i);
        DpiControls& c = m_dpiControls[size_t(i)];
        c.slider = qobject_cast<CSliderUI*>(find("DPI_slider_" + n));
        c.edit = qobject_cast<CEditUI*>(find("DPI_edit_" + n));
        c.enable = qobject_cast<COptionUI*>(find("DPI_enable_check_" + n));
        c.select = qobject_cast<COptionUI*>(find("DPI_select_check_" + n));
        c.colour = qobject_cast<CButtonUI*>(find("DPI_color_option_" + n));
        // Five rows of the same controls: each is named with its stage for screen readers.
        ui::SetAccessibleName(c.slider, QStringLiteral("dpi_stage_slider_name"), QString::number(i + 1));
        ui::SetAccessibleName(c.edit, QStringLiteral("dpi_stage_edit_name"), QString::number(i + 1));
    }
    for (int i = 0; i < kReportRates; ++i)
        m_pollingOptions[size_t(i)] =
            qobject_cast<COptionUI*>(find("polling_rate_option_" + QString::number(i)));
    for (int i = 0; i < kSettingsOptions; ++i) {
        m_settingsOptions[size_t(i)] =
            qobject_cast<COptionUI*>(find("mouse_device_seting_option_" + QString::number(i)));
    }
    for (int i = 0; i < kFunctionTabs; ++i)
        m_functionOptions[size_t(i)] =
            qobject_cast<COptionUI*>(find("mouse_function_option_" + QString::number(i)));
    m_settingsSwitch = qobject_cast<CTabLayoutUI*>(find("mouse_device_seting_switch"));
    m_pointerSpeed = qobject_cast<CSliderUI*>(find("pointer_speed_slider"));
    m_pointerPrecision = qobject_cast<COptionUI*>(find("pointer_precision_check"));
    m_scrollsPage = qobject_cast<COptionUI*>(find("scrolls_page_check"));
    m_scrollSpeed = qobject_cast<CSliderUI*>(find("scroll_speed_slider"));
    m_doubleClick = qobject_cast<CSliderUI*>(find("double_click_slider"));
    m_previewButton = qobject_cast<CDeviceKeyButtonUI*>(find("mouse_light_preview"));
    if (m_pointerSpeed) m_pointerSpeed->setRange(kPointerSpeedMin, kPointerSpeedMax);
    if (m_scrollSpeed) m_scrollSpeed->setRange(kScrollLinesMin, kScrollLinesMax);
    if (m_doubleClick) m_doubleClick->setRange(kDoubleClickMin, kDoubleClickMax);
}

void CTavimondMouseDevice::RefreshPage() {
    ShowKeyButtons();
    ShowDpiControls();
    ShowSystemControls();
    ShowLightRecords(false);
}

void CTavimondMouseDevice::ShowKeyButtons() {
    for (int button = 0; button < kButtons; ++button) {
        CDeviceKeyButtonUI* control = KeyButton(button);
        if (control == nullptr) continue;
        const bool assigned = button < static_cast<int>(m_keys.size()) &&
                              !m_keys[button].current.SameFunction(m_keys[button].defaults);
        control->SetKeySetImageHidden(!assigned);
        control->SetSelected(button == m_selectedKey);
    }
}

void CTavimondMouseDevice::ShowDpiControls() {
    const int active = m_profile.GetActiveStage();
    for (int i = 0; i < kDpiStages && i < static_cast<int>(m_stages.size()); ++i) {
        const DpiStage& stage = m_stages[size_t(i)];
        ShowDpiStage(i, stage.dpiX);
        DpiControls& c = m_dpiControls[size_t(i)];
        if (c.enable) c.enable->Selected(stage.active != 0);
        if (c.select) c.select->Selected(i == active);
        if (c.colour) ui::SetBkColor(c.colour, qRgb(stage.red, stage.green, stage.blue));
    }
}

void CTavimondMouseDevice::ShowSystemControls() {
    const int rate = m_system.reportStage < kReportRates ? m_system.reportStage : 0;
    for (int i = 0; i < kReportRates; ++i) {
        if (m_pollingOptions[size_t(i)]) m_pollingOptions[size_t(i)]->Selected(i == rate);
    }
    if (m_pointerSpeed) m_pointerSpeed->SetValue(m_system.mouseSpeed);
    if (m_pointerPrecision) m_pointerPrecision->Selected(m_system.pointerPrecision != 0);
    if (m_scrollsPage) m_scrollsPage->Selected(m_system.scorllPage != 0);
    if (m_scrollSpeed) m_scrollSpeed->SetValue(m_system.wheelScorlllinse);
    if (m_doubleClick) m_doubleClick->SetValue(m_system.doubleClickTime);
}

void CTavimondMouseDevice::ShowDpiStage(int stage, int dpi) {
    if (!InStageRange(stage)) return;
    DpiControls& c = m_dpiControls[size_t(stage)];
    if (c.slider) c.slider->SetValue(m_dpiScale.DpiToSlider(dpi));
    if (c.edit) ui::SetText(c.edit, QString::number(dpi));
}

void CTavimondMouseDevice::EnableDpiStage(int stage, bool enabled) {
    if (!InStageRange(stage)) return;
    EnsureFiveStages();
    m_stages[size_t(stage)].active = enabled ? 1 : 0;
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SelectDpiStage(int stage) {
    if (!InStageRange(stage)) return;
    EnsureFiveStages();
    // The sliders may hold values the stage list has not taken yet (a drag without release).
    for (int i = 0; i < kDpiStages; ++i) {
        const DpiControls& c = m_dpiControls[size_t(i)];
        if (!c.slider) continue;
        const int dpi = m_dpiScale.SliderToDpi(c.slider->GetValue());
        m_stages[size_t(i)].dpiX = static_cast<uint16_t>(dpi);
        m_stages[size_t(i)].dpiY = static_cast<uint16_t>(dpi);
    }
    const Json::Value before = SettingsSnapshot();
    m_profile.SetActiveStage(stage);
    StoreSettingsAndSend(before);
}

void CTavimondMouseDevice::SetDpiStageColour(int stage, uint8_t red, uint8_t green, uint8_t blue) {
    if (!InStageRange(stage)) return;
    EnsureFiveStages();
    DpiStage& s = m_stages[size_t(stage)];
    s.red = red;
    s.green = green;
    s.blue = blue;
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::CommitDpiSlider(int stage) {
    if (!InStageRange(stage) || !m_dpiControls[size_t(stage)].slider) return;
    EnsureFiveStages();
    const int dpi = m_dpiScale.SliderToDpi(m_dpiControls[size_t(stage)].slider->GetValue());
    m_stages[size_t(stage)].dpiX = static_cast<uint16_t>(dpi);
    m_stages[size_t(stage)].dpiY = static_cast<uint16_t>(dpi);
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::CommitDpiEdit(int stage) {
    if (!InStageRange(stage) || !m_dpiControls[size_t(stage)].edit) return;
    EnsureFiveStages();
    const QString text = ui::GetText(m_dpiControls[size_t(stage)].edit).trimmed();
    // The typed value snaps to the scale: the stage gets the DPI its slider position shows.
    const int dpi = m_dpiScale.SliderToDpi(m_dpiScale.TextToSlider(text.toStdU16String()));
    // Enter and then leaving the box both commit; the second finds nothing new to send.
    if (m_stages[size_t(stage)].dpiX == dpi && m_stages[size_t(stage)].dpiY == dpi) {
        ShowDpiStage(stage, dpi);
        return;
    }
    m_stages[size_t(stage)].dpiX = static_cast<uint16_t>(dpi);
    m_stages[size_t(stage)].dpiY = static_cast<uint16_t>(dpi);
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SetPollingRate(int option) {
    m_system.reportStage = static_cast<uint16_t>(option >= 0 && option < kReportRates ? option : 0);
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SetPointerSpeed(int value) {
    m_system.mouseSpeed = static_cast<uint16_t>(std::clamp(value, kPointerSpeedMin, kPointerSpeedMax));
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SetPointerPrecision(bool on) {
    m_system.pointerPrecision = on ? 1 : 0;
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SetScrollsPage(bool on) {
    m_system.scorllPage = on ? 1 : 0;
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SetScrollLines(int value) {
    m_system.wheelScorlllinse = static_cast<uint16_t>(std::clamp(value, kScrollLinesMin, kScrollLinesMax));
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SetDoubleClickTime(int value) {
    m_system.doubleClickTime = static_cast<uint16_t>(std::clamp(value, kDoubleClickMin, kDoubleClickMax));
    StoreSettingsAndSend();
}

void CTavimondMouseDevice::SelectSettingsOption(int option) {
    if (option < 0 || option >= kSettingsOptions) return;
    for (int i = 0; i < kSettingsOptions; ++i) {
        if (m_settingsOptions[size_t(i)]) m_settingsOptions[size_t(i)]->Selected(i == option);
    }
    if (m_settingsSwitch) m_settingsSwitch->SelectItem(option);
}

void CTavimondMouseDevice::SetFunctionPage(int type) {
    CTavimondUSBDevice::SetFunctionPage(type);
    const auto tab = std::find(kFunctionTabTypes.begin(), kFunctionTabTypes.end(), type);
    // The other types open the key page (tab 0) as the base does.
    const size_t shown = tab == kFunctionTabTypes.end() ? 0 : size_t(tab - kFunctionTabTypes.begin());
    for (size_t i = 0; i < m_functionOptions.size(); ++i) {
        if (m_functionOptions[i]) m_functionOptions[i]->Selected(i == shown);
    }
}

void CTavimondMouseDevice::SelectKey(int key) {
    CTavimondUSBDevice::SelectKey(key);
    ShowKeyButtons();
}

// ---- handlers of the page's controls ----

void CTavimondMouseDevice::OnDpiEnableCheck(const ControlEvent& event) {
    EnableDpiStage(event.index, event.checked);
}

void CTavimondMouseDevice::OnDpiSelectCheck(const ControlEvent& event) {
    if (event.checked) SelectDpiStage(event.index);
}

void CTavimondMouseDevice::OnPollingRateOption(const ControlEvent& event) {
    if (event.checked) SetPollingRate(event.index);
}

void CTavimondMouseDevice::OnSettingsOption(const ControlEvent& event) {
    if (event.checked) SelectSettingsOption(event.index);
}

void CTavimondMouseDevice::OnFunctionOption(const ControlEvent& event) {
    if (event.checked && event.index >= 0 && event.index < kFunctionTabs)
        SetFunctionPage(kFunctionTabTypes[size_t(event.index)]);
}

void CTavimondMouseDevice::OnPointerPrecisionCheck(const ControlEvent& event) {
    SetPointerPrecision(event.checked);
}

void CTavimondMouseDevice::OnScrollsPageCheck(const ControlEvent& event) {
    SetScrollsPage(event.checked);
}

void CTavimondMouseDevice::OnDpiSlider(const ControlEvent& event) {
    CommitDpiSlider(event.index);
}

void CTavimondMouseDevice::OnDpiSliderDrag(const ControlEvent& event) {
    if (!InStageRange(event.index)) return;
    const DpiControls& controls = m_dpiControls[size_t(event.index)];
    if (controls.slider) ui::SetText(controls.edit, QString::number(m_dpiScale.SliderToDpi(controls.slider->GetValue())));
}

void CTavimondMouseDevice::OnDpiEdit(const ControlEvent& event) {
    CommitDpiEdit(event.index);
}

void CTavimondMouseDevice::OnPointerSpeedSlider(const ControlEvent& event) {
    SetPointerSpeed(static_cast<int>(event.param));
}

void CTavimondMouseDevice::OnScrollSpeedSlider(const ControlEvent& event) {
    SetScrollLines(static_cast<int>(event.param));
}

void CTavimondMouseDevice::OnDoubleClickSlider(const ControlEvent& event) {
    SetDoubleClickTime(static_cast<int>(event.param));
}

}  // namespace vx::devices
