#pragma once
// The common base of the device pages (keyboard, mouse, mousepad, headset). One object per device:
// at once the device's page in the main window (a container built from the page's layout, held by
// composition) and the owner of everything that talks to the device -- the command link, the
// notification link, the identity record, the lighting engine with its thread, and the
// notification readers. What goes over the command link, and the capability record it reads, is
// the page's protocol object (src/devices/protocol, no Qt); the page calls it and shows the results.
//
// Threads: every public operation runs on the UI thread. Worker threads of a page are its
// lighting thread (writes the engine's LED frame, atomic per entry), one reader per open
// notification interface (posts event codes to the page; never touches a widget) and its device
// worker, which runs the exchanges the window asks for periodically (stream frames, the presence
// query, power readings) so that a silent device never holds the window; the window reads their
// results on its timers. What runs on the worker touches the links, the stream rule and atomics
// only, never a widget.
//
// Lock order (shared with DeviceLink): a notification interface's open lock (notifyLink's
// TransferLock for the wired one, WirelessOpenLock for the wireless one) is held only around
// Close/Open of that interface, never while a command runs.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <json/json.h>
#include <array>
#include <atomic>
#include <filesystem>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devices/DeviceIdentity.h"
#include "devices/KeyPanelViews.h"
#include "devices/DeviceWorker.h"
#include "devices/RereadScheduler.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/LightingClock.h"
#include "devices/lighting/StreamFailureRule.h"
#include "devices/protocol/DeviceProtocol.h"
#include "link/DeviceInfo.h"
#include "link/DeviceLink.h"
#include "link/StatusRecord.h"
#include "platform/InputHookEvents.h"
#include "profiles/ProfileRecords.h"
#include "widgets/ControlEvent.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
#include "widgets/UIDefs.h"
#include "widgets/WindowMessages.h"

namespace vx::profiles { class CBasicProfiledata; }
class QObject;
namespace vx::lighting {
class LightingEngine;
class LightingThread;
}  // namespace vx::lighting
namespace vx::devices {

class NotifyReader;


// Function-page types given to SetFunctionPage.
namespace functionpage {
constexpr int kDefault = 1;
constexpr int kKeySet = 2;
constexpr int kLighting = 3;
constexpr int kMacro = 4;
constexpr int kSettings = 5;
constexpr int kKeySetAlt = 6;
constexpr int kMacroAlt = 7;
constexpr int kLightingAlt = 8;
}  // namespace functionpage

class CTavimondUSBDevice : public vx::widgets::INotifyUI {
public:
    // Arrays of the page are never larger than this (key slots, LEDs; LED 170 is shown only).
    static constexpr int kMaxKeys = 171;
    static constexpr int kMaxLeds = 171;
    // Delays of a reread asked by a notification.
    static constexpr int kRereadDelayFastMs = 50;
    static constexpr int kRereadDelaySlowMs = 500;
    // The notification event that asks the page to read the device again.
    static constexpr uint16_t kEventReread = 0x401;
    // Pause of the frame timer after a stream frame that did not go out.
    static constexpr int kFailedFramePauseMs = 200;
    // Private message through which the readers hand an event to the page's own thread.
    static constexpr uint kMsgNotifyEvent = 0x0C40;
    // Sent to the owner window when the device did not take a settings write (wParam: the
    // page's kind index); the window tells the user without stopping them.
    static constexpr uint kMsgDeviceNotAnswering = 0x0C18;

    CTavimondUSBDevice();
    ~CTavimondUSBDevice() override;
    CTavimondUSBDevice(const CTavimondUSBDevice&) = delete;
    CTavimondUSBDevice& operator=(const CTavimondUSBDevice&) = delete;

    // The UI-library class name of the page.
    virtual QString GetClass() const { return QStringLiteral("TavimondUSBDevice"); }
    // The page's root control (built by Initialise from the layout path); nullptr before.
    QWidget* GetPage() const { return m_page.data(); }
    void Notify(vx::widgets::TNotifyUI& msg) override;

