#include "devices/TavimondUSBDevice.h"

#include "profiles/BasicProfiledata.h"

#include <QObject>
#include <QWidget>
#include <algorithm>
#include <filesystem>

#include "devices/NotifyReader.h"
#include "devices/PowerDisplay.h"
#include "devices/lighting/LightingEngine.h"
#include "devices/lighting/LightingThread.h"
#include "devices/lighting/MousePadLightingEngine.h"
#include "devices/lighting/StreamBuffer.h"
#include "devices/LightRecordView.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/MacroFiles.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"

using vx::widgets::CDeviceKeyButtonUI;
using vx::widgets::CDialogBuilder;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CTabLayoutUI;
using vx::widgets::CWindowMessages;
using vx::widgets::TNotifyUI;
using vx::widgets::WindowHandle;
namespace ui = vx::widgets::ui;

namespace vx::devices {

using vx::link::HidLink;
using vx::link::StatusRecord;
using vx::platform::DebugLog;
using vx::profiles::CBasicProfiledata;
using vx::profiles::DeviceDataFolder;
using vx::profiles::EqualsIgnoreCase;
using vx::profiles::IsSafeFileName;
using vx::profiles::KeyEntry;
using vx::profiles::KeyFunction;
using vx::profiles::SplitNameIndex;
using vx::profiles::Utf8ToWide;

uint32_t CTavimondUSBDevice::ClockProxy::NowMs() const {
    const vx::lighting::LightingClock* clock = target.load(std::memory_order_acquire);
    return clock ? clock->NowMs() : steady.NowMs();
}

CTavimondUSBDevice::CTavimondUSBDevice()
    : CTavimondUSBDevice(std::make_unique<vx::lighting::MousePadLightingEngine>(0)) {}

CTavimondUSBDevice::CTavimondUSBDevice(std::unique_ptr<vx::lighting::LightingEngine> engine)
    : m_protocol(std::make_unique<vx::devices::DeviceProtocol>(m_commandLink)), m_engine(std::move(engine)) {
    m_lightingThread = std::make_unique<vx::lighting::LightingThread>(
        *m_engine, m_clockProxy,
        vx::lighting::LightingThread::Hooks{[this] { return m_commandLink.IsConnected(); },
                                            [this] { return m_commandLink.IsHeld(); }});
    RegisterMessageTarget();
    m_worker.Start();
}

CTavimondUSBDevice::~CTavimondUSBDevice() {
    StopDeviceWork();
    CloseNotifyInterface(false);
    CloseNotifyInterface(true);
    m_lightingThread->Stop();
    if (m_selfHandle != 0) CWindowMessages::Unregister(m_selfHandle);
    if (m_registeredForNotify && m_paintManager) m_paintManager->RemoveNotifier(this);
    // The UI tree may own the page already (it was added to a tab layout); a page still without
    // parent is ours.
    if (m_page && m_page->parent() == nullptr) delete m_page.data();
}

void CTavimondUSBDevice::RegisterMessageTarget() {
    m_messageTarget = std::make_unique<QObject>();
    m_selfHandle = CWindowMessages::Register(m_messageTarget.get(),
                                             [this](uint message, quintptr wParam, qintptr lParam) {
                                                 return OnPageMessage(message, wParam, lParam);
                                             });
}

qintptr CTavimondUSBDevice::OnPageMessage(uint message, quintptr wParam, qintptr lParam) {
    if (message == kMsgNotifyEvent) {
        HandleNotifyEvent(static_cast<uint16_t>(wParam), lParam != 0);
        return 1;
    }
    return 0;
}

void CTavimondUSBDevice::Notify(TNotifyUI&) {}

// ---- virtual operations ----

void CTavimondUSBDevice::Initialise() {
    if (m_layoutPath.isEmpty()) {
        for (auto& button : m_keyButtons) button = nullptr;
        for (auto& button : m_lightButtons) button = nullptr;
        return;
    }
    if (!BuildLayout()) return;
    BindKeyButtons(CPaintManagerUI::FindSubControlByName(m_page, QStringLiteral("SelectPanel")));
}

bool CTavimondUSBDevice::BuildLayout() {
    if (m_page) return true;
    QWidget* root = CDialogBuilder::Create(m_layoutPath, m_builderCallback, nullptr);
    if (root == nullptr) {
        DebugLog("device page layout not built: " + CDialogBuilder::LastError().toStdString());
        return false;
    }
    m_page = root;
    // Every page carries panels with the same option groups; a choice on one page must not clear
    // another page's.
    COptionUI::SetGroupScope(root);
    return true;
}

void CTavimondUSBDevice::BindKeyButtons(QWidget* container) {
    if (container == nullptr) return;
    const auto buttons = container->findChildren<CDeviceKeyButtonUI*>();
    for (CDeviceKeyButtonUI* button : buttons) {
        std::string prefix;
        int32_t index = 0;
        if (!SplitNameIndex(button->objectName().toStdString(), prefix, index)) continue;
        const std::u16string wide = Utf8ToWide(prefix);
        if (EqualsIgnoreCase(wide, u"key_")) {
            if (index >= 0 && index < static_cast<int>(m_keyButtons.size())) m_keyButtons[index] = button;
        } else if (EqualsIgnoreCase(wide, u"light_")) {
            if (index >= 0 && index < static_cast<int>(m_lightButtons.size())) {
                m_lightButtons[index] = button;
                button->SetLight(0xFFFFFF, 255, true);
            }
        }
    }
    NameKeyButtons();
}

void CTavimondUSBDevice::NameKeyButtons() {
    // Screen readers and desktop automation find a key by its name: a cap is named by its label
    // (Qt takes a button's text), a button without one by its key or LED number. An LED under a
    // labelled cap of the same number takes the cap's label.
    for (size_t i = 0; i < m_keyButtons.size(); ++i) {
        CDeviceKeyButtonUI* key = m_keyButtons[i].data();
        if (key && key->text().trimmed().isEmpty() && key->toolTip().isEmpty() && key->accessibleName().isEmpty())
            ui::SetAccessibleName(key, QStringLiteral("key_button_name"), QString::number(i + 1));
    }
    for (size_t i = 0; i < m_lightButtons.size(); ++i) {
        CDeviceKeyButtonUI* led = m_lightButtons[i].data();
        if (!led || !led->accessibleName().isEmpty()) continue;
        const CDeviceKeyButtonUI* key = i < m_keyButtons.size() ? m_keyButtons[i].data() : nullptr;
        const QString label = key ? key->text().trimmed() : QString();
        ui::SetAccessibleName(led, QStringLiteral("led_button_name"), label.isEmpty() ? QString::number(i + 1) : label);
    }
}

int CTavimondUSBDevice::LoadLightingState() {
    return 0;
}

void CTavimondUSBDevice::LightingFrame() {
    if (!m_softwareLighting.load()) return;
    PaintAndStream(nullptr, 0);
}

void CTavimondUSBDevice::PaintAndStream(const uint8_t* keyLedMap, size_t mapSize) {
    const vx::lighting::LedFrame& frame = m_engine->Frame();
    const int count = frame.Count();
    for (int i = 0; i < count; ++i) {
        CDeviceKeyButtonUI* button = LightButton(i);
        if (button == nullptr || !ui::IsVisible(button)) continue;
        const vx::lighting::LedEntry entry = frame.Get(i);
        button->SetLight(ButtonColour(entry), entry.brightness, true);
    }
    if (!m_engine->IsSoftwareDriven()) return;
    vx::lighting::StreamBuffer buffer;
    if (keyLedMap != nullptr)
        buffer.Build(frame, keyLedMap, mapSize);
    else
        buffer.Build(frame);
    const size_t length = std::min(vx::lighting::StreamBuffer::Length(GetDeviceInfo().KeySlots()), m_pendingFrame.size());
    {
        std::lock_guard lock(m_frameMutex);
        std::copy_n(buffer.Data(), length, m_pendingFrame.begin());
        m_pendingFrameLength = length;
    }
    // A frame the worker has not taken yet is replaced by this one: a slow device costs frames,
    // never the window's time.
    m_worker.Post(DeviceWorker::Task::Frame, [this] { SendLatestFrame(); });
}

bool CTavimondUSBDevice::FramePaused() {
    if (!m_framePaused) return false;
    // Signed difference: the millisecond clock wraps after 49 days.
    if (static_cast<int32_t>(m_clockProxy.NowMs() - m_framePauseUntilMs) < 0) return true;
    m_framePaused = false;
    return false;
}

void CTavimondUSBDevice::SendLatestFrame() {
    std::array<uint8_t, 512> bytes;
    size_t length = 0;
    {
        std::lock_guard lock(m_frameMutex);
        length = m_pendingFrameLength;
        std::copy_n(m_pendingFrame.begin(), length, bytes.begin());
    }
    // Frames that fall into the pause after a failed one are skipped.
    if (FramePaused()) return;
    const int status = m_streamRule.Stream(m_commandLink.IsWireless(), [&] {
        return SendStreamFrame(std::span<const uint8_t>(bytes.data(), length));
    });
    const bool failed = status != 1;
    m_lastFrameFailed.store(failed);
    if (failed) StartFramePause();
}

void CTavimondUSBDevice::StartFramePause() {
    m_framePaused = true;
    m_framePauseUntilMs = m_clockProxy.NowMs() + kFailedFramePauseMs;
}

int CTavimondUSBDevice::SendStreamFrame(std::span<const uint8_t> bytes) {
    return m_protocol->StreamFrame(bytes);
}

void CTavimondUSBDevice::StopDeviceWork() {
    m_worker.Stop(1000);
}

void CTavimondUSBDevice::RequestPresenceCheck() {
    if (m_worker.Busy(DeviceWorker::Task::Presence)) return;
    m_presence.store(-1);
    m_worker.Post(DeviceWorker::Task::Presence, [this] { m_presence.store(IsReachable() ? 1 : 0); });
}

void CTavimondUSBDevice::RequestPowerRead() {
    m_worker.Post(DeviceWorker::Task::Power, [this] {
        StatusRecord record;
        if (!FetchPower(&record)) return;
        std::lock_guard lock(m_resultsMutex);
        m_powerRead = record;
    });
}

void CTavimondUSBDevice::RequestSettingsReread() {
    BeforeReread();
    m_worker.Post(DeviceWorker::Task::Reread, [this] {
        std::vector<uint8_t> raw;
        if (!FetchReread(&raw)) return;
        std::lock_guard lock(m_resultsMutex);
        m_settingsRead = std::move(raw);
    });
}

void CTavimondUSBDevice::ShowDeviceResults() {
    std::optional<StatusRecord> power;
    std::optional<std::vector<uint8_t>> settings;
    {
        std::lock_guard lock(m_resultsMutex);
        power.swap(m_powerRead);
        settings.swap(m_settingsRead);
    }
    if (power) ShowPower(*power);
    if (settings) ApplyReread(*settings);
}

bool CTavimondUSBDevice::FetchPower(StatusRecord*) {
    return false;
}

void CTavimondUSBDevice::ShowPower(const StatusRecord&) {}

void CTavimondUSBDevice::SetLed(int index, uint32_t entry) {
    if (index < 0) return;
    m_engine->SetLed(index, vx::lighting::LedEntry::Unpack(entry));
}

uint32_t CTavimondUSBDevice::GetLed(int index) const {
    return m_engine->GetLed(index).Pack();
}

void CTavimondUSBDevice::OnConnected() {}

int CTavimondUSBDevice::RefreshFromDevice() {
    return 0;
}

void CTavimondUSBDevice::OnTimerA() {}

void CTavimondUSBDevice::OnTimerB() {}

void CTavimondUSBDevice::ReadPower() {
    StatusRecord record;
    if (FetchPower(&record)) ShowPower(record);
}

bool CTavimondUSBDevice::IsReachable() {
    return true;
}

int CTavimondUSBDevice::LoadProfile() {
    return 0;
}

void CTavimondUSBDevice::RefreshPage() {}

void CTavimondUSBDevice::ShowLightRecords(bool withAudio, int customGroup) {
    if (!m_page) return;
    for (QWidget* child : m_page->findChildren<QWidget*>()) {
        auto* view = dynamic_cast<ILightRecordView*>(child);
        if (view == nullptr) continue;
        view->ShowLightRecord(GetLightInfo());
        if (withAudio) view->ShowAudioLightRecord(GetAudioLightInfo());
        if (customGroup >= 0) view->ShowCustomGroup(customGroup);
        return;
    }
}

void CTavimondUSBDevice::PruneMacroAssignments() {}

void CTavimondUSBDevice::ResetToProfile() {}

std::vector<int> CTavimondUSBDevice::GetMacroList() {
    return {};
}

int CTavimondUSBDevice::WriteKeyAssignments(int, const std::vector<KeyEntry>&) {
    return 0;
}

int CTavimondUSBDevice::ApplyKeyAssignments() {
    return 0;
}

int CTavimondUSBDevice::WriteMacroMemory(const std::vector<int>&) {
    return 0;
}

int CTavimondUSBDevice::WriteSettings(int, int, int, int, int) {
    return 0;
}

void CTavimondUSBDevice::LoadPageLists() {}

void CTavimondUSBDevice::SetKeyMap(std::span<const uint8_t> map) {
    m_keyMap.assign(map.begin(), map.end());
}

void CTavimondUSBDevice::SetFunctionPage(int type) {
    m_functionPage = type;
    switch (type) {
        case functionpage::kKeySet:
        case functionpage::kKeySetAlt:
            SelectFunctionTabs(0, 1);
            break;
        case functionpage::kLighting:
        case functionpage::kLightingAlt:
            SelectFunctionTabs(1, -1);
            break;
        case functionpage::kMacro:
            if (m_typeCode == kTypeKeyboard || m_typeCode == kTypeMouse)
                SelectFunctionTabs(3, -1);
            else
                SelectFunctionTabs(0, 2);
            break;
        case functionpage::kMacroAlt:
            SelectFunctionTabs(0, 2);
            break;
        case functionpage::kSettings:
            SelectFunctionTabs(2, -1);
            break;
        default:
            SelectFunctionTabs(0, 0);
            break;
    }
}

void CTavimondUSBDevice::SelectFunctionTabs(int functionTab, int keyFunctionTab) {
    if (!m_functionTabsLooked && m_page) {
        m_functionTabsLooked = true;
        m_functionSwitch = CPaintManagerUI::FindSubControl<CTabLayoutUI>(m_page, "device_function_switch");
        m_keyFunctionSwitch =
            CPaintManagerUI::FindSubControl<CTabLayoutUI>(m_page, "device_key_function_switch");
    }
    if (m_functionSwitch && functionTab >= 0) m_functionSwitch->SelectItem(functionTab);
    if (m_keyFunctionSwitch && keyFunctionTab >= 0) m_keyFunctionSwitch->SelectItem(keyFunctionTab);
}

void CTavimondUSBDevice::LoadProfileFile() {}

std::u16string CTavimondUSBDevice::GetProfileName() {
    return {};
}

// Every page keeps its profile in a profile-data object of its class; saving is the same for all.
void CTavimondUSBDevice::SaveProfile() {
    if (CBasicProfiledata* profile = GetProfileData()) profile->SaveProfile();
}

void CTavimondUSBDevice::SetLightTableIndex(int index) {
    m_lightTableIndex = index;
}

void CTavimondUSBDevice::SetLightInfo(const LightInfo& info) {
    m_engine->SetLightInfo(info);
}

LightInfo CTavimondUSBDevice::GetLightInfo() const {
    return m_engine->GetLightInfo();
}

void CTavimondUSBDevice::SetAudioLightInfo(const AudioLightInfo& info) {
    m_audioLightInfo = info;
}

AudioLightInfo CTavimondUSBDevice::GetAudioLightInfo() {
    return m_audioLightInfo;
}

void CTavimondUSBDevice::SelectKey(int key) {
    m_selectedKey = key;
    ShowSelectedKeyAssignment();
}

void CTavimondUSBDevice::ShowSelectedKeyAssignment() {
    KeyEntry entry;
    if (IKeyAssignmentView* view = KeyAssignmentView(); view && GetKeyEntry(m_selectedKey, &entry))
        view->SetKeyAssignment(entry);
}

// ---- key assignments and macros ----

IKeyAssignmentView* CTavimondUSBDevice::KeyAssignmentView() const {
    if (!m_page) return nullptr;
    for (QWidget* child : m_page->findChildren<QWidget*>()) {
        if (auto* view = dynamic_cast<IKeyAssignmentView*>(child)) return view;
    }
    return nullptr;
}

bool CTavimondUSBDevice::GetKeyEntry(int key, KeyEntry* entry) {
    const std::vector<KeyEntry>* keys = PageKeyList();
    if (keys == nullptr || key < 0 || key >= static_cast<int>(keys->size())) return false;
    *entry = (*keys)[static_cast<size_t>(key)];
    return true;
}

bool CTavimondUSBDevice::StoreKeyAssignment(const KeyFunction& function) {
    std::vector<KeyEntry>* keys = PageKeyList();
    CBasicProfiledata* profile = GetProfileData();
    if (keys == nullptr || profile == nullptr || m_selectedKey < 0 || m_selectedKey >= static_cast<int>(keys->size()))
        return false;
    KeyFunction& current = (*keys)[static_cast<size_t>(m_selectedKey)].current;
    // The key's position in the list is the page's, whatever the panel carried.
    const uint16_t position = current.position;
    current = function;
    current.position = position;
    profile->SetKeyList(*keys);
    RefreshPage();
    return true;
}

int CTavimondUSBDevice::WriteKeyListToDevice() {
    if (PageKeyList() == nullptr) return kKeyListNotTaken;
    const int macros = WriteMacroMemory(GetMacroList());
    if (macros == vx::devices::kWriteTooLarge) return static_cast<int>(std::max<size_t>(MacroEventsOverLimit(), 1));
    if (macros != vx::link::kLinkOk) return kKeyListNotTaken;
    return ApplyKeyAssignments() == vx::link::kLinkOk ? kKeyListWritten : kKeyListNotTaken;
}

bool CTavimondUSBDevice::RemoveMacroFromAllProfiles(uint8_t macro) {
    std::vector<KeyEntry>* keys = PageKeyList();
    CBasicProfiledata* profile = GetProfileData();
    if (keys == nullptr || profile == nullptr) return false;
    // Every profile file of the device lies in its data folder as identifier + ".Json"; the one
    // the page has loaded is changed in memory and saved from there, so that the page never
    // writes its stale copy over the file later.
    const std::filesystem::path own = profile->GetProfilePath();
    std::vector<std::filesystem::path> others;
    std::error_code ec;
    const std::filesystem::path folder = MacroFolder();
    if (!folder.empty()) {
        for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
            const std::filesystem::path& path = item.path();
            if (path.extension() != ".Json" || !item.is_regular_file(ec)) continue;
            if (std::filesystem::equivalent(path, own, ec)) continue;
            others.push_back(path);
        }
    }
    vx::profiles::RemoveMacroFromProfiles(*profile, others, macro);
    if (!vx::profiles::RemoveMacroFromKeyList(*keys, macro)) return false;
    profile->SetKeyList(*keys);
    SaveProfile();
    return true;
}

