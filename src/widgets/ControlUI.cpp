#include "widgets/ControlUI.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QColor>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QWidget>

#include "widgets/ComboUI.h"
#include "widgets/RenderEngine.h"
#include "widgets/ResourceManager.h"

namespace vx::widgets {

namespace {
const char* const kKeyMode = "vx_resourcetext";
const char* const kTextKey = "vx_textkey";
const char* const kTipKey = "vx_tipkey";
const char* const kHintKey = "vx_hintkey";

void ApplyText(QWidget* w, const QString& text) {
    const QSignalBlocker blocker(w);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable()) combo->setEditText(text);
    } else if (w->isWindow()) {
        w->setWindowTitle(text);
    } else {
        w->setProperty("text", text);
    }
    w->update();
}

int g_silent = 0;

// Disabling or hiding the focused control moves the focus on as if the user pressed Tab.
struct SilentScope {
    SilentScope() { ++g_silent; }
    ~SilentScope() { --g_silent; }
};

bool IsKeyText(const QString& text) {
    return text.startsWith("%[") && text.endsWith(']');
}

const char* const kAccessibleKey = "vx_accessiblekey";
const char* const kAccessibleFromTip = "vx_accessiblefromtip";
const char* const kAccessibleArg = "vx_accessiblearg";

// Controls a user acts on. A screen reader and desktop automation find them by their accessible
// name; Qt names a button by its text only, so an icon button, a slider or an edit box needs one.
bool IsActionable(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// The text a label shows in the current language, whether or not it was retexted yet.
QString LabelText(const QLabel* label) {
    const QString key = label->property(kTextKey).toString();
    if (!key.isEmpty()) return CResourceManager::GetInstance().GetText(key);
    const QString text = label->text();
    if (IsKeyText(text)) return CResourceManager::GetInstance().GetText(text.mid(2, text.size() - 3));
    return text;
}

// The layout that holds `w` directly, searched from its parent's layout down.
const QLayout* HoldingLayout(const QLayout* layout, const QWidget* w) {
    if (!layout) return nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w) return layout;
        if (const QLayout* found = HoldingLayout(item->layout(), w)) return found;
    }
    return nullptr;
}

// What a user reads as the control's caption: the nearest text label before it in its row, as a
// form's label names the field after it.
QString CaptionBefore(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    const QLayout* row = parent ? HoldingLayout(parent->layout(), w) : nullptr;
    if (!row) return {};
    int at = row->indexOf(w);
    while (--at >= 0) {
        const auto* label = qobject_cast<const QLabel*>(row->itemAt(at)->widget());
        if (!label || label->isHidden()) continue;
        const QString text = LabelText(label).trimmed();
        if (!text.isEmpty()) return text;
    }
    return {};
}

// The name a control without text gets: its tooltip, the caption before it, or its row's
// tooltip.
QString DerivedName(const QWidget* w) {
    if (!w->toolTip().isEmpty()) return w->toolTip();
    const QString caption = CaptionBefore(w);
    if (!caption.isEmpty()) return caption;
    const QWidget* parent = w->parentWidget();
    return parent && !parent->isWindow() ? parent->toolTip() : QString();
}

// The layout may name a control with "%[key]" as its accessible name; that name follows the
// language. An actionable control without a text of its own is named by its tooltip, else by the
// caption before it or its row's tooltip.
void UpdateAccessibleName(QWidget* w) {
    const QString name = w->accessibleName();
    if (IsKeyText(name)) w->setProperty(kAccessibleKey, name.mid(2, name.size() - 3));
    const QString key = w->property(kAccessibleKey).toString();
    if (!key.isEmpty()) {
        QString text = CResourceManager::GetInstance().GetText(key);
        const QVariant arg = w->property(kAccessibleArg);
        if (arg.isValid()) text = text.arg(arg.toString());
        w->setAccessibleName(text);
        return;
    }
    const bool fromTip = w->property(kAccessibleFromTip).toBool();
    if (!name.isEmpty() && !fromTip) return;
    const auto* button = qobject_cast<const QAbstractButton*>(w);
    const bool hasText = button != nullptr && !button->text().trimmed().isEmpty();
    const QString derived = IsActionable(w) && !hasText ? DerivedName(w) : QString();
    if (derived.isEmpty()) {
        if (fromTip) w->setAccessibleName(QString());
        w->setProperty(kAccessibleFromTip, QVariant());
        return;
    }
    w->setAccessibleName(derived);
    w->setProperty(kAccessibleFromTip, true);
}
}  // namespace

namespace ui {

QRgb ParseColor(const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith("0x", Qt::CaseInsensitive)) t = "#" + t.mid(2);
    if (t.startsWith('#') && t.size() == 9) {
        bool ok = false;
        const uint v = t.mid(1).toUInt(&ok, 16);
        return ok ? v : 0;
    }
    const QColor c = QColor::fromString(t);
    return c.isValid() ? c.rgba() : 0;
}

bool IsSilent() {
    return g_silent > 0;
}