    // ---- virtual operations (base behaviour; device classes replace them) ----
    virtual void Initialise();
    virtual int LoadLightingState();
    virtual void LightingFrame();
    void SetLed(int index, uint32_t entry);
    uint32_t GetLed(int index) const;
    virtual void OnConnected();
    virtual int RefreshFromDevice();
    virtual void OnTimerA();
    virtual void OnTimerB();
    virtual void ReadPower();
    virtual bool IsReachable();
    virtual int LoadProfile();
    virtual void RefreshPage();
    virtual void PruneMacroAssignments();
    virtual void ResetToProfile();
    virtual std::vector<int> GetMacroList();
    virtual int WriteKeyAssignments(int bank, const std::vector<vx::profiles::KeyEntry>& keys);
    virtual int ApplyKeyAssignments();
    virtual int WriteMacroMemory(const std::vector<int>& macros);
    // profile: the block written (0); the mouse also takes its flag and the screen size.
    virtual int WriteSettings(int profile, int reserved, int flag, int screenWidth, int screenHeight);
    virtual void LoadPageLists();
    void SetKeyMap(std::span<const uint8_t> map);
    const std::vector<uint8_t>& GetKeyMap() const { return m_keyMap; }
    virtual void SetFunctionPage(int type);
    int GetFunctionPage() const { return m_functionPage; }
    virtual void LoadProfileFile();
    virtual std::u16string GetProfileName();
    virtual void SaveProfile();
    virtual void SetLightTableIndex(int index);
    int GetLightTableIndex() const { return m_lightTableIndex; }
    virtual void SetLightInfo(const LightInfo& info);
    LightInfo GetLightInfo() const;
    virtual void SetAudioLightInfo(const AudioLightInfo& info);
    virtual AudioLightInfo GetAudioLightInfo();
    virtual void SelectKey(int key);
    int GetSelectedKey() const { return m_selectedKey; }
    // ---- handlers of the page's controls, as the main window's routing finds them ----
    // "key_" + index: that key is chosen for assignment.
    void OnKeyButton(const vx::widgets::ControlEvent& event) { SelectKey(event.index); }
    // "polling_rate_option_" + index; a page without a polling rate (the mousepad's) ignores it.
    virtual void OnPollingRateOption(const vx::widgets::ControlEvent&) {}
    virtual void OnAudioLevels(const int32_t* levels, size_t count);
    virtual void SetAudioParameters(const int32_t* values, size_t count);
    // The device's profile data (nullptr in the base).
    virtual vx::profiles::CBasicProfiledata* GetProfileData() { return nullptr; }
    // The page's receiver of global input hook events (its key and macro panels); nullptr
    // for a page without them.
    virtual vx::platform::IHookEventSink* HookEventSink() { return nullptr; }

    // ---- key assignments and macros, as the key and macro panels change them ----
    // The key panel on the page (nullptr: none).
    IKeyAssignmentView* KeyAssignmentView() const;
    // The key panel shows the selected key's assignment from the page's key list again (after
    // the list was replaced by another profile's).
    void ShowSelectedKeyAssignment();
    // The current and default assignment of a key; false for a key the page does not have.
    bool GetKeyEntry(int key, vx::profiles::KeyEntry* entry);
    // The function of the selected key becomes `function` in the page's key list and the
    // profile in memory, and the picture shows it; false without a selected key. The file is
    // written when the key list goes to the device.
    bool StoreKeyAssignment(const vx::profiles::KeyFunction& function);
    // Writes the macros the keys use and then the key list to the device. kKeyListWritten, or
    // kKeyListNotTaken when the device did not take it (not answering, link down), or the number
    // of macro events (1 or more) that have to go before the macros fit the device's memory (then
    // nothing was written).
    static constexpr int kKeyListWritten = 0;
    static constexpr int kKeyListNotTaken = -1;
    int WriteKeyListToDevice();
    // The folder of the page's "macro.config" and ".mac" files; empty for a page without macros.
    virtual std::filesystem::path MacroFolder() const { return {}; }
    // Macro `macro` was deleted from the list: in every profile file of the device and in the
    // page's own key list (its file saved), keys running it get their default back and keys
    // running a later one follow it down. True when the page's own key list changed.
    bool RemoveMacroFromAllProfiles(uint8_t macro);
    // The main window's recording operations, handed to the page when the window creates it.
    void SetRecordingHost(vx::platform::IRecordingHost* host) { m_recordingHost = host; }
    vx::platform::IRecordingHost* RecordingHost() const { return m_recordingHost; }