void CTavimondUSBDevice::PanelHookSink::OnSingleKey(uint32_t message, const vx::platform::KeyboardEventRecord& record) {
    for (vx::platform::IHookEventSink* panel : Panels()) panel->OnSingleKey(message, record);
}

void CTavimondUSBDevice::PanelHookSink::OnRecordKey(int target, uint32_t message,
                                                    const vx::platform::KeyboardEventRecord& record) {
    for (vx::platform::IHookEventSink* panel : Panels()) panel->OnRecordKey(target, message, record);
}

void CTavimondUSBDevice::PanelHookSink::OnRecordMouse(int target, uint32_t message,
                                                      const vx::platform::MouseEventRecord& record) {
    for (vx::platform::IHookEventSink* panel : Panels()) panel->OnRecordMouse(target, message, record);
}

std::vector<vx::platform::IHookEventSink*> CTavimondUSBDevice::PanelHookSink::Panels() const {
    std::vector<vx::platform::IHookEventSink*> panels;
    if (QWidget* root = m_page.GetPage()) {
        for (QWidget* child : root->findChildren<QWidget*>()) {
            if (auto* sink = dynamic_cast<vx::platform::IHookEventSink*>(child)) panels.push_back(sink);
        }
    }
    return panels;
}

void CTavimondUSBDevice::OnAudioLevels(const int32_t*, size_t) {}

