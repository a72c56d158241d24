#pragma once
// The macro panel of the keyboard and mouse pages ("MacroControlItem"): the page's macro list,
// the events of the chosen macro as editable rows, recording from the global input hook, inserted
// mouse events and moves, row commands, import and export. The files are MacroFiles'; deleting a
// macro keeps every key assignment of every profile of the device pointing at the right macro,
// and the key panel's macro combo follows every change of the list.
//
// Recording: the start button and the record menu items put the panel into recording (delay mode
// 1 real time, 2 constant, 3 none; target 4 append, 8 before the selected row, 16 after it, 32
// replace the selected row's key) and ask the page's recording host to route the hook's events
// here; the page hands them over through its HookEventSink. A panel without a host records what
// it is given all the same.
//
// UI thread only.

#include <json/json.h>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/InputHookEvents.h"
#include "profiles/MacroFiles.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlEvent.h"
#include "widgets/ListUI.h"

namespace vx::devices { class CTavimondUSBDevice; }

namespace vx::panels {

class IPanelPrompts;

// One event row of the list ("macro_action"): name, action and the delay edit ("macro_delay");
// the event object rides along as JSON text in the row's user data. A right click asks the
// window for the macro-action menu.
class CMacroActionRowUI : public vx::widgets::CListContainerElementUI {
    Q_OBJECT
public:
    static constexpr int kHeight = 30;
    explicit CMacroActionRowUI(const Json::Value& event, QWidget* parent = nullptr);
    Json::Value Event() const;
    void SetEvent(const Json::Value& event);
    QString NameKey() const { return m_nameKey; }
    QString DelayText() const;
    void SetDelayText(const QString& text);
    QWidget* DelayEdit() const { return m_delay; }

protected:
    // A row holds controls of its own, so the list never sees the click: the row selects itself.
    void mousePressEvent(QMouseEvent* event) override;

private:
    void SelectInList();
    void ShowEvent(const Json::Value& event);
    QString m_nameKey;
    QWidget* m_name = nullptr;
    QWidget* m_action = nullptr;
    QWidget* m_delay = nullptr;
};

class CMacroControlUI : public vx::widgets::CHorizontalLayoutUI, public vx::platform::IHookEventSink {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "CMacroControlUI";
    static inline const QString kLayout = QStringLiteral("XML\\CustomControlXML\\MacroControl.xml");
    static inline const QString kMenuLayout = QStringLiteral("XML\\Menus\\macro_action_menu.xml");
    static inline const QString kPageItemName = QStringLiteral("MacroControlItem");
    static inline const QString kFilterName = QStringLiteral("Macro Files(*.mac)");
    static inline const QString kFilterPattern = QStringLiteral("*.mac;");
    static constexpr int kItemHeight = 30;
    static constexpr int kScrollTimerId = 4101;
    static constexpr int kScrollDelayMs = 50;
    static constexpr uint16_t kStartConstantDelay = 50;
    // Delay modes.
    static constexpr int kRecordRealTime = 1;
    static constexpr int kRecordConstantTime = 2;
    static constexpr int kRecordNoTime = 3;

    static void RegisterControlClass();
    explicit CMacroControlUI(QWidget* parent = nullptr);
    ~CMacroControlUI() override;

    // --- Set-up by the page --------------------------------------------------------------------
    bool BindControls();
    void SetDevicePage(vx::devices::CTavimondUSBDevice* page) { m_page = page; }
    vx::devices::CTavimondUSBDevice* GetDevicePage() const { return m_page; }
    void SetPrompts(IPanelPrompts* prompts) { m_prompts = prompts; }
    void SetMacroFolder(const std::filesystem::path& folder) { m_folder = folder; }
    const std::filesystem::path& MacroFolder() const { return m_folder; }
    // Milliseconds of a monotonic clock; tests put a clock of their own in.
    void SetTickSource(std::function<uint32_t()> ticks) { m_ticks = std::move(ticks); }

    // --- The list --------------------------------------------------------------------------------
    void LoadMacroList();
    std::vector<vx::profiles::MacroListEntry> Macros() const;
    int SelectedMacro() const;
    // Selects a macro and loads its rows (-1: none).
    void SelectMacro(int position);
    std::u16string AddMacro();
    int DeleteMacro();
    // The new name, "IsEmpty" for a blank name, or empty text when the name is taken.
    std::u16string RenameMacro(const std::u16string& name);
    bool SaveMacro();
    std::u16string ImportMacro(const std::filesystem::path& path);
    bool ExportMacro(const std::filesystem::path& path);

    // --- The rows --------------------------------------------------------------------------------
    int RowCount() const;
    // The event of row i (null past the end).
    Json::Value RowEvent(int row) const;
    QString RowDelayText(int row) const;
    int SelectedRow() const;
    void SelectRow(int row);
    void MoveRowUp();
    void MoveRowDown();
    void MoveRowTop();
    void MoveRowBottom();
    void DeleteRow();
    void DeleteAllRows();
    // A mouse button's event after the selected row: its press, its release, or a click (the
    // press and then the release). `button` is the button bit (0x01 left ... 0x10 forward).
    enum InsertKind { kInsertDown = 0, kInsertUp = 1, kInsertClick = 2 };
    bool InsertMouseEvent(int button, InsertKind kind);
    // A move of `type` (4 horizontal, 5 vertical), `down` left/up, distance from the edit.
    void InsertMove(int type, bool down, const char* distanceEdit);