    // ---- settings changes the device must confirm ----
    // A user's change goes into the profile before the write that sends it; the page shows what
    // the device holds only if a write the device did not take (a hung or unplugged device) is
    // undone. Take the snapshot before changing anything, then hand the write's status over.
    Json::Value SettingsSnapshot();
    // 1 keeps the change. Anything else puts the snapshot back into the profile (and the saved
    // file) and onto the page's controls, and tells the owner window that the device does not
    // answer. Returns status.
    int ConfirmSettingsWrite(int status, const Json::Value& before);

    // ---- set-up, in the order the main window calls them ----
    void SetLayoutPath(const QString& path) { m_layoutPath = path; }
    QString GetLayoutPath() const { return m_layoutPath; }
    void SetOwnerWindow(vx::widgets::WindowHandle window) { m_ownerWindow = window; }
    vx::widgets::WindowHandle GetOwnerWindow() const { return m_ownerWindow; }
    void SetKeyCount(int count);
    int GetKeyCount() const { return static_cast<int>(m_keyButtons.size()); }
    void SetLedCount(int count);
    int GetLedCount() const { return static_cast<int>(m_lightButtons.size()); }
    void SetKindIndex(int index) { m_kindIndex = index; }
    int GetKindIndex() const { return m_kindIndex; }
    void SetPowerVisible(bool visible);
    bool GetPowerVisible() const { return m_powerVisible; }
    // Whether the power indicator has anything to show, so that the selector reads the status
    // record on its power timer: the battery area (the power-display switch), or a class's own
    // part of the indicator.
    virtual bool ShowsPowerIndicator() const { return m_powerVisible; }
    void SetProfileId(const std::string& id) { m_profileId = id; }
    const std::string& GetProfileId() const { return m_profileId; }
    void SetKindName(const std::string& name) { m_kindName = name; }
    const std::string& GetKindName() const { return m_kindName; }
    void SetPowerIndicator(QWidget* indicator);
    QWidget* GetPowerIndicator() const { return m_powerIndicator.data(); }
    void SetDeviceRecord(const DeviceIdentity& record);
    const DeviceIdentity& GetDeviceRecord() const { return m_identity; }
    uint16_t GetKind() const { return m_typeCode; }
    uint16_t GetVariant() const { return m_variant; }
    void SetLightNamePrefix(const std::string& prefix) { m_lightNamePrefix = prefix; }
    const std::string& GetLightNamePrefix() const { return m_lightNamePrefix; }

    // The selector entry that drives the page. When the control implements IRereadScheduler it
    // also becomes the reread scheduler.
    void SetDeviceOption(QWidget* entry);
    QWidget* GetDeviceOption() const { return m_deviceOption.data(); }
    void SetRereadScheduler(IRereadScheduler* scheduler) { m_rereadScheduler = scheduler; }
    // The window's paint manager; the keyboard, mouse and mousepad pages register with it as a
    // notification receiver when they are initialised.
    void SetPaintManager(vx::widgets::CPaintManagerUI* manager) { m_paintManager = manager; }
    // The builder callback the page layout is built with (the main window's element names).
    void SetBuilderCallback(vx::widgets::IDialogBuilderCallback* callback) { m_builderCallback = callback; }
    vx::widgets::CPaintManagerUI* GetPaintManager() const { return m_paintManager.data(); }

    void SetSoftwareLighting(bool on);
    bool GetSoftwareLighting() const { return m_softwareLighting.load(); }
    void SetPreview(bool on) { m_preview = on; }
    bool GetPreview() const { return m_preview; }

    // ---- links and records ----
    vx::link::DeviceLink& CommandLink() { return m_commandLink; }
    vx::link::DeviceLink& NotifyLink() { return m_notifyLink; }
    const vx::link::DeviceInfo& GetDeviceInfo() const { return m_protocol->Capability(); }
    vx::devices::DeviceProtocol& Protocol() { return *m_protocol; }
    bool IsWireless() const { return m_commandLink.IsWireless(); }