void CTavimondUSBDevice::SetAudioParameters(const int32_t*, size_t) {}

// ---- set-up ----

void CTavimondUSBDevice::SetKeyCount(int count) {
    count = std::clamp(count, 0, kMaxKeys);
    if (count != static_cast<int>(m_keyButtons.size())) m_keyButtons.resize(count);
}

void CTavimondUSBDevice::SetLedCount(int count) {
    count = std::clamp(count, 0, kMaxLeds);
    if (count != static_cast<int>(m_lightButtons.size())) m_lightButtons.resize(count);
    // Clears every entry even when the count is unchanged.
    m_engine->SetLedCount(count);
}

void CTavimondUSBDevice::SetPowerVisible(bool visible) {
    m_powerVisible = visible;
    if (m_powerIndicator) {
        QWidget* area = CPaintManagerUI::FindSubControlByName(m_powerIndicator, "device_power_Layout");
        ui::SetVisible(area, m_powerVisible);
    }
}

void CTavimondUSBDevice::SetPowerIndicator(QWidget* indicator) {
    m_powerIndicator = indicator;
    SetPowerVisible(m_powerVisible);
}

void CTavimondUSBDevice::SetDeviceRecord(const DeviceIdentity& record) {
    m_identity = record;
    m_typeCode = record.typeCode;
    m_variant = record.variant;
}

