#pragma once
// The lit mousepad's page: 15 LEDs along the edge, no keys, only the profile and lighting panels.
// Its settings are a 21-byte record kept with the light mode as an index and the speed as a level;
// the device holds the first 21 bytes of its 64-byte-stride block with the code and the inverted
// speed.

#include <QPointer>
#include <array>
#include <cstdint>
#include <vector>

#include "devices/TavimondUSBDevice.h"
#include "devices/protocol/MousePadProtocol.h"
#include "profiles/BasicProfiledata.h"

namespace vx::lighting {
class MousePadLightingEngine;
}

namespace vx::devices {

class CTavimondMousePadDevice : public CTavimondUSBDevice {
public:
    static constexpr int kLeds = 15;
    static constexpr int kRecordLength = 21;
    static constexpr int kBlockStride = vx::devices::MousePadProtocol::kBlockStride;
    // Message to the owner window after a reread: wParam = the active profile on the device.
    static constexpr uint kMsgActiveProfile = 0x0D00;
    using Record = std::array<uint8_t, kRecordLength>;

    CTavimondMousePadDevice();
    ~CTavimondMousePadDevice() override;

    QString GetClass() const override { return QStringLiteral("TavimondMousePadDevice"); }

    void Initialise() override;
    int LoadLightingState() override;
    void OnConnected() override;
    int RefreshFromDevice() override;
    void BeforeReread() override;
    bool FetchReread(std::vector<uint8_t>* raw) override;
    void ApplyReread(const std::vector<uint8_t>& raw) override;
    int LoadProfile() override;
    void RefreshPage() override;
    void ResetToProfile() override;
    // 1 when the record reached the device.
    int WriteSettings(int profile, int reserved, int flag, int screenWidth, int screenHeight) override;
    void LoadPageLists() override;
    void LoadProfileFile() override;
    std::u16string GetProfileName() override;
    void SetLightTableIndex(int index) override;
    void SetLightInfo(const LightInfo& info) override;
    vx::profiles::CBasicProfiledata* GetProfileData() override { return &m_profile; }
    void HandleNotifyEvent(uint16_t code, bool wireless) override;
    // The status record: the mousepad has no battery, but its charger reports the phone lying on
    // it (byte 5), which the power indicator shows.
    bool FetchPower(vx::link::StatusRecord* record) override;
    void ShowPower(const vx::link::StatusRecord& record) override;
    bool ShowsPowerIndicator() const override { return true; }

    virtual void BuildPage();

    const Record& GetRecord() const { return m_record; }
    const std::vector<uint8_t>& ModeCodes() const { return m_modeCodes; }
    std::string DeviceFolderText() const;
    vx::devices::MousePadProtocol& Pad() { return static_cast<vx::devices::MousePadProtocol&>(*m_protocol); }

protected:
    int RereadDelayMs() const override { return kRereadDelaySlowMs; }
    bool OpensWirelessNotify() const override { return false; }

private:
    vx::profiles::CBasicProfiledata m_profile;
    Record m_record{};
    Record m_recordAside{};
    std::vector<uint8_t> m_modeCodes;
    std::vector<std::u16string> m_macroNames;
    QPointer<QWidget> m_pictureContainer;
    QPointer<QWidget> m_profilePanel;
    QPointer<QWidget> m_lightPanel;
};

}  // namespace vx::devices