    // ---- notification interfaces (discovery hands over the path) ----
    // Opens the wired or wireless notification interface under its lock and starts its reader.
    bool OpenNotifyInterface(const std::string& path, bool wireless);
    void CloseNotifyInterface(bool wireless);
    bool IsNotifyOpen(bool wireless) const;
    // Around a connection switch: readers start no new read while paused.
    void PauseNotifyReaders();
    void ResumeNotifyReaders();

    // ---- lighting ----
    vx::lighting::LightingEngine& Engine() { return *m_engine; }
    // The clock of the lighting thread and the stream rule (tests use a manual one). Set before
    // OnConnected.
    void SetLightingClock(const vx::lighting::LightingClock* clock);
    void StartLightingThread();
    // 1 stopped within its bound, 0 late, -1 none running.
    int StopLightingThread();
    bool LightingThreadRunning() const;
    const vx::lighting::StreamFailureRule& StreamRule() const { return m_streamRule; }
    // Whether the last stream frame sent asked for the pause after a failed send.
    bool LastFrameFailed() const { return m_lastFrameFailed.load(); }
    // While set, ReadPower reads nothing (the main window holds it during lighting hand-overs).
    void SetPowerReadHold(bool hold) { m_powerReadHold.store(hold); }
    bool GetPowerReadHold() const { return m_powerReadHold.load(); }
    // The cable or the receiver was connected anew: its stream runs again, whatever stopped it.
    void StreamConnectionOpened(bool wireless) { m_streamRule.SetStopped(wireless, false); }

    // ---- the device worker (the window hands over, then reads the results) ----
    // Asks the worker whether the device behind the receiver answers (IsReachable), unless a
    // check is under way.
    void RequestPresenceCheck();
    bool PresenceCheckPending() const { return m_worker.Busy(DeviceWorker::Task::Presence); }
    // The answer of the last check, once: 1 reachable, 0 not, -1 no answer since the request.
    int TakePresence() { return m_presence.exchange(-1); }
    // Asks the worker for a power reading; ShowDeviceResults shows it.
    void RequestPowerRead();
    // Asks the worker to reread the device's settings (what RefreshFromDevice does, split so
    // that the reads run on the worker); ShowDeviceResults takes them into the page.
    void RequestSettingsReread();
    // Shows on the page what the worker read since the last call (the power record, the
    // settings of a reread).
    void ShowDeviceResults();
    // Waits until the worker has nothing left to do (tests, the shutdown of a page).
    bool WaitForDeviceWork(int timeoutMs) { return m_worker.WaitIdle(timeoutMs); }
    const DeviceWorker& Worker() const { return m_worker; }
    // The UI-thread handler of a notification event (base: 0x401 asks for a reread).
    virtual void HandleNotifyEvent(uint16_t code, bool wireless);

    // Profile path while no profile is selected: device data folder + ".Json".
    std::string ProfilePathText() const;

protected:
    // A light's colour as a picture button takes it (0xRRGGBB); the frame keeps red lowest.
    static quint32 ButtonColour(const vx::lighting::LedEntry& e) {
        return (quint32(e.red) << 16) | (quint32(e.green) << 8) | quint32(e.blue);
    }
    // Messages posted to the page's own handle (from its reader threads), on the UI thread.
    virtual qintptr OnPageMessage(uint message, quintptr wParam, qintptr lParam);
    vx::widgets::WindowHandle SelfHandle() const { return m_selfHandle; }
    // The notification interface of the cable or the receiver was opened (with its path) or is
    // being closed; a page that reads more of the device follows it here.
    virtual void NotifyInterfaceOpened(const std::string& path, bool wireless) {
        (void)path;
        (void)wireless;
    }
    virtual void NotifyInterfaceClosing(bool wireless) { (void)wireless; }
    // Device classes hand over their engine (the base runs a mousepad-like one) and, from their
    // constructor, their protocol (the base has the common one).
    explicit CTavimondUSBDevice(std::unique_ptr<vx::lighting::LightingEngine> engine);
    void SetProtocol(std::unique_ptr<vx::devices::DeviceProtocol> protocol) { m_protocol = std::move(protocol); }