void SetVisible(QWidget* control, bool visible) {
    const SilentScope silent;
    if (control) control->setVisible(visible);
}
bool IsVisible(const QWidget* control) {
    return control && !control->isHidden();
}
void SetEnabled(QWidget* control, bool enabled) {
    const SilentScope silent;
    if (control) control->setEnabled(enabled);
}
bool IsEnabled(const QWidget* control) {
    return control && control->isEnabled();
}

void SetResourceText(QWidget* control, bool keyMode) {
    if (control) control->setProperty(kKeyMode, keyMode);
}
bool IsResourceText(const QWidget* control) {
    return control && control->property(kKeyMode).toBool();
}

void SetText(QWidget* control, const QString& text) {
    if (!control) return;
    if (IsResourceText(control)) {
        control->setProperty(kTextKey, text);
        ApplyText(control, CResourceManager::GetInstance().GetText(text));
    } else {
        control->setProperty(kTextKey, QVariant());
        ApplyText(control, text);
    }
}

void SetTextKey(QWidget* control, const QString& key) {
    SetResourceText(control, !key.isEmpty());
    SetText(control, key);
}

QString GetText(const QWidget* control) {
    if (!control) return {};
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    if (control->isWindow()) return control->windowTitle();
    return control->property("text").toString();
}

QString GetTextKey(const QWidget* control) {
    return control ? control->property(kTextKey).toString() : QString();
}

void SetToolTip(QWidget* control, const QString& textOrKey) {
    if (!control) return;
    if (IsKeyText(textOrKey)) {
        const QString key = textOrKey.mid(2, textOrKey.size() - 3);
        control->setProperty(kTipKey, key);
        control->setToolTip(CResourceManager::GetInstance().GetText(key));
    } else {
        control->setProperty(kTipKey, QVariant());
        control->setToolTip(textOrKey);
    }
    UpdateAccessibleName(control);
}

void SetAccessibleName(QWidget* control, const QString& key, const QString& arg) {
    if (!control) return;
    control->setProperty(kAccessibleKey, key);
    control->setProperty(kAccessibleArg, arg.isNull() ? QVariant() : QVariant(arg));
    control->setProperty(kAccessibleFromTip, QVariant());
    UpdateAccessibleName(control);
}

void RefreshText(QWidget* control) {
    if (!control) return;
    const QString text = GetText(control);
    if (IsKeyText(text) && !control->property(kTextKey).isValid()) {
        // A layout text "%[key]" puts the control into key mode when it is first seen.
        control->setProperty(kKeyMode, true);
        control->setProperty(kTextKey, text.mid(2, text.size() - 3));
    }
    const QString key = GetTextKey(control);
    if (!key.isEmpty()) ApplyText(control, CResourceManager::GetInstance().GetText(key));
    const QString tip = control->toolTip();
    if (IsKeyText(tip)) SetToolTip(control, tip);
    const QString tipKey = control->property(kTipKey).toString();
    if (!tipKey.isEmpty()) control->setToolTip(CResourceManager::GetInstance().GetText(tipKey));
    UpdateAccessibleName(control);
    if (auto* combo = qobject_cast<CComboUI*>(control)) combo->RefreshItemTexts();
    // An edit's hint ("%[key]" in the layout) is remembered by its key, like the texts above.
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        const QString hint = edit->placeholderText();
        if (IsKeyText(hint)) edit->setProperty(kHintKey, hint.mid(2, hint.size() - 3));
        const QString hintKey = edit->property(kHintKey).toString();
        if (!hintKey.isEmpty()) edit->setPlaceholderText(CResourceManager::GetInstance().GetText(hintKey));
    }
}

void SetUserData(QWidget* control, const QString& data) {
    if (control) control->setProperty("userdata", data);
}
QString GetUserData(const QWidget* control) {
    return control ? control->property("userdata").toString() : QString();
}
void SetTag(QWidget* control, qintptr tag) {
    if (control) control->setProperty("vx_tag", QVariant::fromValue<qlonglong>(tag));
}
qintptr GetTag(const QWidget* control) {
    return control ? static_cast<qintptr>(control->property("vx_tag").toLongLong()) : 0;
}

void SetBkColor(QWidget* control, QRgb argb) {
    if (!control) return;
    control->setProperty("bkcolor", QStringLiteral("#%1").arg(argb, 8, 16, QChar('0')));
    control->update();
}
QRgb GetBkColor(const QWidget* control) {
    return control ? ParseColor(control->property("bkcolor").toString()) : 0;
}
void SetBkImage(QWidget* control, const QString& imageString) {
    if (!control) return;
    control->setProperty("bkimage", imageString);
    control->update();
}
QString GetBkImage(const QWidget* control) {
    return control ? control->property("bkimage").toString() : QString();
}

void PaintBackground(QPainter& painter, const QWidget* control) {
    const QRgb color = GetBkColor(control);
    if (qAlpha(color) != 0)
        CRenderEngine::DrawColor(painter, control->rect(), CRenderEngine::AdjustColor(color));
    const QString image = GetBkImage(control);
    if (!image.isEmpty()) CRenderEngine::DrawImageString(painter, control->rect(), image);
}

void SetPos(QWidget* control, const QRect& rc) {
    if (control) control->setGeometry(rc);
}
QRect GetPos(const QWidget* control) {
    return control ? control->geometry() : QRect();
}

}  // namespace ui

}  // namespace vx::widgets
