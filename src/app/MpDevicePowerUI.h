#pragma once

#include <QPointer>

#include "app/PowerIndicator.h"
#include "widgets/ContainerUI.h"

class CLabelUI;
class CProgressUI;

// The power indicator of one device page ("MpDevicePower", built from
// "XML\CustomControlXML\MpDevicePower.xml"): battery level, charging state, the wireless mark of a
// mouse on its receiver and, for the mousepad, the phone lying on its charger.
class CMpDevicePowerUI : public CHorizontalLayoutUI, public IPowerIndicator {
    Q_OBJECT
public:
    explicit CMpDevicePowerUI(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("MpDevicePower"); }
    // Raises "selectchanged" for the indicator.
    void Activate();

    void SetKind(int typeCode, int variant);
    int GetKind() const { return m_kind; }
    int GetVariant() const { return m_variant; }

    void ShowPowerLayout(bool visible) override;
    // Does nothing while any of the six sub-controls is missing.
    void UpdatePower(std::span<const uint8_t> record) override;

private:
    bool FindControls();

    QPointer<QWidget> m_powerLayout;
    QPointer<CLabelUI> m_value;
    QPointer<QWidget> m_wirelessLogo;
    QPointer<CProgressUI> m_progress;
    QPointer<CLabelUI> m_status;
    QPointer<CLabelUI> m_phoneType;
    bool m_looked = false;
    int m_kind = 0;
    int m_variant = 0;
};
