#pragma once

#include <QPointer>

#include <cstdint>
#include <span>

#include "devices/PowerDisplay.h"
#include "widgets/ContainerUI.h"

namespace vx::widgets { class CLabelUI; }
namespace vx::widgets { class CProgressUI; }
namespace vx::app {


// The power indicator of one device page ("MpDevicePower", built from
// "XML\CustomControlXML\MpDevicePower.xml"): battery level, charging state, the wireless mark of a
// mouse on its receiver and, for the mousepad, the phone lying on its charger.
// Power record bytes: [0] battery percent 0-100, [1] charge state (0 full, 1 charging, 2 on
// battery), [3] non-zero when connected through the 2.4 GHz receiver, [5] phone type on the
// mousepad's charger (1 iPhone, 2 Samsung, 3 other, anything else none).
class CMpDevicePowerUI : public vx::widgets::CHorizontalLayoutUI, public vx::devices::IPowerDisplay {
    Q_OBJECT
public:
    // At most this many bytes of a power record count; a shorter one reads as padded with zeros.
    static constexpr size_t kRecordSize = 64;

    explicit CMpDevicePowerUI(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("MpDevicePower"); }
    // Raises "selectchanged" for the indicator.
    void Activate();

    void SetKind(int typeCode, int variant);
    int GetKind() const { return m_kind; }
    int GetVariant() const { return m_variant; }

    void ShowPowerLayout(bool visible);
    // Does nothing while any of the six sub-controls is missing.
    void UpdatePower(std::span<const uint8_t> record);
    void ShowStatus(const std::array<uint8_t, 6>& status) override { UpdatePower(status); }

private:
    bool FindControls();

    QPointer<QWidget> m_powerLayout;
    QPointer<vx::widgets::CLabelUI> m_value;
    QPointer<QWidget> m_wirelessLogo;
    QPointer<vx::widgets::CProgressUI> m_progress;
    QPointer<vx::widgets::CLabelUI> m_status;
    QPointer<vx::widgets::CLabelUI> m_phoneType;
    bool m_looked = false;
    int m_kind = 0;
    int m_variant = 0;
};

}  // namespace vx::app
