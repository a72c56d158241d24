#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "devices/DeviceIdentity.h"
#include "headset/audio/AudioLibrary.h"
#include "widgets/WindowMessages.h"

class QWidget;
namespace vx::widgets { class CPaintManagerUI; }
namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::widgets { class IDialogBuilderCallback; }
namespace vx::discovery { class InterfaceSlotTable; }
namespace vx::discovery { struct InterfaceSlot; }
namespace vx::app {

class CDeviceOptionUI;
class CDeviceSelector;
class CMpDevicePowerUI;

// The device pages of the main window and their binding to the interface slots that discovery
// reports: pages are created when a device kind is first seen (the mouse and the keyboard in
// advance), bound and unbound as their interfaces come and go, and switched between cable and
// receiver. Pages live until the window goes. UI thread only.
class CDevicePageSet {
public:
    struct Context {
        vx::widgets::CPaintManagerUI* pm = nullptr;
        vx::widgets::IDialogBuilderCallback* builder = nullptr;
        vx::widgets::WindowHandle window = 0;
        CDeviceSelector* selector = nullptr;
        vx::discovery::InterfaceSlotTable* slotTable = nullptr;
        // The audio library a headset page starts: the sound server's, or the in-memory one
        // that stands behind the virtual headset.
        vx::headset::AudioLibraryChoice headsetAudio = vx::headset::AudioLibraryChoice::SoundServer;
        // Where the audio library is looked for (empty: beside the program).
        std::filesystem::path headsetAudioFolder;
    };
    // Attempts of the 2.4 GHz mode query after a switch to the receiver, and the pause between them.
    static constexpr int kModeQueryAttempts = 26;
    static constexpr int kModeQueryPauseMs = 50;

    explicit CDevicePageSet(Context context);
    ~CDevicePageSet();
    CDevicePageSet(const CDevicePageSet&) = delete;
    CDevicePageSet& operator=(const CDevicePageSet&) = delete;

    // The mouse and keyboard pages, before any device is seen.
    void CreatePlaceholderPages();
    // Creates the page of the device behind slot index (and its entry and power indicator); the
    // page, or nullptr when no kind fits or a layout cannot be built.
    vx::devices::CTavimondUSBDevice* CreatePage(size_t slotIndex, int variant = 0);

    void OnSlotArrived(size_t slotIndex);
    void OnSlotRemoved(size_t slotIndex);

    // Every page, in creation order.
    std::vector<vx::devices::CTavimondUSBDevice*> Pages() const;
    const std::vector<vx::devices::CTavimondUSBDevice*>& Mice() const { return m_mice; }
    const std::vector<vx::devices::CTavimondUSBDevice*>& Keyboards() const { return m_keyboards; }
    const std::vector<vx::devices::CTavimondUSBDevice*>& MousePads() const { return m_mousePads; }
    const std::vector<vx::devices::CTavimondUSBDevice*>& Headsets() const { return m_headsets; }
    const std::vector<CMpDevicePowerUI*>& PowerIndicators() const { return m_powerIndicators; }
    // The page that keeps this identity record, or nullptr.
    vx::devices::CTavimondUSBDevice* FindPage(const vx::devices::DeviceIdentity& identity) const;
    // The page serving the device behind a slot (its command slot's identity), or nullptr.
    vx::devices::CTavimondUSBDevice* PageForSlot(size_t slotIndex) const;
    CDeviceOptionUI* EntryOf(const vx::devices::CTavimondUSBDevice* page) const;
    // Closes every page's links (window destruction).
    void CloseAll();

private:
    vx::devices::DeviceIdentity IdentityOfSlot(size_t slotIndex) const;
    void BindCommandSlot(size_t slotIndex, const vx::discovery::InterfaceSlot& slot);
    void SwitchConnection(size_t slotIndex);
    void UnbindCommandSlot(size_t slotIndex);
    void QueryWirelessMode(vx::devices::CTavimondUSBDevice* page, int attempt);
    void LogArrival(uint16_t typeCode, bool removed) const;

    Context m_ctx;
    std::vector<std::unique_ptr<vx::devices::CTavimondUSBDevice>> m_owned;
    std::vector<vx::devices::CTavimondUSBDevice*> m_mice;
    std::vector<vx::devices::CTavimondUSBDevice*> m_keyboards;
    std::vector<vx::devices::CTavimondUSBDevice*> m_mousePads;
    std::vector<vx::devices::CTavimondUSBDevice*> m_headsets;
    std::vector<CMpDevicePowerUI*> m_powerIndicators;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace vx::app
