#pragma once

#include <QtGui/qrgb.h>
#include <QRect>
#include <QString>
#include <QVariant>

class QPainter;
class QWidget;
namespace vx::widgets {


// State operations that every control of a layout has, whatever its class. None of them raises a
// notification. A null control is accepted and ignored, so that a missing control makes the
// operation do nothing.
namespace ui {

// True while one of the operations below runs: focus moved by them is the program's doing.
bool IsSilent();

// "#AARRGGBB", "#RRGGBB", "0xAARRGGBB" or a colour name; 0 when it cannot be read.
QRgb ParseColor(const QString& text);

void SetVisible(QWidget* control, bool visible);
// Whether the control itself is set visible (its window may still be hidden).
bool IsVisible(const QWidget* control);
void SetEnabled(QWidget* control, bool enabled);
bool IsEnabled(const QWidget* control);

// In language-key mode the text given is a key of the language file; the control shows its text
// and is retexted when the language changes. A layout text written as "%[key]" is in key mode.
void SetResourceText(QWidget* control, bool keyMode);
bool IsResourceText(const QWidget* control);
void SetText(QWidget* control, const QString& text);
// Shows the text of a language key and keeps following the language; an empty key clears the
// text and leaves key mode.
void SetTextKey(QWidget* control, const QString& key);
// The text shown (not the key).
QString GetText(const QWidget* control);
// The language key of a control in key mode, else empty.
QString GetTextKey(const QWidget* control);
// A control a user acts on that shows no text of its own (an icon button, a slider) also takes
// its tooltip as its accessible name, so that a screen reader can say what it is.
void SetToolTip(QWidget* control, const QString& textOrKey);
// Names a control for screen readers and desktop automation by a language key; "%1" in the text
// is replaced by `arg`. The name follows the language.
void SetAccessibleName(QWidget* control, const QString& key, const QString& arg = QString());
// Re-reads the texts of a control in key mode from the current language table, its tooltip and
// its accessible name (a layout may give one as "%[key]").
void RefreshText(QWidget* control);

void SetUserData(QWidget* control, const QString& data);
QString GetUserData(const QWidget* control);
void SetTag(QWidget* control, qintptr tag);
qintptr GetTag(const QWidget* control);

// Background colour (ARGB; 0 = none) and image string, drawn under the control's own painting.
void SetBkColor(QWidget* control, QRgb argb);
QRgb GetBkColor(const QWidget* control);
void SetBkImage(QWidget* control, const QString& imageString);
QString GetBkImage(const QWidget* control);
void PaintBackground(QPainter& painter, const QWidget* control);

// Position relative to the parent control.
void SetPos(QWidget* control, const QRect& rc);
QRect GetPos(const QWidget* control);

}  // namespace ui

}  // namespace vx::widgets
