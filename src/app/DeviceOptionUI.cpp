#include "app/DeviceOptionUI.h"

#include <QWidget>

#include "app/MainWndMessages.h"
#include "devices/DeviceIdentity.h"
#include "devices/TavimondUSBDevice.h"
#include "platform/DebugLog.h"
#include "widgets/ControlUI.h"
#include "widgets/LabelUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CWindowMessages;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;
using vx::widgets::CLabelUI;

namespace vx::app {

using vx::platform::DebugLog;

namespace {

const QString kIconFolder = QStringLiteral("common/device_ico/");

// The icon set of a device type code; empty for a mousepad variant without its own set, whose
// icons stay as they are.
QString IconPrefix(int kind, int variant) {
    switch (kind) {
        case 1:
            return QStringLiteral("kb");
        case 2:
            return QStringLiteral("ms");
        case 3:
            if (variant == 0) return QStringLiteral("hard_mp");
            if (variant == 1) return QStringLiteral("soft_mp");
            return {};
        case 4:
        case 7:
            return QStringLiteral("hd");
        case 5:
            return QStringLiteral("hub");
        default:
            return QStringLiteral("unknow");
    }
}

}  // namespace

CDeviceOptionUI::CDeviceOptionUI(QWidget* parent) : CHorizontalLayoutUI(parent) {}

CDeviceOptionUI::~CDeviceOptionUI() {
    if (m_page != nullptr) m_page->SetRereadScheduler(nullptr);
}

void CDeviceOptionUI::Activate() {
    CPaintManagerUI::Notify(this, notify::kSelectChanged);
}

void CDeviceOptionUI::setVisible(bool visible) {
    m_connected = visible;
    CHorizontalLayoutUI::setVisible(visible);
}

COptionUI* CDeviceOptionUI::SelectOption() {
    if (!m_looked) {
        m_looked = true;
        m_select = CPaintManagerUI::FindSubControl<COptionUI>(this, "device_select");
        m_sync = CPaintManagerUI::FindSubControl<COptionUI>(this, "synchro_device_select");
        m_name = CPaintManagerUI::FindSubControl<CLabelUI>(this, "device_select_name");
    }
    return m_select;
}

COptionUI* CDeviceOptionUI::SyncOption() {
    SelectOption();
    return m_sync;
}

void CDeviceOptionUI::SetSyncOptionVisible(bool visible) {
    ui::SetVisible(SyncOption(), visible);
    RefreshImages();
}

void CDeviceOptionUI::SetSyncMark(bool marked) {
    if (COptionUI* sync = SyncOption()) sync->Selected(marked);
    RefreshImages();
}

bool CDeviceOptionUI::IsSyncMarked() const {
    return m_sync && m_sync->IsSelected();
}

void CDeviceOptionUI::SetSelected(bool selected) {
    if (COptionUI* option = SelectOption()) option->Selected(selected);
}

bool CDeviceOptionUI::IsSelected() const {
    return m_select && m_select->IsSelected();
}

void CDeviceOptionUI::SetIconKind(int kind, int variant) {
    m_iconKind = kind;
    m_iconVariant = variant;
    const QString prefix = IconPrefix(kind, variant);
    if (prefix.isEmpty()) return;
    m_normalImage = kIconFolder + prefix + QStringLiteral("_device_normal.svg");
    m_selectedImage = kIconFolder + prefix + QStringLiteral("_device_selected.svg");
    m_syncNormalImage = kIconFolder + prefix + QStringLiteral("_device_synchro_normal.svg");
    m_syncSelectedImage = kIconFolder + prefix + QStringLiteral("_device_synchro_selected.svg");
    if (COptionUI* option = SelectOption()) {
        option->SetNormalImage(m_normalImage);
        option->SetHotImage(m_normalImage);
        option->SetSelectedImage(m_selectedImage);
        ui::SetToolTip(option, QStringLiteral("%[") + prefix + QStringLiteral("_device_name_text]"));
    }
}

void CDeviceOptionUI::RefreshImages() {
    COptionUI* option = SelectOption();
    if (option == nullptr) return;
    const bool synchronised = IsSyncMarked();
    option->SetNormalImage(synchronised ? m_syncNormalImage : m_normalImage);
    option->SetSelectedImage(synchronised ? m_syncSelectedImage : m_selectedImage);
}

void CDeviceOptionUI::BindPageTab(const QString& tabName, int index) {
    m_pageTabName = tabName;
    m_pageTabIndex = index;
}

void CDeviceOptionUI::SetOptionGroup(const QString& group) {
    if (COptionUI* option = SelectOption()) option->SetGroup(group);
}

void CDeviceOptionUI::SetNameText(const QString& text) {
    SelectOption();
    ui::SetText(m_name, text);
}

void CDeviceOptionUI::SetPowerTab(const QString& tabName, int index) {
    m_powerTabName = tabName;
    m_powerTabIndex = index;
}

void CDeviceOptionUI::BindDevicePage(CTavimondUSBDevice* page) {
    m_page = page;
    if (m_page != nullptr) m_page->SetDeviceOption(this);
}

// ---- timers ----

void CDeviceOptionUI::SetTimer(int id, int periodMs) {
    if (CPaintManagerUI* pm = CPaintManagerUI::FromControl(this)) pm->SetTimer(this, id, periodMs);
}

void CDeviceOptionUI::KillTimer(int id) {
    if (CPaintManagerUI* pm = CPaintManagerUI::FromControl(this)) pm->KillTimer(this, id);
}

void CDeviceOptionUI::StopTimers() {
    if (CPaintManagerUI* pm = CPaintManagerUI::FromControl(this)) pm->KillTimers(this);
}

void CDeviceOptionUI::StartStartUpTimer() {
    SetTimer(kTimerStartUp, kStartUpDelayMs);
}

void CDeviceOptionUI::StartWirelessWatch(int delayMs) {
    if (LinkConnected()) SetTimer(kTimerWirelessWatch, delayMs);
}

void CDeviceOptionUI::ScheduleReread(int delayMs) {
    SetTimer(kTimerReread, delayMs);
}

bool CDeviceOptionUI::LinkConnected() const {
    return m_page != nullptr && m_page->CommandLink().IsConnected();
}

void CDeviceOptionUI::SendWirelessState(int linkUp) {
    if (m_page == nullptr) return;
    CWindowMessages::SendMessage(m_page->GetOwnerWindow(), WM_WIRELESS_STATE,
                                 static_cast<quintptr>(m_page->GetKindIndex()), linkUp);
}

void CDeviceOptionUI::DoTimer(int id) {
    // A timer that runs again is re-armed in place rather than stopped and set anew, so the
    // frame timer does not make a new timer object 20 times a second.
    if (m_page == nullptr) {
        KillTimer(id);
        return;
    }
    switch (id) {
        case kTimerFrame:
            OnFrameTimer();
            break;
        case kTimerStartUp:
            OnStartUpTimer();
            break;
        case kTimerReread:
            KillTimer(id);
            if (LinkConnected()) m_page->RequestSettingsReread();
            break;
        case kTimerHookA:
            KillTimer(id);
            m_page->OnTimerA();
            break;
        case kTimerHookB:
            KillTimer(id);
            m_page->OnTimerB();
            break;
        case kTimerPower:
            OnPowerTimer();
            break;
        case kTimerWirelessWatch:
            OnWirelessWatch();
            break;
        default:
            KillTimer(id);
            break;
    }
}

void CDeviceOptionUI::OnFrameTimer() {
    m_page->ShowDeviceResults();
    m_page->LightingFrame();
    // The LED buttons repaint themselves when their colour changes; a whole control is repainted
    // only when one is bound for it.
    if (m_repaintControl && IsSelected() && m_page->GetPreview()) m_repaintControl->update();
    if (LinkConnected()) {
        SetTimer(kTimerFrame, kFramePeriodMs);
    } else {
        KillTimer(kTimerFrame);
    }
}

void CDeviceOptionUI::OnStartUpTimer() {
    // The device may have gone in the half second since it was bound; its removal has closed
    // the link, and the connection sequence would only time out on it.
    if (!LinkConnected()) {
        KillTimer(kTimerStartUp);
        return;
    }
    if (m_page->IsWireless()) {
        bool reachable = false;
        if (!PresenceAnswer(kTimerStartUp, &reachable)) return;
        if (!reachable) {
            m_retry = (m_retry + 1) % kRetryWrap;
            // The window's handler hides the entry and moves the selection away from it.
            if (m_connected) SendWirelessState(0);
            SetTimer(kTimerStartUp, kWirelessPeriodMs);
            return;
        }
        SendWirelessState(1);
    }
    KillTimer(kTimerStartUp);
    // A connection made anew starts its stream again, even when a stall stopped it before.
    m_page->StreamConnectionOpened(m_page->IsWireless());
    m_page->OnConnected();
    m_retry = 0;
    SetTimer(kTimerFrame, kFirstFrameDelayMs);
    if (m_page->ShowsPowerIndicator() && LinkConnected()) SetTimer(kTimerPower, kFirstPowerDelayMs);
    if (m_page->IsWireless()) SetTimer(kTimerWirelessWatch, kWirelessFirstMs);
}

void CDeviceOptionUI::OnPowerTimer() {
    if (!LinkConnected()) {
        KillTimer(kTimerPower);
        return;
    }
    m_page->ShowDeviceResults();
    m_page->RequestPowerRead();
    if (m_page->ShowsPowerIndicator() && LinkConnected()) {
        SetTimer(kTimerPower, kPowerPeriodMs);
    } else {
        KillTimer(kTimerPower);
    }
}

bool CDeviceOptionUI::PresenceAnswer(int timer, bool* reachable) {
    const int answer = m_page->TakePresence();
    if (answer >= 0) {
        *reachable = answer == 1;
        return true;
    }
    // The query may wait for the receiver's whole time-out; the worker asks, and this timer
    // comes back for the answer.
    if (!m_page->PresenceCheckPending()) m_page->RequestPresenceCheck();
    SetTimer(timer, kPresencePollMs);
    return false;
}

void CDeviceOptionUI::OnWirelessWatch() {
    if (m_page->IsWireless() && LinkConnected()) {
        bool up = false;
        if (!PresenceAnswer(kTimerWirelessWatch, &up)) return;
        if (up && !m_connected) {
            SendWirelessState(1);
            if (m_page->GetPowerVisible()) m_page->RequestPowerRead();
            DebugLog("2.4gcesvdfherhue  12312423 123342341");
        } else if (!up && m_connected) {
            SendWirelessState(0);
            DebugLog("2.4gcesvdfherhue");
        }
    } else if (LinkConnected()) {
        DebugLog("2.4gcesvdfherhue  12312423");
    }
    if (m_page->IsWireless() && LinkConnected()) {
        SetTimer(kTimerWirelessWatch, kWirelessPeriodMs);
    } else {
        KillTimer(kTimerWirelessWatch);
    }
}

}  // namespace vx::app
