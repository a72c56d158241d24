#pragma once
// The key-assignment panel of the keyboard and mouse pages ("KeySetControlItem"). When the user
// picks a key or button on the device picture, the page hands the panel that key's current and
// default assignment; the panel shows it on one of twelve function pages, builds the assignment
// back from its controls when the user changes one, stores it on the page, and on "save to
// device" has the page write its whole key list (and the macros the keys use) to the device.
//
// Setting a control from code never raises a notification, so the handlers run only for what
// the user did. UI thread only.

#include <QHash>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/KeyPanelViews.h"
#include "panels/KeyFunctionTables.h"
#include "platform/InputHookEvents.h"
#include "profiles/ProfileRecords.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlEvent.h"

namespace vx::devices { class CTavimondUSBDevice; }

namespace vx::panels {

class IPanelPrompts;

class CKeySetControlUI : public vx::widgets::CHorizontalLayoutUI,
                         public vx::devices::IKeyAssignmentView,
                         public vx::platform::IHookEventSink {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "CKeySetControlUI";
    static inline const QString kLayout = QStringLiteral("XML\\CustomControlXML\\KeySetControl.xml");
    static inline const QString kPageItemName = QStringLiteral("KeySetControlItem");
    static constexpr int kItemHeight = 30;
    static constexpr int kModifierOptions = 5;
    // Position of "keyset_macro_over_combo" that plays the macro a number of times.
    static constexpr int kRepeatPlayMode = 4;
    // Results of the page's key-list write besides a count of macro events too many.
    static constexpr int kWriteDone = 0;
    static constexpr int kWriteRefused = -1;

    static void RegisterControlClass();
    explicit CKeySetControlUI(QWidget* parent = nullptr);

    // --- Set-up by the page --------------------------------------------------------------------
    // Looks up the controls once and fills the fixed combos; false when the layout lacks the
    // function combo (the panel then does nothing).
    bool BindControls();
    void SetDevicePage(vx::devices::CTavimondUSBDevice* page) { m_page = page; }
    vx::devices::CTavimondUSBDevice* GetDevicePage() const { return m_page; }
    void SetPrompts(IPanelPrompts* prompts) { m_prompts = prompts; }
    // A keyboard (kind 1) offers neither DPI functions nor gun keys.
    void SetDeviceVariant(int kind);
    bool IsKeyboard() const { return m_keyboard; }

    // --- Macro names (kept in step by the macro panel) -------------------------------------------
    void SetMacroList(const std::vector<std::u16string>& names) override;
    void AddMacroItem(const std::u16string& name) override;
    void RemoveMacroItem(int position) override;
    void RenameMacroItem(int position, const std::u16string& name) override;
    int MacroCount() const;

    // --- The record being edited -------------------------------------------------------------
    void SetKeyAssignment(const vx::profiles::KeyEntry& entry) override;
    void ShowDefaultAssignment();
    void ShowCurrentAssignment();
    // Builds the record from the controls, stores it as the current one and returns it.
    vx::profiles::KeyEntry GetKeyAssignment();
    const vx::profiles::KeyEntry& Record() const { return m_record; }
    void SelectFunctionPage(int number);
    int ShownFunctionPage() const;
    void SetSaveButtonsEnabled(bool enabled);
    void SetModifierOption(int option);
    int GetModifierOption() const;
    void SetKeyText(const QString& languageKey);
    // The combo position whose function number is `number` (-1: none), and back (-1: no number).
    int FunctionPosition(int number) const;
    int FunctionNumberAt(int position) const;

    // --- Handlers of the panel's controls, as the main window's routing finds them -------------
    // "keyset_function_combo" (param: the new position).
    void OnFunctionCombo(const vx::widgets::ControlEvent& event);
    // "keyset_macro_over_combo".
    void OnPlayModeCombo(const vx::widgets::ControlEvent& event);
    // The other combos, the parameter edits left, and "key_butt_keysave".
    void OnAssignmentChanged(const vx::widgets::ControlEvent& event);
    // "key_ComBox_check_" + option.
    void OnModifierOption(const vx::widgets::ControlEvent& event);
    void OnDefaultButton(const vx::widgets::ControlEvent& event);
    void OnCancelButton(const vx::widgets::ControlEvent& event);
    // "key_butt_prosave": the page writes its key list to the device.
    void OnWriteButton(const vx::widgets::ControlEvent& event);

    // --- Global input hook: single-key capture into the key edit ------------------------------
    void OnSingleKey(uint32_t message, const vx::platform::KeyboardEventRecord& record) override;
    void OnRecordKey(int, uint32_t, const vx::platform::KeyboardEventRecord&) override {}
    void OnRecordMouse(int, uint32_t, const vx::platform::MouseEventRecord&) override {}

    QWidget* Control(const QString& name) const;
    template <class T>
    T* Control(const QString& name) const {
        return qobject_cast<T*>(Control(name));
    }

private:
    void FillFixedLists();
    void CaptionCombinations();
    void ShowRecord(const vx::profiles::KeyEntry& record);
    void ShowPage(int number);
    // The editor while a key is chosen that the panel can change, else the hint to choose one.
    void ShowEditor(bool shown);
    void ShowKeyOfUsage(uint8_t usage, int fromRow, bool clearWhenMissing);
    int EditValue(const char* name) const;
    void SetEditValue(const char* name, int value);
    void SelectSilently(const char* combo, int position);
    // The list a function's parameter is chosen from (mouse button, DPI, media, system), or null.
    static const char* RowComboOf(int function);
    int ComboPosition(const char* combo) const;
    // Build, store on the page, refresh the page, enable the save buttons.
    void StoreFromControls();
    IPanelPrompts& Prompts();

    vx::devices::CTavimondUSBDevice* m_page = nullptr;
    IPanelPrompts* m_prompts = nullptr;
    bool m_keyboard = false;
    bool m_bound = false;
    vx::profiles::KeyEntry m_record;
    // The record as the key had it when it was chosen or last written to the device (cancel).
    vx::profiles::KeyEntry m_chosen;
    mutable QHash<QString, QPointer<QWidget>> m_controls;
};

}  // namespace vx::panels
