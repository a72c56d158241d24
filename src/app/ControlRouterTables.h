#pragma once
// The routing tables of the main window: which control name (exact, or a prefix followed by a
// decimal index) means which action, per notification type. Rows are tested in order; the first
// match wins. Names are compared without regard to letter case.

#include <QString>
#include <span>

enum class RouteAction {
    None,
    // main window
    WindowButton,
    DeviceSelectChanged,
    DeviceSelectPrev,
    DeviceSelectNext,
    SystemSettings,
    SameMode,
    // device page (any kind)
    PageKeyChosen,
    PageDefaults,
    // keyboard page
    KeyboardRepeatReset,
    KeyboardCustomColourOn,
    KeyboardCustomColourOff,
    KeyboardRepeatDelay,
    KeyboardRepeatRate,
    KeyboardWinLock,
    KeyboardWFlag,
    KeyboardKey6,
    // mouse page (the polling rate reaches the keyboard too)
    PagePollingRate,
    MouseDpiEnable,
    MouseDpiSelect,
    MouseDpiSlider,
    MouseDpiSliderDrag,
    MouseDpiEdit,
    MouseSettingsOption,
    MousePointerPrecision,
    MouseScrollsPage,
    MousePointerSpeed,
    MouseScrollSpeed,
    MouseDoubleClick,
    MouseDpiColour,
    // profile panel
    ProfileNew,
    ProfileDelete,
    ProfileCopy,
    ProfileImport,
    ProfileExport,
    ProfileReset,
    ProfileRename,
    ProfileMenuToggle,
    ProfileTab,
    ProfileChosen,
    // lighting panel
    LightColourOption,
    LightAudioColourOption,
    LightBackgroundOff,
    LightSelect,
    LightSlider,
    LightEdit,
    LightCombo,
    LightPalette,
    // done by the window itself
    QorinDpiDrag,
    QorinDpiEdit,
    CompanionLightSlider,
    KeyCaptureEnd,
    AudioStyleWindow,
    AboutWindow,
    // Panels and windows still to come: their rows are matched (so that nothing else claims the
    // names) but do nothing until the panel exists.
    PendingKeyPanel,
    PendingMacroPanel,
    PendingMacroRecording,
    PendingShootPanel,
    PendingHeadset,
    PendingColourPicker,
    PendingAudioStyleWindow,
    PendingSecondaryWindow,
};

struct RouteRow {
    const char* name;
    // A prefix row (its name ends in "_") matches only a name that is that prefix followed by a
    // decimal index; the prefix alone matches nothing.
    bool prefix;
    RouteAction action;
    // Row-specific value: the tab number, the companion command, ...
    int value = 0;
};

namespace routes {
extern const std::span<const RouteRow> kClick;
extern const std::span<const RouteRow> kSelect;
extern const std::span<const RouteRow> kValue;
extern const std::span<const RouteRow> kDrag;
extern const std::span<const RouteRow> kKillFocus;
extern const std::span<const RouteRow> kItem;
extern const std::span<const RouteRow> kColour;
// Menu commands (menu item names) other than "exit", which the window handles itself.
extern const std::span<const RouteRow> kMenu;

// The first row of the table that matches the control name, or nullptr. For a prefix row the
// index is stored in `index`; for an exact row it is -1.
const RouteRow* Find(std::span<const RouteRow> table, const QString& name, int& index);
}  // namespace routes