    // Builds the layout into the page root; false when the layout cannot be built.
    bool BuildLayout();
    // Binds "key_N" and "light_N" buttons of class DeviceKeyButton below the container (the
    // "SelectPanel" in the base, the class's picture container in the device classes).
    void BindKeyButtons(QWidget* container);
    // Gives the bound key and LED buttons that show no text an accessible name.
    void NameKeyButtons();
    // Paints the LED buttons from the frame and fills the stream bytes, then streams in the
    // software-driven modes. keyLedMap: nullptr for LED i at stream position i.
    void PaintAndStream(const uint8_t* keyLedMap, size_t mapSize);
    // The send of one stream frame, on the device worker (tests replace it to model a slow
    // device).
    virtual int SendStreamFrame(std::span<const uint8_t> bytes);
    // The power reading split by thread: FetchPower talks to the device (on the worker; false
    // when nothing was read), ShowPower shows the record (on the window's thread). The base
    // ReadPower runs both in a row.
    virtual bool FetchPower(vx::link::StatusRecord* record);
    virtual void ShowPower(const vx::link::StatusRecord& record);
    // The reread split the same way: BeforeReread on the window's thread when it is asked for,
    // FetchReread on the worker (the device's raw settings; false when nothing was read),
    // ApplyReread on the window's thread. Each class's RefreshFromDevice runs the three in a row.
    virtual void BeforeReread() {}
    virtual bool FetchReread(std::vector<uint8_t>*) { return false; }
    virtual void ApplyReread(const std::vector<uint8_t>&) {}
    // Ends the device worker; every class calls it first in its destructor, because the worker
    // runs the class's own operations.
    void StopDeviceWork();
    // Hands a class's own exchange to the device worker (replacing a waiting one of its task).
    void PostDeviceWork(DeviceWorker::Task task, DeviceWorker::Job job) { m_worker.Post(task, std::move(job)); }
    // On the worker only: the pause after an exchange of the frame timer that failed. Frames and
    // key-colour writes that fall into it are skipped.
    bool FramePaused();
    void StartFramePause();
    // Number of ms the readers' 0x401 asks to wait before the reread.
    virtual int RereadDelayMs() const { return kRereadDelayFastMs; }
    // Which notification interfaces the class opens.
    virtual bool OpensWirelessNotify() const { return true; }
    void RequestReread(int delayMs);
    // Registers the page with the paint manager's notification receivers (once).
    void RegisterForNotifications();
    // Shows the page's light record (with withAudio its audio-lighting record, with a customGroup
    // of 0 or more the custom colour group) on the page's lighting panel, so that the panel never
    // shows other values than the ones the page runs. Every class's RefreshPage ends with it.
    void ShowLightRecords(bool withAudio, int customGroup = -1);
    // A message to the owner window (the main window), sent on the UI thread.
    void SendToOwner(uint message, quintptr wParam);
    // After the profile node was put back: the class takes its own copies of profile records
    // (stages, key list) from it again. The lighting state is reloaded by the caller.
    virtual void TakeProfileRecords() {}
    // The page's key list (nullptr for a page without key assignments).
    virtual std::vector<vx::profiles::KeyEntry>* PageKeyList() { return nullptr; }
    // How many macro events must go after WriteMacroMemory found the image too large.
    virtual size_t MacroEventsOverLimit() const { return 0; }
    // Hands hook events to every panel of the page that takes them (the key panel takes single
    // keys, the macro panel recordings). The keyboard and mouse pages return it from
    // HookEventSink.
    class PanelHookSink : public vx::platform::IHookEventSink {
    public:
        explicit PanelHookSink(CTavimondUSBDevice& page) : m_page(page) {}
        void OnSingleKey(uint32_t message, const vx::platform::KeyboardEventRecord& record) override;
        void OnRecordKey(int target, uint32_t message, const vx::platform::KeyboardEventRecord& record) override;
        void OnRecordMouse(int target, uint32_t message, const vx::platform::MouseEventRecord& record) override;

    private:
        std::vector<vx::platform::IHookEventSink*> Panels() const;
        CTavimondUSBDevice& m_page;
    };
    PanelHookSink m_panelHookSink{*this};
    // Shows a status record on the power indicator when it can show one.
    void ShowPowerStatus(const std::array<uint8_t, 6>& status);
    vx::widgets::CDeviceKeyButtonUI* KeyButton(int index) const;
    vx::widgets::CDeviceKeyButtonUI* LightButton(int index) const;
    vx::lighting::StreamFailureRule& MutableStreamRule() { return m_streamRule; }
    const vx::lighting::LightingClock& Clock() const { return m_clockProxy; }

