#include "headset/page/HeadsetPanels.h"

#include <QSignalBlocker>

#include "widgets/ComboUI.h"
#include "widgets/ControlFactory.h"
#include "widgets/ControlUI.h"
#include "widgets/EditUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"

using vx::widgets::CComboUI;
using vx::widgets::CControlFactory;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CSliderUI;
using vx::widgets::ControlCreator;
namespace ui = vx::widgets::ui;

namespace vx::headset {

namespace {

constexpr int kEqOptions = 13;
constexpr int kEffectOptions = 4;
constexpr int kCustomItemHeight = 30;

QString Numbered(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QString::number(n);
}

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

std::u16string FromQString(const QString& text) {
    return text.toStdU16String();
}

}  // namespace

// ---- voice panel ----

void CVoice6533ControlUI::RegisterControlClass() {
    const ControlCreator create = [](QWidget* parent) -> QWidget* { return new CVoice6533ControlUI(parent); };
    CControlFactory::GetInstance().RegistControl(QString::fromLatin1(kClassName), create);
    CControlFactory::GetInstance().RegistControl(QStringLiteral("Voice6533Control"), create);
}

CVoice6533ControlUI::CVoice6533ControlUI(QWidget* parent) : CHorizontalLayoutUI(parent) {}

QWidget* CVoice6533ControlUI::Control(const char* name) {
    const QString key = QString::fromLatin1(name).toLower();
    auto it = m_controls.constFind(key);
    if (it != m_controls.constEnd() && !it->isNull()) return it->data();
    QWidget* found = CPaintManagerUI::FindSubControlByName(this, QString::fromLatin1(name));
    if (found != nullptr) m_controls.insert(key, found);
    return found;
}

COptionUI* CVoice6533ControlUI::Option(const char* name) {
    return qobject_cast<COptionUI*>(Control(name));
}

CSliderUI* CVoice6533ControlUI::Slider(const char* name) {
    return qobject_cast<CSliderUI*>(Control(name));
}

CComboUI* CVoice6533ControlUI::Combo() {
    return qobject_cast<CComboUI*>(Control("custom_eq_name_combo"));
}

void CVoice6533ControlUI::SelectEqPreset(int32_t preset) {
    for (int n = 1; n <= kEqOptions; ++n) {
        auto* option = qobject_cast<COptionUI*>(CPaintManagerUI::FindSubControlByName(this, Numbered("6533_eq_option_", n)));
        if (option) option->Selected(false);
    }
    m_preset = preset;
    if (preset > kEqOptions || preset < 0) {
        m_preset = 0;
        return;
    }
    if (preset == 0) return;
    auto* option = qobject_cast<COptionUI*>(CPaintManagerUI::FindSubControlByName(this, Numbered("6533_eq_option_", preset)));
    if (option) option->Selected(true);
}

void CVoice6533ControlUI::EnableEqSliders(bool on) {
    if (QWidget* layout = Control("custom_eq_option_layout")) ui::SetEnabled(layout, on);
}

void CVoice6533ControlUI::SetEqSlider(int32_t band, int32_t value) {
    // Looked up on every call: the bands are many and change only with the layout.
    auto* slider = qobject_cast<CSliderUI*>(CPaintManagerUI::FindSubControlByName(this, Numbered("6533_eq_hz_slider_", band)));
    if (slider) slider->SetValue(value);
}

int32_t CVoice6533ControlUI::GetEqSlider(int32_t band) {
    auto* slider = qobject_cast<CSliderUI*>(CPaintManagerUI::FindSubControlByName(this, Numbered("6533_eq_hz_slider_", band)));
    return slider ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::SetMicSwitch(bool on) {
    if (COptionUI* option = Option("6533_MicIn_option")) option->Selected(on);
}

void CVoice6533ControlUI::SetMicSlider(int32_t value) {
    if (CSliderUI* slider = Slider("6533_MicIn_slider")) slider->SetValue(value);
}

int32_t CVoice6533ControlUI::GetMicSlider() {
    CSliderUI* slider = Slider("6533_MicIn_slider");
    return slider ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::SetMonitorSwitch(bool on) {
    if (COptionUI* option = Option("6533_MicMoniter_option")) option->Selected(on);
}

void CVoice6533ControlUI::SetMonitorSlider(int32_t value) {
    if (CSliderUI* slider = Slider("6533_MicMoniter_slider")) slider->SetValue(value);
}

int32_t CVoice6533ControlUI::GetMonitorSlider() {
    CSliderUI* slider = Slider("6533_MicMoniter_slider");
    return slider ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::SetCustomEqNameText(const std::u16string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control("custom_eq_name_edit"))) edit->setText(ToQString(text));
}

std::u16string CVoice6533ControlUI::GetCustomEqNameText() {
    auto* edit = qobject_cast<QLineEdit*>(Control("custom_eq_name_edit"));
    return edit ? FromQString(edit->text()) : std::u16string();
}

void CVoice6533ControlUI::AddCustomEqName(const std::u16string& name) {
    CComboUI* combo = Combo();
    if (combo == nullptr) return;
    // Plain text: a user's name is never looked up as a language key.
    const int index = combo->AddItem(ToQString(name), false, ToQString(name));
    if (index >= 0) combo->setItemData(index, QSize(0, kCustomItemHeight), Qt::SizeHintRole);
}

int32_t CVoice6533ControlUI::GetCustomEqIndex() {
    CComboUI* combo = Combo();
    return combo ? combo->GetCurSel() : -1;
}

int32_t CVoice6533ControlUI::GetCustomEqCount() {
    CComboUI* combo = Combo();
    return combo ? combo->GetCount() : 0;
}

void CVoice6533ControlUI::SelectCustomEq(int32_t position) {
    CComboUI* combo = Combo();
    if (combo == nullptr) return;
    // Set from code: the combo reports only what the user picks.
    combo->SelectItem(position >= 0 && position < combo->GetCount() ? position : -1);
    SetCustomEqNameText(std::u16string());
}

void CVoice6533ControlUI::RemoveCustomEqName(int32_t position) {
    CComboUI* combo = Combo();
    if (combo == nullptr || position < 0 || position >= combo->GetCount()) return;
    const QSignalBlocker blocker(combo);
    combo->removeItem(position);
}

void CVoice6533ControlUI::ClearCustomEqNames() {
    if (CComboUI* combo = Combo()) combo->RemoveAll();
}

std::u16string CVoice6533ControlUI::GetCustomEqName(int32_t position) {
    CComboUI* combo = Combo();
    if (combo == nullptr || position < 0 || position >= combo->GetCount()) return {};
    return FromQString(combo->itemText(position));
}

// ---- voice-effect panel ----

void CMagicControlUI::RegisterControlClass() {
    const ControlCreator create = [](QWidget* parent) -> QWidget* { return new CMagicControlUI(parent); };
    CControlFactory::GetInstance().RegistControl(QString::fromLatin1(kClassName), create);
    CControlFactory::GetInstance().RegistControl(QStringLiteral("MagicControl"), create);
}

CMagicControlUI::CMagicControlUI(QWidget* parent) : CHorizontalLayoutUI(parent) {}

COptionUI* CMagicControlUI::EnableOption() {
    if (!m_enableOption) m_enableOption = CPaintManagerUI::FindSubControlByName(this, QStringLiteral("magic_enable_option"));
    return qobject_cast<COptionUI*>(m_enableOption.data());
}

QWidget* CMagicControlUI::OptionLayout() {
    if (!m_optionLayout) m_optionLayout = CPaintManagerUI::FindSubControlByName(this, QStringLiteral("magic_option_layout"));
    return m_optionLayout.data();
}

void CMagicControlUI::EnableVoiceEffectOptions(bool on) {
    if (QWidget* layout = OptionLayout()) ui::SetEnabled(layout, on);
}

void CMagicControlUI::SetVoiceEffectSwitch(bool on) {
    COptionUI* option = EnableOption();
    if (option == nullptr) return;
    option->Selected(on);
    EnableVoiceEffectOptions(on);
}

bool CMagicControlUI::IsVoiceEffectOn() {
    COptionUI* option = EnableOption();
    return option != nullptr && option->IsSelected();
}

void CMagicControlUI::SelectVoiceEffectOption(int32_t effect) {
    for (int n = 1; n <= kEffectOptions; ++n) {
        auto* option = qobject_cast<COptionUI*>(CPaintManagerUI::FindSubControlByName(this, Numbered("magic_option_", n)));
        if (option) option->Selected(false);
    }
    m_effect = effect;
    if (effect > kEffectOptions || effect < 0) {
        m_effect = 0;
        return;
    }
    if (effect == 0) return;
    auto* option = qobject_cast<COptionUI*>(CPaintManagerUI::FindSubControlByName(this, Numbered("magic_option_", effect)));
    if (option) option->Selected(true);
}

}  // namespace vx::headset
