#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "devices/DeviceIdentity.h"
#include "headset/audio/AudioLibrary.h"
#include "widgets/WindowMessages.h"

class CDeviceOptionUI;
class CDeviceSelector;
class CMpDevicePowerUI;
class CPaintManagerUI;
class CTavimondUSBDevice;
class IDialogBuilderCallback;
class InterfaceSlotTable;
struct InterfaceSlot;
class QWidget;

// The device pages of the main window and their binding to the interface slots that discovery
// reports: pages are created when a device kind is first seen (the mouse and the keyboard in
// advance), bound and unbound as their interfaces come and go, and switched between cable and
// receiver. Pages live until the window goes. UI thread only.
class CDevicePageSet {
public:
    struct Context {
        CPaintManagerUI* pm = nullptr;
        IDialogBuilderCallback* builder = nullptr;
        WindowHandle window = 0;
        CDeviceSelector* selector = nullptr;
        InterfaceSlotTable* slotTable = nullptr;
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
    CTavimondUSBDevice* CreatePage(size_t slotIndex, int variant = 0);

    void OnSlotArrived(size_t slotIndex);
    void OnSlotRemoved(size_t slotIndex);

    // Every page, in creation order.
    std::vector<CTavimondUSBDevice*> Pages() const;
    const std::vector<CTavimondUSBDevice*>& Mice() const { return m_mice; }
    const std::vector<CTavimondUSBDevice*>& Keyboards() const { return m_keyboards; }
    const std::vector<CTavimondUSBDevice*>& MousePads() const { return m_mousePads; }
    const std::vector<CTavimondUSBDevice*>& Headsets() const { return m_headsets; }
    const std::vector<CMpDevicePowerUI*>& PowerIndicators() const { return m_powerIndicators; }
    // The page that keeps this identity record, or nullptr.
    CTavimondUSBDevice* FindPage(const DeviceIdentity& identity) const;
    // The page serving the device behind a slot (its command slot's identity), or nullptr.
    CTavimondUSBDevice* PageForSlot(size_t slotIndex) const;
    CDeviceOptionUI* EntryOf(const CTavimondUSBDevice* page) const;
    // Closes every page's links (window destruction).
    void CloseAll();

private:
    DeviceIdentity IdentityOfSlot(size_t slotIndex) const;
    void BindCommandSlot(size_t slotIndex, const InterfaceSlot& slot);
    void SwitchConnection(size_t slotIndex);
    void UnbindCommandSlot(size_t slotIndex);
    void QueryWirelessMode(CTavimondUSBDevice* page, int attempt);
    void LogArrival(uint16_t typeCode, bool removed) const;

    Context m_ctx;
    std::vector<std::unique_ptr<CTavimondUSBDevice>> m_owned;
    std::vector<CTavimondUSBDevice*> m_mice;
    std::vector<CTavimondUSBDevice*> m_keyboards;
    std::vector<CTavimondUSBDevice*> m_mousePads;
    std::vector<CTavimondUSBDevice*> m_headsets;
    std::vector<CMpDevicePowerUI*> m_powerIndicators;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