void CTavimondUSBDevice::SetDeviceOption(QWidget* entry) {
    m_deviceOption = entry;
    if (auto* scheduler = dynamic_cast<IRereadScheduler*>(entry)) m_rereadScheduler = scheduler;
}

void CTavimondUSBDevice::SetSoftwareLighting(bool on) {
    m_softwareLighting.store(on);
    // Every switch on is told to a keyboard, even when the page's switch was already on: a
    // keyboard may drop software lighting when it takes a settings block, so the page says it
    // again after each block it writes in a streamed mode.
    if (on && m_typeCode == kTypeKeyboard) m_protocol->EnterSoftwareLighting();
}

std::string CTavimondUSBDevice::ProfilePathText() const {
    const std::filesystem::path folder = DeviceDataFolder(m_kindName);
    if (m_profileId.empty() || !IsSafeFileName(m_profileId)) return folder.string() + ".Json";
    return (folder / (m_profileId + ".Json")).string();
}

// ---- notification interfaces ----

bool CTavimondUSBDevice::OpenNotifyInterface(const std::string& path, bool wireless) {
    if (wireless && !OpensWirelessNotify()) return false;
    HidLink& link = wireless ? m_notifyLink.WirelessLink() : m_notifyLink.WiredLink();
    std::recursive_mutex& lock = wireless ? m_notifyLink.WirelessOpenLock() : m_notifyLink.TransferLock();
    std::atomic<bool>& flag = wireless ? m_wirelessNotifyOpen : m_wiredNotifyOpen;
    bool opened = false;
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        link.Close();
        opened = link.Open(path, true, true, true, false);
        flag.store(opened);
        if (!wireless) m_notifyLink.SetConnected(opened);
    }
    std::unique_ptr<NotifyReader>& reader = wireless ? m_wirelessReader : m_wiredReader;
    if (!reader) {
        const WindowHandle self = m_selfHandle;
        reader = std::make_unique<NotifyReader>(link, lock, [self, wireless](uint16_t code) {
            CWindowMessages::PostMessage(self, kMsgNotifyEvent, code, wireless ? 1 : 0);
        });
    }
    reader->Start();
    reader->Wake();
    if (opened) NotifyInterfaceOpened(path, wireless);
    return opened;
}

