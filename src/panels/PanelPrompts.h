#pragma once
// What the key and macro panels ask of the user, and the menu they open, through the window that
// shows them: the main window answers in the program, tests answer in its place. Without one the
// panels use the message box and Qt's file dialogs directly.

#include <QString>

class QWidget;

namespace vx::panels {

class IPanelPrompts {
public:
    virtual ~IPanelPrompts() = default;
    // The chosen file, or an empty text when the dialog was cancelled. filterName e.g.
    // "Macro Files(*.mac)", pattern e.g. "*.mac;".
    virtual QString OpenFile(const QString& filterName, const QString& pattern) = 0;
    virtual QString SaveFile(const QString& filterName, const QString& pattern) = 0;
    // An OK/cancel question by language key: 1 for OK.
    virtual int Ask(const QString& key) = 0;
    // A notice; `textIsKey` makes `text` a language key, otherwise it is shown as it is.
    virtual void Tell(const QString& text, bool textIsKey) = 0;
    // Opens the pop-up menu of a layout at the pointer; the item chosen comes back as a menu
    // command of the window.
    virtual void ShowMenu(const QString& layout) = 0;
};

// The prompts used when none were set: the message box and Qt's file dialogs; a menu opened
// without a window to route its commands does nothing when an item is chosen.
IPanelPrompts& DefaultPanelPrompts(QWidget* parent);

// The layouts write the grey hint texts of edits as "%[key]" like their other texts; the hints
// below `panel` are shown in the current language.
void TranslatePlaceholders(QWidget* panel);

}  // namespace vx::panels