    // --- Recording -------------------------------------------------------------------------------
    void StartRecording(int mode, int target);
    void StopRecording();
    bool IsRecording() const { return m_recording; }
    bool IsConstantTime() const;
    uint16_t ConstantDelay() const { return m_constantDelay; }
    void RecordKeyEvent(int target, uint32_t message, const vx::platform::KeyboardEventRecord& record);
    void RecordMouseEvent(int target, uint32_t message, const vx::platform::MouseEventRecord& record);

    // IHookEventSink: recordings arrive here; single keys are the key panel's.
    void OnSingleKey(uint32_t, const vx::platform::KeyboardEventRecord&) override {}
    void OnRecordKey(int target, uint32_t message, const vx::platform::KeyboardEventRecord& record) override {
        RecordKeyEvent(target, message, record);
    }
    void OnRecordMouse(int target, uint32_t message, const vx::platform::MouseEventRecord& record) override {
        RecordMouseEvent(target, message, record);
    }

    // --- Handlers of the panel's controls, as the main window's routing finds them -------------
    void OnMacroChosen(const vx::widgets::ControlEvent& event);   // "macro_name_list"
    void OnAddButton(const vx::widgets::ControlEvent& event);     // "macro_btn_name_add"
    void OnDeleteButton(const vx::widgets::ControlEvent& event);  // "macro_btn_name_sub"
    void OnRenameButton(const vx::widgets::ControlEvent& event);  // "macro_btn_name_edit"
    void OnSaveButton(const vx::widgets::ControlEvent& event);    // "macro_btn_save"
    void OnCancelButton(const vx::widgets::ControlEvent& event);  // "macro_btn_cancel"
    void OnImportButton(const vx::widgets::ControlEvent& event);  // "macro_btn_import"
    void OnExportButton(const vx::widgets::ControlEvent& event);  // "macro_btn_export"
    // "macro_btn_up", "_down", "_uptop", "_downbottom", "_delete", "_deleteall"; row value =
    // the command.
    void OnRowCommand(const vx::widgets::ControlEvent& event);
    // "macro_inset_move...key_btn"; row value = the direction (0 left, 1 right, 2 up, 3 down).
    void OnMoveButton(const vx::widgets::ControlEvent& event);
    void OnDelayEdit(const vx::widgets::ControlEvent& event);    // "macro_delay" left or Enter
    void OnStartButton(const vx::widgets::ControlEvent& event);  // "macro_btn_starredio"
    void OnStopButton(const vx::widgets::ControlEvent& event);   // "macro_btn_stopredio"
    void OnActionMenu(const vx::widgets::ControlEvent& event);   // "macro_action", "macro_action_list" menu
    // Menu "redio_..." items; row value = delay mode * 100 + target (mode 0: as the start button).
    void OnRecordMenu(const vx::widgets::ControlEvent& event);
    // Menu "left_down" ... "back_click"; row value = button bit | InsertKind << 8.
    void OnInsertMenu(const vx::widgets::ControlEvent& event);

    enum RowCommand { kRowUp = 0, kRowDown, kRowTop, kRowBottom, kRowDelete, kRowDeleteAll };

    QWidget* Control(const QString& name) const;
    template <class T>
    T* Control(const QString& name) const {
        return qobject_cast<T*>(Control(name));
    }

private:
    vx::profiles::MacroFiles Files() const { return vx::profiles::MacroFiles(m_folder); }
    vx::widgets::CListUI* NameList() const;
    vx::widgets::CListUI* ActionList() const;
    CMacroActionRowUI* Row(int row) const;
    // Inserts a row built from the event at `row` (appends for -1); returns its place.
    int InsertRow(int row, const Json::Value& event);
    void LoadRows(const std::string& guid);
    void EnableMacroControls(bool enabled);
    void SetRecordingLook(bool recording);
    void AddRecordedEvent(int target, const Json::Value& event, uint16_t measured);
    uint16_t MeasureDelay();
    void BeginRecording(int mode, int target);
    void AfterListChange();
    void TellKeyPanelAdded(const std::u16string& name);
    void ScrollToSelection();
    void AttachRow(CMacroActionRowUI* row);
    IPanelPrompts& Prompts();

    vx::devices::CTavimondUSBDevice* m_page = nullptr;
    IPanelPrompts* m_prompts = nullptr;
    std::filesystem::path m_folder;
    std::function<uint32_t()> m_ticks;
    bool m_bound = false;
    bool m_recording = false;
    int m_mode = kRecordRealTime;
    int m_target = vx::platform::kHookMacro;
    uint16_t m_constantDelay = kStartConstantDelay;
    uint32_t m_lastTick = 0;
    bool m_recordedAny = false;
    // Per recording target: the last key pressed (scan code, extended) and the last mouse message.
    std::map<int, std::pair<uint32_t, bool>> m_lastDown;
    std::map<int, uint32_t> m_lastMouse;
    QTimer m_scrollTimer;
    mutable QHash<QString, QPointer<QWidget>> m_controls;
};

}  // namespace vx::panels