void CTavimondUSBDevice::CloseNotifyInterface(bool wireless) {
    NotifyInterfaceClosing(wireless);
    std::unique_ptr<NotifyReader>& reader = wireless ? m_wirelessReader : m_wiredReader;
    if (reader) reader->Stop();
    HidLink& link = wireless ? m_notifyLink.WirelessLink() : m_notifyLink.WiredLink();
    std::recursive_mutex& lock = wireless ? m_notifyLink.WirelessOpenLock() : m_notifyLink.TransferLock();
    std::lock_guard<std::recursive_mutex> guard(lock);
    link.Close();
    (wireless ? m_wirelessNotifyOpen : m_wiredNotifyOpen).store(false);
    if (!wireless) m_notifyLink.SetConnected(false);
}

bool CTavimondUSBDevice::IsNotifyOpen(bool wireless) const {
    return (wireless ? m_wirelessNotifyOpen : m_wiredNotifyOpen).load();
}

void CTavimondUSBDevice::PauseNotifyReaders() {
    if (m_wiredReader) m_wiredReader->SetPaused(true);
    if (m_wirelessReader) m_wirelessReader->SetPaused(true);
}

void CTavimondUSBDevice::ResumeNotifyReaders() {
    if (m_wiredReader) m_wiredReader->SetPaused(false);
    if (m_wirelessReader) m_wirelessReader->SetPaused(false);
}

