#include "app/DevicePageSet.h"

#include <QTimer>
#include <QWidget>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageFactory.h"
#include "app/DeviceSelector.h"
#include "app/MainWndMessages.h"
#include "app/MpDevicePowerUI.h"
#include "app/discovery/DeviceKinds.h"
#include "app/discovery/InterfaceSlotTable.h"
#include "devices/TavimondMouseDevice.h"
#include "devices/TavimondUSBDevice.h"
#include "headset/page/TavimondRU6533Device.h"
#include "platform/DebugLog.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::devices::DeviceIdentity;
using vx::devices::kTypeKeyboard;
using vx::devices::kTypeKeyboardReceiver;
using vx::devices::kTypeMouse;
using vx::devices::kTypeMouseReceiver;
using vx::discovery::DeviceKindOfSlot;
using vx::discovery::InterfaceSlot;
using vx::discovery::IsWirelessType;
using vx::discovery::PlaceholderSlotIndex;
using vx::discovery::WiredTypeCode;
using vx::widgets::CWindowMessages;
namespace notify = vx::widgets::notify;
using vx::devices::CTavimondMouseDevice;
using vx::widgets::CDialogBuilder;

namespace vx::app {

using vx::link::DeviceClass;
using vx::link::DeviceLink;
using vx::link::DeviceModel;
using vx::link::HidLink;
using vx::link::WiredTypeCodeOf;
using vx::link::kLinkModeWired;
using vx::link::kLinkModeWireless;
using vx::link::kRoleNotification;
using vx::platform::DebugLog;

namespace {

// Where the skin keeps the layouts of the selector entry, the power indicator and the pages; every
// kind's entry and indicator share one layout.
constexpr std::string_view kPageLayoutFolder = "XML\\DeviceXml\\";
constexpr std::string_view kEntryLayout = "XML\\CustomControlXML\\DeviceOption.xml";
constexpr std::string_view kPowerIndicatorLayout = "XML\\CustomControlXML\\MpDevicePower.xml";
constexpr std::string_view kEntryGroup = "tab_header_device";
constexpr std::string_view kPowerTab = "device_power_switch";

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

DeviceIdentity ToIdentity(const InterfaceSlot& slot, uint16_t variant) {
    DeviceIdentity identity;
    identity.vendorId = slot.vendorId;
    identity.productId = slot.productId;
    identity.interfaceNumber = slot.interfaceNumber;
    identity.collectionNumber = slot.collectionNumber;
    identity.typeCode = slot.typeCode;
    identity.role = slot.role;
    identity.usagePage = slot.usagePage;
    identity.usage = slot.usage;
    identity.variant = variant;
    identity.path = slot.path;
    return identity;
}

}  // namespace

CDevicePageSet::CDevicePageSet(Context context) : m_ctx(context) {}

CDevicePageSet::~CDevicePageSet() {
    *m_alive = false;
    CloseAll();
    // The entries live on in the window's tree until it goes, after the pages; an entry must not
    // reach back into its page then.
    for (const auto& page : m_owned) {
        if (CDeviceOptionUI* entry = EntryOf(page.get())) entry->BindDevicePage(nullptr);
    }
}

std::vector<CTavimondUSBDevice*> CDevicePageSet::Pages() const {
    std::vector<CTavimondUSBDevice*> pages;
    for (const auto& page : m_owned) pages.push_back(page.get());
    return pages;
}

DeviceIdentity CDevicePageSet::IdentityOfSlot(size_t slotIndex) const {
    const int identity = m_ctx.slotTable->IdentitySlotIndex(slotIndex);
    if (identity < 0) return {};
    return ToIdentity(m_ctx.slotTable->Slot(static_cast<size_t>(identity)), 0);
}

CTavimondUSBDevice* CDevicePageSet::FindPage(const DeviceIdentity& identity) const {
    for (const auto& page : m_owned) {
        if (page->GetDeviceRecord().SameInterface(identity)) return page.get();
    }
    return nullptr;
}

CTavimondUSBDevice* CDevicePageSet::PageForSlot(size_t slotIndex) const {
    if (!m_ctx.slotTable->IsValidIndex(slotIndex)) return nullptr;
    return FindPage(IdentityOfSlot(slotIndex));
}

CDeviceOptionUI* CDevicePageSet::EntryOf(const CTavimondUSBDevice* page) const {
    return page ? qobject_cast<CDeviceOptionUI*>(page->GetDeviceOption()) : nullptr;
}

void CDevicePageSet::CreatePlaceholderPages() {
    const std::vector<DeviceModel>& models = m_ctx.slotTable->Models();
    for (size_t kind = 0; kind < models.size(); ++kind) {
        if (!models[kind].createdInAdvance) continue;
        const int slot = PlaceholderSlotIndex(*m_ctx.slotTable, static_cast<int>(kind));
        if (slot >= 0) CreatePage(static_cast<size_t>(slot));
    }
}

CTavimondUSBDevice* CDevicePageSet::CreatePage(size_t slotIndex, int variant) {
    const int kindIndex = DeviceKindOfSlot(*m_ctx.slotTable, slotIndex, static_cast<uint16_t>(variant));
    if (kindIndex < 0 || m_ctx.pm == nullptr || m_ctx.selector == nullptr) return nullptr;
    const DeviceModel& model = *ModelOfKind(*m_ctx.slotTable, kindIndex);
    const uint16_t typeCode = WiredTypeCodeOf(model.deviceClass);

    auto* indicator =
        qobject_cast<CMpDevicePowerUI*>(CDialogBuilder::Create(Text(kPowerIndicatorLayout), m_ctx.builder));
    auto* entry =
        qobject_cast<CDeviceOptionUI*>(CDialogBuilder::Create(Text(kEntryLayout), m_ctx.builder));
    std::unique_ptr<CTavimondUSBDevice> page = CreateDevicePageObject(model.deviceClass);
    DeviceIdentity identity = IdentityOfSlot(slotIndex);
    identity.variant = model.variant;

    page->SetLayoutPath(Text(kPageLayoutFolder) + Text(model.pageLayout));
    page->SetOwnerWindow(m_ctx.window);
    // The page answers its own controls (DPI, report rate, the LED buttons of the custom colours)
    // from the window's notifications, so it must know the window before it is initialised.
    page->SetPaintManager(m_ctx.pm);
    page->SetBuilderCallback(m_ctx.builder);
    page->SetKeyCount(model.keyCount);
    page->SetLedCount(model.ledCount);
    page->SetKindIndex(kindIndex);
    page->SetPowerVisible(model.showsPower);
    if (auto* mouse = dynamic_cast<CTavimondMouseDevice*>(page.get())) mouse->SetSelectedLed(model.selectedLed);
    if (auto* headset = dynamic_cast<vx::headset::CTavimondRU6533Device*>(page.get()))
    {
        headset->SetAudioLibraryChoice(m_ctx.headsetAudio);
        headset->SetAudioProgramFolder(m_ctx.headsetAudioFolder);
    }
    page->SetProfileId({});
    page->SetKindName(std::string(model.kindName));
    page->SetPowerIndicator(indicator);
    page->SetDeviceRecord(identity);
    page->SetLightTableIndex(model.lightTableIndex);
    page->SetLightNamePrefix(std::string(model.lightNamePrefix));
    if (indicator && entry) page->Initialise();
    if (!indicator || !entry || page->GetPage() == nullptr) {
        DebugLog("device page not built: " + CDialogBuilder::LastError().toStdString());
        page->SetPowerIndicator(nullptr);
        delete indicator;
        delete entry;
        return nullptr;
    }

    auto* powerTabs = m_ctx.selector->PowerTabs();
    const int powerTab = powerTabs ? powerTabs->Add(indicator) : -1;
    indicator->SetKind(typeCode, model.variant);
    m_powerIndicators.push_back(indicator);
    m_ctx.pm->AttachControls(indicator);

    auto* pageTabs = m_ctx.selector->PageTabs();
    const int pageTab = pageTabs ? pageTabs->Add(page->GetPage()) : -1;
    m_ctx.pm->AttachControls(page->GetPage());
    CTavimondUSBDevice* raw = page.get();
    switch (model.deviceClass) {
        case DeviceClass::Mouse:
            m_mice.push_back(raw);
            break;
        case DeviceClass::Keyboard:
            m_keyboards.push_back(raw);
            break;
        case DeviceClass::MousePad:
            m_mousePads.push_back(raw);
            break;
        case DeviceClass::Headset:
            m_headsets.push_back(raw);
            break;
    }
    m_owned.push_back(std::move(page));

    m_ctx.selector->AddEntry(entry);
    entry->SetSyncOptionVisible(false);
    entry->SetOptionGroup(Text(kEntryGroup));
    entry->BindPageTab(QStringLiteral("device_switch"), pageTab);
    entry->SetPowerTab(Text(kPowerTab), powerTab);
    entry->SetIconKind(typeCode, model.variant);
    entry->setVisible(false);
    entry->SetNameText(Text(model.kindName));
    entry->BindDevicePage(raw);
    m_ctx.pm->AttachControls(entry);
    return raw;
}

void CDevicePageSet::LogArrival(uint16_t typeCode, bool removed) const {
    switch (typeCode) {
        case kTypeKeyboard:
        case kTypeKeyboardReceiver:
            DebugLog(removed ? "删除一个键盘设备" : "添加一个键盘设备");
            break;
        case kTypeMouse:
        case kTypeMouseReceiver:
            DebugLog(removed ? "删除一个鼠标设备" : "添加一个鼠标设备");
            break;
        default:
            DebugLog(removed ? "删除一个鼠标垫设备" : "添加一个鼠标垫设备");
            break;
    }
}

void CDevicePageSet::OnSlotArrived(size_t slotIndex) {
    if (!m_ctx.slotTable->IsValidIndex(slotIndex)) return;
    const InterfaceSlot slot = m_ctx.slotTable->Slot(slotIndex);
    LogArrival(slot.typeCode, false);
    if (DeviceKindOfSlot(*m_ctx.slotTable, slotIndex) < 0) return;
    if (PageForSlot(slotIndex) == nullptr && CreatePage(slotIndex) == nullptr) return;

    if (slot.IsCommand()) {
        const InterfaceSlot twin = m_ctx.slotTable->Slot(slot.twinIndex);
        const bool twinConnected = slot.hasTwin && twin.connected;
        if (!twinConnected) {
            BindCommandSlot(slotIndex, slot);
        } else if (!IsWirelessType(slot.typeCode)) {
            // The cable came while the receiver serves the device: the cable wins.
            SwitchConnection(slotIndex);
        }
        return;
    }
    // A notification interface belongs to the page whose command link is up.
    CTavimondUSBDevice* page = PageForSlot(slotIndex);
    if (page && page->CommandLink().IsConnected())
        page->OpenNotifyInterface(slot.path, IsWirelessType(slot.typeCode));
}

void CDevicePageSet::BindCommandSlot(size_t slotIndex, const InterfaceSlot& slot) {
    CTavimondUSBDevice* page = PageForSlot(slotIndex);
    if (page == nullptr) return;
    const bool wireless = IsWirelessType(slot.typeCode);
    DeviceLink& link = page->CommandLink();
    if (!link.IsConnected()) {
        page->PauseNotifyReaders();
        HidLink& hid = wireless ? link.WirelessLink() : link.WiredLink();
        hid.Close();
        const bool opened = hid.Open(slot.path, true, true, true, false);
        if (opened) {
            link.SetConnected(true);
            link.SetLinkMode(wireless ? kLinkModeWireless : kLinkModeWired);
            DeviceIdentity identity = IdentityOfSlot(slotIndex);
            identity.variant = page->GetVariant();
            page->SetDeviceRecord(identity);
        }
        page->ResumeNotifyReaders();
        if (!opened) return;
        // The notification interface is listed before the command interface of the same
        // device, so it may have arrived while the page was still unbound.
        const int notifySlot =
            m_ctx.slotTable->FindSlot(slot.vendorId, slot.productId, slot.typeCode, kRoleNotification);
        if (notifySlot >= 0) {
            const InterfaceSlot notify = m_ctx.slotTable->Slot(static_cast<size_t>(notifySlot));
            if (notify.connected && !page->IsNotifyOpen(wireless))
                page->OpenNotifyInterface(notify.path, wireless);
        }
    }
    CDeviceOptionUI* entry = EntryOf(page);
    if (entry == nullptr) return;
    if (!wireless) {
        const int index = m_ctx.selector->IndexOf(entry);
        m_ctx.selector->ShowEntry(index, true, m_ctx.selector->CountConnected() == 0);
    }
    entry->StartStartUpTimer();
}

void CDevicePageSet::SwitchConnection(size_t slotIndex) {
    CTavimondUSBDevice* page = PageForSlot(slotIndex);
    if (page == nullptr) return;
    const InterfaceSlot slot = m_ctx.slotTable->Slot(slotIndex);
    DeviceLink& link = page->CommandLink();
    const bool toWired = page->IsWireless();
    // To the cable: the arriving wired slot. To the receiver: the wired slot's twin.
    const InterfaceSlot target = toWired ? slot : m_ctx.slotTable->Slot(slot.twinIndex);
    HidLink& hid = toWired ? link.WiredLink() : link.WirelessLink();

    page->PauseNotifyReaders();
    link.SetConnected(false);
    hid.Close();
    const bool opened = hid.Open(target.path, true, true, true, false);
    page->ResumeNotifyReaders();
    if (!opened) return;

    link.SetConnected(true);
    CDeviceOptionUI* entry = EntryOf(page);
    if (!toWired) {
        link.SetLinkMode(kLinkModeWireless);
        if (page->GetPowerVisible()) QueryWirelessMode(page, 0);
        if (entry) entry->StartWirelessWatch(CDeviceOptionUI::kWirelessFirstMs);
        return;
    }
    link.SetLinkMode(kLinkModeWired);
    if (entry) entry->StartStartUpTimer();
    CWindowMessages::SendMessage(m_ctx.window, WM_WIRELESS_STATE, static_cast<quintptr>(page->GetKindIndex()),
                                 1);
    if (page->GetPowerVisible()) page->RequestPowerRead();
}

void CDevicePageSet::QueryWirelessMode(CTavimondUSBDevice* page, int attempt) {
    // The page's device worker asks, one attempt at a time, and a timer comes back for each
    // answer, so the window stays responsive while the receiver finds its device (or does not
    // answer at all).
    if (!page->CommandLink().IsConnected() || !page->IsWireless()) return;
    const int answer = page->TakePresence();
    if (answer == 1 || (answer == 0 && attempt + 1 >= kModeQueryAttempts)) {
        DebugLog("获取2");
        page->RequestPowerRead();
        return;
    }
    if (answer == 0) {
        DebugLog("获取2.4G模式失败");
        ++attempt;
    }
    if (!page->PresenceCheckPending()) page->RequestPresenceCheck();
    std::weak_ptr<bool> alive = m_alive;
    QTimer::singleShot(kModeQueryPauseMs, [this, alive, page, attempt] {
        if (auto a = alive.lock(); a && *a) QueryWirelessMode(page, attempt);
    });
}

void CDevicePageSet::OnSlotRemoved(size_t slotIndex) {
    if (!m_ctx.slotTable->IsValidIndex(slotIndex)) return;
    const InterfaceSlot slot = m_ctx.slotTable->Slot(slotIndex);
    LogArrival(slot.typeCode, true);
    CTavimondUSBDevice* page = PageForSlot(slotIndex);
    if (page == nullptr) return;
    const bool wireless = IsWirelessType(slot.typeCode);
    if (!slot.IsCommand()) {
        page->CloseNotifyInterface(wireless);
        return;
    }
    DebugLog(WiredTypeCode(slot.typeCode) == kTypeMouse ? "鼠标设备丢失" : "键盘设备丢失");
    const InterfaceSlot twin = m_ctx.slotTable->Slot(slot.twinIndex);
    const bool twinConnected = slot.hasTwin && twin.connected;
    if (!twinConnected) {
        UnbindCommandSlot(slotIndex);
    } else if (!wireless && !page->IsWireless()) {
        SwitchConnection(slotIndex);
    } else if (wireless && !page->IsWireless()) {
        // The receiver went while the cable serves the device: only its idle handle is left.
        std::lock_guard<std::recursive_mutex> guard(page->CommandLink().WirelessOpenLock());
        page->CommandLink().WirelessLink().Close();
    }
}

void CDevicePageSet::UnbindCommandSlot(size_t slotIndex) {
    CTavimondUSBDevice* page = PageForSlot(slotIndex);
    if (page == nullptr) return;
    DeviceLink& link = page->CommandLink();
    link.SetConnected(false);
    link.WiredLink().Close();
    link.WirelessLink().Close();
    if (CDeviceOptionUI* entry = EntryOf(page)) m_ctx.selector->HideEntry(m_ctx.selector->IndexOf(entry));
}

void CDevicePageSet::CloseAll() {
    for (const auto& page : m_owned) {
        if (CDeviceOptionUI* entry = EntryOf(page.get())) entry->StopTimers();
        page->CloseNotifyInterface(false);
        page->CloseNotifyInterface(true);
        page->StopLightingThread();
        page->CommandLink().SetConnected(false);
        page->CommandLink().WiredLink().Close();
        page->CommandLink().WirelessLink().Close();
    }
}

}  // namespace vx::app
