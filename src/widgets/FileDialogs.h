#pragma once
// The program's file dialogs (profile import and export). They open in the folder the user last
// chose a file in, or else in the user's documents folder (home when there is none), never in
// the process's working folder, which for a program started from a menu is meaningless.
//
// The dialogs are Qt's own widgets (named "file_dialog"), so that they take the window's style
// sheet rules for file dialogs and can be driven like any other window of the program.

#include <QString>

class QWidget;
namespace vx::widgets {


namespace ui {

// Object name of the dialog while it is open.
inline constexpr const char* kFileDialogName = "file_dialog";

// The chosen file, or an empty string when the user cancelled.
QString AskOpenFile(QWidget* parent, const QString& filter);
// The chosen destination; a name typed without the suffix gets "." + suffix appended (compared
// without case), so that the file is offered again by a dialog with the same filter.
QString AskSaveFile(QWidget* parent, const QString& filter, const QString& suffix);

// The folder the next dialog opens in.
QString FileDialogStartFolder();

}  // namespace ui

}  // namespace vx::widgets