void CTavimondUSBDevice::HandleNotifyEvent(uint16_t code, bool) {
    if (code == kEventReread) RequestReread(RereadDelayMs());
}

void CTavimondUSBDevice::RegisterForNotifications() {
    if (m_registeredForNotify || !m_paintManager) return;
    m_paintManager->AddNotifier(this);
    m_registeredForNotify = true;
}

void CTavimondUSBDevice::SendToOwner(uint message, quintptr wParam) {
    if (m_ownerWindow != 0) CWindowMessages::SendMessage(m_ownerWindow, message, wParam, 0);
}

Json::Value CTavimondUSBDevice::SettingsSnapshot() {
    const CBasicProfiledata* data = GetProfileData();
    return data ? data->GetNode() : Json::Value();
}

int CTavimondUSBDevice::ConfirmSettingsWrite(int status, const Json::Value& before) {
    if (status == 1) {
        // The device took a command on the cable, so it answers again: a stream that a stall
        // stopped runs again (the receiver's is restarted by its presence query).
        if (!m_commandLink.IsWireless()) m_streamRule.SetStopped(false, false);
        return status;
    }
    DebugLog("设备未确认写入: " + std::to_string(status));
    if (CBasicProfiledata* data = GetProfileData(); data != nullptr && !before.isNull()) {
        data->SetNode(before);
        TakeProfileRecords();
        LoadLightingState();
        SaveProfile();
    }
    RefreshPage();
    SendToOwner(kMsgDeviceNotAnswering, static_cast<quintptr>(m_kindIndex));
    return status;
}

