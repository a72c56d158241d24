#include "app/MpDevicePowerUI.h"

#include <algorithm>
#include <array>

#include "devices/DeviceIdentity.h"
#include "widgets/ControlUI.h"
#include "widgets/LabelUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ProgressUI.h"

using vx::devices::kTypeMouse;
using vx::devices::kTypeMousePad;
using vx::widgets::CLabelUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CProgressUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;

namespace vx::app {

namespace {

constexpr int kChargeFull = 0;
constexpr int kChargeCharging = 1;
constexpr int kChargeOnBattery = 2;

struct PhoneType {
    const char* text;
    const char* image;
};

// Index = phone type byte; 0 and everything beyond 3 show "no phone". The picture stands left of
// the text (the label's padding leaves room for it), at its own size.
constexpr std::array<PhoneType, 4> kPhoneTypes = {{
    {"Phone_type_no_device", "file='common/device_ico/power/Phone_type_no_device.svg' dest='0,0,14,20'"},
    {"Phone_type_iphone", "file='common/device_ico/power/Phone_type_iphone.svg' dest='0,0,14,20'"},
    {"Phone_type_samsung", "file='common/device_ico/power/Phone_type_samsung.svg' dest='0,0,14,20'"},
    {"Phone_type_other", "file='common/device_ico/power/Phone_type_other.svg' dest='0,0,14,20'"},
}};

const QString kPowered = QStringLiteral("file='common/device_ico/power/powered.svg'");
const QString kPowering = QStringLiteral("file='common/device_ico/power/powering.svg'");
const QString kWirelessPowering = QStringLiteral("file='common/device_ico/power/wuxian_powering.svg'");
const QString kOnBattery = QStringLiteral("file='common/device_ico/power/power.svg'");

}  // namespace

CMpDevicePowerUI::CMpDevicePowerUI(QWidget* parent) : CHorizontalLayoutUI(parent) {}

void CMpDevicePowerUI::Activate() {
    CPaintManagerUI::Notify(this, notify::kSelectChanged);
}

void CMpDevicePowerUI::SetKind(int typeCode, int variant) {
    m_kind = typeCode;
    m_variant = variant;
    // Only the mousepad has a charger a phone can lie on.
    FindControls();
    ui::SetVisible(m_phoneType, typeCode == kTypeMousePad);
}

bool CMpDevicePowerUI::FindControls() {
    if (!m_looked) {
        m_looked = true;
        m_powerLayout = CPaintManagerUI::FindSubControlByName(this, "device_power_Layout");
        m_value = CPaintManagerUI::FindSubControl<CLabelUI>(this, "device_power_value");
        m_wirelessLogo = CPaintManagerUI::FindSubControlByName(this, "device_wuxian_logo");
        m_progress = CPaintManagerUI::FindSubControl<CProgressUI>(this, "device_Power_progress");
        m_status = CPaintManagerUI::FindSubControl<CLabelUI>(this, "device_power_status");
        m_phoneType = CPaintManagerUI::FindSubControl<CLabelUI>(this, "device_phone_type");
    }
    return m_powerLayout && m_value && m_wirelessLogo && m_progress && m_status && m_phoneType;
}

void CMpDevicePowerUI::ShowPowerLayout(bool visible) {
    FindControls();
    ui::SetVisible(m_powerLayout, visible);
}

void CMpDevicePowerUI::UpdatePower(std::span<const uint8_t> record) {
    std::array<uint8_t, kRecordSize> r{};
    std::copy_n(record.begin(), std::min(record.size(), r.size()), r.begin());
    if (!FindControls()) return;

    // A device reporting more than 100 % is clamped, so the bar never runs backwards.
    const int percent = std::min<int>(r[0], 100);
    m_progress->SetValue(100 - percent);
    ui::SetText(m_value, QString::asprintf("%d%s", percent, "%"));

    const bool throughReceiver = r[3] != 0;
    if (m_kind == kTypeMouse) ui::SetVisible(m_wirelessLogo, throughReceiver);

    switch (r[1]) {
        case kChargeFull:
            ui::SetVisible(m_progress, true);
            ui::SetBkImage(m_status, kPowered);
            break;
        case kChargeCharging:
            ui::SetVisible(m_progress, !throughReceiver);
            ui::SetBkImage(m_status, throughReceiver ? kWirelessPowering : kPowering);
            break;
        case kChargeOnBattery:
            ui::SetVisible(m_progress, true);
            ui::SetBkImage(m_status, kOnBattery);
            break;
        default:
            break;
    }

    if (m_kind == kTypeMousePad) {
        const PhoneType& phone = r[5] < kPhoneTypes.size() ? kPhoneTypes[r[5]] : kPhoneTypes[0];
        ui::SetResourceText(m_phoneType, true);
        ui::SetText(m_phoneType, QString::fromLatin1(phone.text));
        ui::SetBkImage(m_phoneType, QString::fromLatin1(phone.image));
    }
}

}  // namespace vx::app