    vx::link::DeviceLink m_commandLink;
    vx::link::DeviceLink m_notifyLink;
    DeviceIdentity m_identity;
    uint16_t m_typeCode = 0;
    uint16_t m_variant = 0;
    // Talks through m_commandLink, which therefore outlives it.
    std::unique_ptr<vx::devices::DeviceProtocol> m_protocol;
    std::unique_ptr<vx::lighting::LightingEngine> m_engine;
    std::vector<QPointer<vx::widgets::CDeviceKeyButtonUI>> m_keyButtons;
    std::vector<QPointer<vx::widgets::CDeviceKeyButtonUI>> m_lightButtons;
    std::vector<uint8_t> m_keyMap;
    QPointer<QWidget> m_page;
    QPointer<QWidget> m_deviceOption;
    QPointer<QWidget> m_powerIndicator;
    QPointer<vx::widgets::CPaintManagerUI> m_paintManager;
    bool m_registeredForNotify = false;
    IRereadScheduler* m_rereadScheduler = nullptr;
    vx::widgets::IDialogBuilderCallback* m_builderCallback = nullptr;
    vx::widgets::WindowHandle m_ownerWindow = 0;
    QString m_layoutPath;
    std::string m_kindName;
    std::string m_lightNamePrefix;
    std::string m_profileId;
    int m_kindIndex = 0;
    int m_lightTableIndex = 0;
    int m_functionPage = functionpage::kDefault;
    int m_selectedKey = -1;
    bool m_powerVisible = false;
    bool m_preview = true;
    std::atomic<bool> m_lastFrameFailed{false};
    std::atomic<bool> m_powerReadHold{false};
    std::atomic<bool> m_softwareLighting{true};
    AudioLightInfo m_audioLightInfo;

private:
    vx::platform::IRecordingHost* m_recordingHost = nullptr;
    // Forwards to the clock set with SetLightingClock, or the steady clock.
    class ClockProxy : public vx::lighting::LightingClock {
    public:
        uint32_t NowMs() const override;
        std::atomic<const vx::lighting::LightingClock*> target{nullptr};
        vx::lighting::SteadyLightingClock steady;
    };

    void RegisterMessageTarget();
    void SelectFunctionTabs(int functionTab, int keyFunctionTab);
    // On the worker: the latest frame handed over goes out under the stream rule.
    void SendLatestFrame();

    ClockProxy m_clockProxy;
    vx::lighting::StreamFailureRule m_streamRule{m_clockProxy};
    std::unique_ptr<vx::lighting::LightingThread> m_lightingThread;
    std::unique_ptr<QObject> m_messageTarget;
    vx::widgets::WindowHandle m_selfHandle = 0;
    std::unique_ptr<NotifyReader> m_wiredReader;
    std::unique_ptr<NotifyReader> m_wirelessReader;
    std::atomic<bool> m_wiredNotifyOpen{false};
    std::atomic<bool> m_wirelessNotifyOpen{false};
    QPointer<vx::widgets::CTabLayoutUI> m_functionSwitch;
    QPointer<vx::widgets::CTabLayoutUI> m_keyFunctionSwitch;
    bool m_functionTabsLooked = false;

    // The frame handed to the worker; a newer one replaces it until the worker takes it.
    std::mutex m_frameMutex;
    std::array<uint8_t, 512> m_pendingFrame{};
    size_t m_pendingFrameLength = 0;
    // Worker only: after a stream frame that did not go out, frames are skipped until this time.
    uint32_t m_framePauseUntilMs = 0;
    bool m_framePaused = false;
    std::atomic<int> m_presence{-1};
    std::mutex m_resultsMutex;
    std::optional<vx::link::StatusRecord> m_powerRead;
    std::optional<std::vector<uint8_t>> m_settingsRead;
    // Declared last: it ends first, before anything its jobs use.
    DeviceWorker m_worker;
};

}  // namespace vx::devices