void CTavimondUSBDevice::ShowPowerStatus(const std::array<uint8_t, 6>& status) {
    if (auto* display = dynamic_cast<IPowerDisplay*>(m_powerIndicator.data())) display->ShowStatus(status);
}

void CTavimondUSBDevice::RequestReread(int delayMs) {
    if (m_rereadScheduler != nullptr) m_rereadScheduler->ScheduleReread(delayMs);
}

// ---- lighting ----

void CTavimondUSBDevice::SetLightingClock(const vx::lighting::LightingClock* clock) {
    m_clockProxy.target.store(clock, std::memory_order_release);
}

void CTavimondUSBDevice::StartLightingThread() {
    m_lightingThread->Start();
}

int CTavimondUSBDevice::StopLightingThread() {
    const int result = m_lightingThread->Stop(1000);
    if (result == 1) DebugLog("线程退出：：对象处于激发状态");
    if (result == 0) DebugLog("线程退出：：对象处于非激发状态，超时");
    return result;
}

bool CTavimondUSBDevice::LightingThreadRunning() const {
    return m_lightingThread->Running();
}

CDeviceKeyButtonUI* CTavimondUSBDevice::KeyButton(int index) const {
    if (index < 0 || index >= static_cast<int>(m_keyButtons.size())) return nullptr;
    return m_keyButtons[index].data();
}

CDeviceKeyButtonUI* CTavimondUSBDevice::LightButton(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lightButtons.size())) return nullptr;
    return m_lightButtons[index].data();
}

}  // namespace vx::devices
