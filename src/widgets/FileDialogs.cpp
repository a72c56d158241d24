#include "widgets/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace vx::widgets {

namespace ui {

namespace {

// Per process: the folder of the last file chosen in any of the dialogs.
QString& LastFolder() {
    static QString folder;
    return folder;
}

QString Run(QWidget* parent, const QString& filter, QFileDialog::AcceptMode mode, const QString& suffix) {
    QFileDialog dialog(parent, QString(), FileDialogStartFolder(), filter);
    dialog.setObjectName(QLatin1String(kFileDialogName));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The desktop's own dialog would not show the program's theme, and its look and behaviour
    // differ from desktop to desktop; Qt's dialog takes the style sheet.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    LastFolder() = QFileInfo(chosen).absolutePath();
    return chosen;
}

}  // namespace

QString FileDialogStartFolder() {
    const QString& last = LastFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

QString AskOpenFile(QWidget* parent, const QString& filter) {
    return Run(parent, filter, QFileDialog::AcceptOpen, QString());
}

QString AskSaveFile(QWidget* parent, const QString& filter, const QString& suffix) {
    QString path = Run(parent, filter, QFileDialog::AcceptSave, suffix);
    // The dialog adds its default suffix only to a name without any; "Game.v2" still needs it.
    const QString ending = QLatin1Char('.') + suffix;
    if (!path.isEmpty() && !suffix.isEmpty() && !path.endsWith(ending, Qt::CaseInsensitive)) path += ending;
    return path;
}

}  // namespace ui

}  // namespace vx::widgets
