#include "panels/KeySetControlUI.h"

#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QWidget>
#include <algorithm>

// The page header keeps QPointer members of classes it only declares; their definitions must come
// first.
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// clang-format off
#include "devices/TavimondUSBDevice.h"
// clang-format on
#include "panels/PanelPrompts.h"
#include "profiles/StringUtil.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlFactory.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/ResourceManager.h"

using vx::devices::CTavimondUSBDevice;
using vx::profiles::KeyEntry;
using vx::widgets::CComboUI;
using vx::widgets::CControlFactory;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CTabLayoutUI;
using vx::widgets::ControlCreator;
using vx::widgets::ControlEvent;
namespace ui = vx::widgets::ui;
using vx::profiles::KeyFunction;

namespace vx::panels {

namespace {

constexpr const char* kFunctionCombo = "keyset_function_combo";
constexpr const char* kFunctionTabs = "function_switch_tablayout";
constexpr const char* kEditorLayout = "keyset_layout";
constexpr const char* kMouseKeyCombo = "keyset_mousekey_combo";
constexpr const char* kSwingCombo = "keyset_mouseswing_combo";
constexpr const char* kSwingCount = "keyset_mouseswing_num_edit";
constexpr const char* kSwingDelay = "keyset_mouseswing_delay_edit";
constexpr const char* kSwingSpeed = "keyset_mouseswing_speed_edit";
constexpr const char* kWheelCombo = "keyset_mousewheel_combo";
constexpr const char* kWheelCount = "keyset_mousewheel_num_edit";
constexpr const char* kWheelDelay = "keyset_mousewheel_delay_edit";
constexpr const char* kWheelSpeed = "keyset_mousewheel_speed_edit";
constexpr const char* kDpiCombo = "keyset_mousedpi_combo";
constexpr const char* kFireInterval = "keyset_mousefire_interval_edit";
constexpr const char* kFireCount = "keyset_mousefire_num_edit";
constexpr const char* kKeyEdit = "keyset_keyboard_text_edit";
constexpr const char* kMediaCombo = "keyset_media_combo";
constexpr const char* kSystemCombo = "keyset_system_combo";
constexpr const char* kMacroCombo = "keyset_macro_combo";
constexpr const char* kPlayModeCombo = "keyset_macro_over_combo";
constexpr const char* kCycleLayout = "keyset_macro_cycle_layout";
constexpr const char* kCycleEdit = "keyset_macro_cycle_edit";
constexpr const char* kGunKeyCombo = "keyset_gunkey_combo";
constexpr const char* kCombinationCombo = "keyset_combokey_combo";
constexpr const char* kSaveButtons[] = {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"};

// Captions of the function combo, by function number.
constexpr const char* kFunctionKeys[kFunctionPages] = {
    "keyset_function_default", "keyset_function_mousekey", "keyset_function_swing",
    "keyset_function_wheel",   "keyset_function_dpi",      "keyset_function_fire",
    "keyset_function_key",     "keyset_function_media",    "keyset_function_system",
    "keyset_function_macro",   "keyset_function_gunkey",   "keyset_function_combination",
};
constexpr const char* kMouseButtonKeys[] = {"mouse_key_left", "mouse_key_middle", "mouse_key_right",
                                            "mouse_key_forward", "mouse_key_back"};
constexpr const char* kSwingKeys[] = {"keyset_swing_forward", "keyset_swing_reverse"};
constexpr const char* kWheelKeys[] = {"keyset_wheel_up", "keyset_wheel_down"};
constexpr const char* kDpiKeys[] = {"mouse_key_dpi_up", "mouse_key_dpi_down", "mouse_key_dpi_cycle"};
constexpr const char* kPlayModeKeys[] = {"keyset_macro_play_0", "keyset_macro_play_1", "keyset_macro_play_2",
                                         "keyset_macro_play_3", "keyset_macro_play_4"};
constexpr const char* kGunKeys[] = {"keyset_gunkey_0", "keyset_gunkey_1", "keyset_gunkey_2",
                                    "keyset_gunkey_3"};

KeyTriple TripleOf(const KeyFunction& f) {
    return {f.type, f.first, f.second};
}

void Assign(KeyFunction& f, const KeyTriple& t) {
    f.type = t.code;
    f.first = t.first;
    f.second = t.second;
}

QString Translated(const char* key) {
    return CResourceManager::GetInstance().GetText(QString::fromLatin1(key));
}

}  // namespace

void CKeySetControlUI::RegisterControlClass() {
    const ControlCreator create = [](QWidget* parent) -> QWidget* { return new CKeySetControlUI(parent); };
    CControlFactory::GetInstance().RegistControl(QString::fromLatin1(kClassName), create);
    CControlFactory::GetInstance().RegistControl(QStringLiteral("KeySetControl"), create);
}

CKeySetControlUI::CKeySetControlUI(QWidget* parent) : CHorizontalLayoutUI(parent) {}

QWidget* CKeySetControlUI::Control(const QString& name) const {
    const QString key = name.toLower();
    auto it = m_controls.constFind(key);
    if (it != m_controls.constEnd() && !it->isNull()) return it->data();
    QWidget* found = CPaintManagerUI::FindSubControlByName(this, name);
    if (found) m_controls.insert(key, found);
    return found;
}

IPanelPrompts& CKeySetControlUI::Prompts() {
    return m_prompts ? *m_prompts : DefaultPanelPrompts(window());
}

// --- Set-up ---------------------------------------------------------------------------------

bool CKeySetControlUI::BindControls() {
    if (Control<CComboUI>(kFunctionCombo) == nullptr) return false;
    if (!m_bound) {
        FillFixedLists();
        CResourceManager::GetInstance().AddLanguageListener(this, [this] { CaptionCombinations(); });
    }
    m_bound = true;
    // The key edit shows the captured key; typing into it would put text there that names no key.
    if (auto* edit = Control<QLineEdit>(kKeyEdit)) edit->setReadOnly(true);
    TranslatePlaceholders(this);
    ui::SetVisible(Control("text_test"), false);
    ui::SetVisible(Control("str_test"), false);
    ui::SetVisible(Control(kCycleLayout), false);
    SetSaveButtonsEnabled(false);
    // Nothing is chosen on the picture yet.
    ShowEditor(false);
    return true;
}

void CKeySetControlUI::FillFixedLists() {
    auto fillKeys = [this](const char* name, const auto& keys) {
        CComboUI* combo = Control<CComboUI>(name);
        if (combo == nullptr) return;
        combo->RemoveAll();
        for (const char* key : keys) combo->AddItem(QString::fromLatin1(key), true);
        combo->SelectItem(-1);
    };
    auto fillRows = [this](const char* name, std::span<const KeyTriple> rows) {
        CComboUI* combo = Control<CComboUI>(name);
        if (combo == nullptr) return;
        combo->RemoveAll();
        for (const KeyTriple& t : rows) {
            const int row = FindKeyRow(t, kModifierRows);
            combo->AddItem(row < 0 ? QString() : QString::fromLatin1(KeyTable()[row].name), row >= 0);
        }
        combo->SelectItem(-1);
    };
    if (CComboUI* functions = Control<CComboUI>(kFunctionCombo)) {
        functions->RemoveAll();
        for (int n = 0; n < kFunctionPages; ++n) {
            functions->AddItem(QString::fromLatin1(kFunctionKeys[n]), true, QString::number(n));
        }
        functions->SelectItem(-1);
    }
    fillKeys(kMouseKeyCombo, kMouseButtonKeys);
    fillKeys(kSwingCombo, kSwingKeys);
    fillKeys(kWheelCombo, kWheelKeys);
    fillKeys(kDpiCombo, kDpiKeys);
    fillKeys(kPlayModeCombo, kPlayModeKeys);
    fillKeys(kGunKeyCombo, kGunKeys);
    fillRows(kMediaCombo, MediaRows());
    fillRows(kSystemCombo, SystemRows());
    if (CComboUI* combinations = Control<CComboUI>(kCombinationCombo)) {
        combinations->RemoveAll();
        for (size_t i = 0; i < CombinationRows().size(); ++i) combinations->AddItem(QString());
        combinations->SelectItem(-1);
    }
    CaptionCombinations();
}

// Combinations are Ctrl with a key; the caption is made from the key table's name in the
// current language, so it is made again when the language changes.
void CKeySetControlUI::CaptionCombinations() {
    CComboUI* combinations = Control<CComboUI>(kCombinationCombo);
    if (combinations == nullptr) return;
    const QSignalBlocker blocker(combinations);
    int position = 0;
    for (const KeyTriple& t : CombinationRows()) {
        if (position >= combinations->GetCount()) break;
        const int row = FindKeyRow({kCodeKey, 0, t.second}, kModifierRows);
        combinations->setItemText(
            position++, QStringLiteral("Ctrl + ") + (row < 0 ? QString() : Translated(KeyTable()[row].name)));
    }
}

void CKeySetControlUI::SetDeviceVariant(int kind) {
    m_keyboard = kind == 1;
    CComboUI* functions = Control<CComboUI>(kFunctionCombo);
    if (functions == nullptr) return;
    auto* view = qobject_cast<QListView*>(functions->view());
    for (int position = 0; position < functions->GetCount(); ++position) {
        const int number = FunctionNumberAt(position);
        const bool hidden = m_keyboard && (number == kFunctionDpi || number == kFunctionGunKey);
        if (view) view->setRowHidden(position, hidden);
        // A hidden function must not be reached with the wheel or the arrow keys either.
        if (auto* model = qobject_cast<QStandardItemModel*>(functions->model())) {
            if (QStandardItem* item = model->item(position)) item->setEnabled(!hidden);
        }
    }
}

// --- Macro names ------------------------------------------------------------------------------

void CKeySetControlUI::SetMacroList(const std::vector<std::u16string>& names) {
    CComboUI* combo = Control<CComboUI>(kMacroCombo);
    if (combo == nullptr) return;
    combo->RemoveAll();
    for (const std::u16string& name : names) combo->AddItem(QString::fromStdU16String(name));
    combo->SelectItem(-1);
}

void CKeySetControlUI::AddMacroItem(const std::u16string& name) {
    if (CComboUI* combo = Control<CComboUI>(kMacroCombo)) {
        const int selected = combo->GetCurSel();
        combo->AddItem(QString::fromStdU16String(name));
        combo->SelectItem(selected);
    }
}

void CKeySetControlUI::RemoveMacroItem(int position) {
    CComboUI* combo = Control<CComboUI>(kMacroCombo);
    if (combo == nullptr || position < 0 || position >= combo->GetCount()) return;
    const QSignalBlocker blocker(combo);
    combo->removeItem(position);
}

void CKeySetControlUI::RenameMacroItem(int position, const std::u16string& name) {
    CComboUI* combo = Control<CComboUI>(kMacroCombo);
    if (combo == nullptr || position < 0 || position >= combo->GetCount() || name.empty()) return;
    combo->setItemText(position, QString::fromStdU16String(name));
}

int CKeySetControlUI::MacroCount() const {
    const CComboUI* combo = Control<CComboUI>(kMacroCombo);
    return combo ? combo->GetCount() : 0;
}

// --- Showing a record -------------------------------------------------------------------------

void CKeySetControlUI::SetKeyAssignment(const KeyEntry& entry) {
    m_record = entry;
    m_chosen = entry;
    ShowRecord(m_record);
    SetSaveButtonsEnabled(false);
}

void CKeySetControlUI::ShowDefaultAssignment() {
    ShowRecord(KeyEntry{m_record.defaults, m_record.defaults});
}

void CKeySetControlUI::ShowCurrentAssignment() {
    ShowRecord(m_record);
}

void CKeySetControlUI::ShowKeyOfUsage(uint8_t usage, int fromRow, bool clearWhenMissing) {
    const int row = FindKeyRow({kCodeKey, 0, usage}, fromRow);
    if (row >= 0) {
        SetKeyText(QString::fromLatin1(KeyTable()[row].name));
    } else if (clearWhenMissing) {
        SetKeyText(QString());
    }
}

void CKeySetControlUI::ShowRecord(const KeyEntry& record) {
    const KeyFunction& f = record.current;
    const uint8_t code = f.SameFunction(record.defaults) ? kCodeDefault : f.type;
    int page = -1;
    switch (code) {
        case kCodeDefault:
            page = kFunctionDefault;
            break;
        case kCodeMouseButton:
            SelectSilently(kMouseKeyCombo, FindComboRow(MouseButtonRows(), TripleOf(f)));
            page = kFunctionMouseButton;
            break;
        case kCodeMouseSwing:
            SetEditValue(kSwingDelay, f.first >> 4);
            SetEditValue(kSwingSpeed, f.first & 15);
            SetEditValue(kSwingCount, f.second & 0x7F);
            SelectSilently(kSwingCombo, (f.second & 0x80) ? 1 : 0);
            page = kFunctionSwing;
            break;
        case kCodeMouseWheel:
            SetEditValue(kWheelDelay, f.first >> 4);
            SetEditValue(kWheelSpeed, f.first & 15);
            if (f.second & 0x80) {
                SetEditValue(kWheelCount, 128 - (f.second & 0x7F));
                SelectSilently(kWheelCombo, 1);
            } else {
                SetEditValue(kWheelCount, f.second);
                SelectSilently(kWheelCombo, 0);
            }
            page = kFunctionWheel;
            break;
        case kCodeDpi:
            SelectSilently(kDpiCombo, FindComboRow(DpiRows(), TripleOf(f)));
            page = kFunctionDpi;
            break;
        case kCodeFire:
            SetEditValue(kFireInterval, f.first);
            SetEditValue(kFireCount, f.second);
            page = kFunctionFire;
            break;
        case kCodeKey:
            if (f.first == 0) {
                const int row = FindKeyRow({kCodeKey, 0, f.second});
                if (row >= 0) {
                    SetModifierOption(0);
                    SetKeyText(QString::fromLatin1(KeyTable()[row].name));
                } else {
                    // A usage the table does not know is no key the user could choose again.
                    SetModifierOption(-1);
                    SetKeyText(QString());
                    m_record.current.first = 0;
                    m_record.current.second = 0;
                }
                page = kFunctionKey;
            } else if (f.first <= 0x80) {
                const int row = FindModifierRow(f.first);
                SetModifierOption(row < 0 ? 0 : ModifierOptionOfRow(row));
                ShowKeyOfUsage(f.second, kModifierRows, false);
                page = kFunctionKey;
            } else {
                SelectSilently(kCombinationCombo, FindComboRow(CombinationRows(), TripleOf(f)));
                page = kFunctionCombination;
            }
            break;
        case kCodeMedia:
            SelectSilently(kMediaCombo, FindComboRow(MediaRows(), TripleOf(f)));
            page = kFunctionMedia;
            break;
        case kCodeSystem:
            SelectSilently(kSystemCombo, FindComboRow(SystemRows(), TripleOf(f)));
            page = kFunctionSystem;
            break;
        case kCodeMacro:
        case kCodeMacroRepeat: {
            const bool valid = f.first < MacroCount();
            SelectSilently(kMacroCombo, valid ? f.first : -1);
            const bool repeat = valid && code == kCodeMacroRepeat;
            if (repeat) SetEditValue(kCycleEdit, f.second);
            ui::SetVisible(Control(kCycleLayout), repeat);
            SelectSilently(kPlayModeCombo, !valid ? -1 : repeat ? kRepeatPlayMode : f.second);
            page = kFunctionMacro;
            break;
        }
        case kCodeGunKey:
            SelectSilently(kGunKeyCombo, f.first);
            page = kFunctionGunKey;
            break;
        case kCodeComboPage:
            page = kFunctionCombination;
            break;
        default:
            break;
    }
    const int position = page < 0 ? -1 : FunctionPosition(page);
    if (position < 0) {
        // The device's own keys (FN, GM, M1-M5) and codes this panel does not know cannot be
        // changed here.
        ShowEditor(false);
        return;
    }
    ShowEditor(true);
    SelectSilently(kFunctionCombo, position);
    ShowPage(page);
}

void CKeySetControlUI::ShowEditor(bool shown) {
    ui::SetVisible(Control(kEditorLayout), shown);
    ui::SetVisible(Control("keyset_hint"), !shown);
}

void CKeySetControlUI::ShowPage(int number) {
    if (auto* tabs = Control<CTabLayoutUI>(kFunctionTabs)) tabs->SelectItem(number);
}

void CKeySetControlUI::SelectFunctionPage(int number) {
    ShowPage(number);
}

int CKeySetControlUI::ShownFunctionPage() const {
    const auto* tabs = Control<CTabLayoutUI>(kFunctionTabs);
    return tabs ? tabs->GetCurSel() : -1;
}

// --- Building a record ------------------------------------------------------------------------

KeyEntry CKeySetControlUI::GetKeyAssignment() {
    KeyEntry r = m_record;
    KeyFunction& f = r.current;
    const int number = FunctionNumberAt(ComboPosition(kFunctionCombo));
    auto fromRow = [&](std::span<const KeyTriple> rows, const char* combo) {
        const int row = ComboPosition(combo);
        if (row >= 0 && row < static_cast<int>(rows.size())) Assign(f, rows[static_cast<size_t>(row)]);
    };
    const auto nibbles = [this](const char* delay, const char* speed) {
        return static_cast<uint8_t>(((EditValue(delay) & 15) << 4) | (EditValue(speed) & 15));
    };
    switch (number) {
        case kFunctionMouseButton:
            fromRow(MouseButtonRows(), kMouseKeyCombo);
            break;
        case kFunctionSwing: {
            const int count = EditValue(kSwingCount);
            f.type = kCodeMouseSwing;
            f.first = nibbles(kSwingDelay, kSwingSpeed);
            f.second =
                static_cast<uint8_t>(ComboPosition(kSwingCombo) == 1 ? (count | 0x80) : (count & 0x7F));
            break;
        }
        case kFunctionWheel: {
            const int count = EditValue(kWheelCount);
            f.type = kCodeMouseWheel;
            f.first = nibbles(kWheelDelay, kWheelSpeed);
            f.second = static_cast<uint8_t>(ComboPosition(kWheelCombo) == 1 ? ((128 - count) | 0x80)
                                                                            : (count & 0x7F));
            break;
        }
        case kFunctionDpi:
            fromRow(DpiRows(), kDpiCombo);
            break;
        case kFunctionFire:
            f.type = kCodeFire;
            f.first = static_cast<uint8_t>(EditValue(kFireInterval));
            f.second = static_cast<uint8_t>(EditValue(kFireCount));
            break;
        case kFunctionKey: {
            const int option = GetModifierOption();
            const bool noKey = ui::GetText(Control(kKeyEdit)).isEmpty();
            f.second = noKey ? 0 : (f.type == kCodeKey ? f.second : 0);
            f.type = kCodeKey;
            f.first = option >= 1 && option <= 4 ? static_cast<uint8_t>(1u << (option - 1)) : 0;
            break;
        }
        case kFunctionMedia:
            fromRow(MediaRows(), kMediaCombo);
            break;
        case kFunctionSystem:
            fromRow(SystemRows(), kSystemCombo);
            break;
        case kFunctionMacro: {
            const int macro = ComboPosition(kMacroCombo);
            if (macro < 0 || MacroCount() == 0) break;
            const int mode = std::max(ComboPosition(kPlayModeCombo), 0);
            f.first = static_cast<uint8_t>(macro);
            if (mode == kRepeatPlayMode) {
                f.type = kCodeMacroRepeat;
                f.second = static_cast<uint8_t>(EditValue(kCycleEdit));
            } else {
                f.type = kCodeMacro;
                f.second = static_cast<uint8_t>(mode);
            }
            break;
        }
        case kFunctionGunKey:
            f.type = kCodeGunKey;
            f.first = static_cast<uint8_t>(std::max(ComboPosition(kGunKeyCombo), 0));
            f.second = 0;
            break;
        case kFunctionCombination:
            fromRow(CombinationRows(), kCombinationCombo);
            break;
        default: {
            const uint16_t position = f.position;
            f = r.defaults;
            f.position = position;
            break;
        }
    }
    m_record = r;
    return r;
}

// --- Small control helpers --------------------------------------------------------------------

void CKeySetControlUI::SetSaveButtonsEnabled(bool enabled) {
    for (const char* name : kSaveButtons) ui::SetEnabled(Control(QString::fromLatin1(name)), enabled);
}

void CKeySetControlUI::SetModifierOption(int option) {
    for (int i = 0; i < kModifierOptions; ++i) {
        if (auto* o = Control<COptionUI>(QStringLiteral("key_ComBox_check_%1").arg(i)))
            o->Selected(i == option);
    }
}

int CKeySetControlUI::GetModifierOption() const {
    for (int i = 0; i < kModifierOptions; ++i) {
        const auto* o = Control<COptionUI>(QStringLiteral("key_ComBox_check_%1").arg(i));
        if (o && o->IsSelected()) return i;
    }
    return -1;
}

void CKeySetControlUI::SetKeyText(const QString& languageKey) {
    // By its key, so that the key's name follows the language.
    ui::SetTextKey(Control(kKeyEdit), languageKey);
}

int CKeySetControlUI::FunctionPosition(int number) const {
    const CComboUI* combo = Control<CComboUI>(kFunctionCombo);
    if (combo == nullptr) return -1;
    for (int position = 0; position < combo->GetCount(); ++position) {
        if (FunctionNumberAt(position) == number) return position;
    }
    return -1;
}

int CKeySetControlUI::FunctionNumberAt(int position) const {
    const CComboUI* combo = Control<CComboUI>(kFunctionCombo);
    if (combo == nullptr || position < 0 || position >= combo->GetCount()) return -1;
    bool ok = false;
    const int number = combo->GetItemUserData(position).toInt(&ok);
    return ok ? number : -1;
}

int CKeySetControlUI::EditValue(const char* name) const {
    // Decimal text; anything else reads as 0, as the device would take a byte of it anyway.
    bool ok = false;
    const int value = ui::GetText(Control(QString::fromLatin1(name))).trimmed().toInt(&ok);
    return ok ? value : 0;
}

void CKeySetControlUI::SetEditValue(const char* name, int value) {
    ui::SetText(Control(QString::fromLatin1(name)), QString::number(value));
}

void CKeySetControlUI::SelectSilently(const char* name, int position) {
    if (CComboUI* combo = Control<CComboUI>(QString::fromLatin1(name))) {
        combo->SelectItem(position >= 0 && position < combo->GetCount() ? position : -1);
    }
}

int CKeySetControlUI::ComboPosition(const char* name) const {
    const CComboUI* combo = Control<CComboUI>(QString::fromLatin1(name));
    return combo ? combo->GetCurSel() : -1;
}

// --- Handlers ---------------------------------------------------------------------------------

void CKeySetControlUI::StoreFromControls() {
    const KeyEntry record = GetKeyAssignment();
    if (m_page == nullptr) return;
    m_page->StoreKeyAssignment(record.current);
    SetSaveButtonsEnabled(true);
}

void CKeySetControlUI::OnFunctionCombo(const ControlEvent& event) {
    const int number = FunctionNumberAt(static_cast<int>(event.param));
    ShowPage(number);
    // A function chosen from a list starts at the list's first entry: an empty choice would
    // leave the key as it was while the panel names the new function.
    if (const char* rows = RowComboOf(number); rows != nullptr && ComboPosition(rows) < 0)
        SelectSilently(rows, 0);
    if (number == kFunctionKey) {
        SetKeyText(QString());
        SetModifierOption(-1);
    }
    if (number == kFunctionMacro)
        ui::SetVisible(Control(kCycleLayout), ComboPosition(kPlayModeCombo) == kRepeatPlayMode);
    StoreFromControls();
}

const char* CKeySetControlUI::RowComboOf(int function) {
    switch (function) {
        case kFunctionMouseButton: return kMouseKeyCombo;
        case kFunctionDpi: return kDpiCombo;
        case kFunctionMedia: return kMediaCombo;
        case kFunctionSystem: return kSystemCombo;
        default: return nullptr;
    }
}

void CKeySetControlUI::OnPlayModeCombo(const ControlEvent&) {
    ui::SetVisible(Control(kCycleLayout), ComboPosition(kPlayModeCombo) == kRepeatPlayMode);
    StoreFromControls();
}

void CKeySetControlUI::OnAssignmentChanged(const ControlEvent&) {
    StoreFromControls();
}

void CKeySetControlUI::OnModifierOption(const ControlEvent& event) {
    if (event.checked) StoreFromControls();
}

void CKeySetControlUI::OnDefaultButton(const ControlEvent&) {
    ShowDefaultAssignment();
    SetSaveButtonsEnabled(true);
}

void CKeySetControlUI::OnCancelButton(const ControlEvent&) {
    // Every change was stored on the page as it was made; cancelling puts back what the key had
    // when it was chosen (or last written to the device).
    m_record = m_chosen;
    if (m_page != nullptr) m_page->StoreKeyAssignment(m_record.current);
    ShowCurrentAssignment();
    SetSaveButtonsEnabled(false);
}

void CKeySetControlUI::OnWriteButton(const ControlEvent&) {
    if (m_page == nullptr) return;
    const int result = m_page->WriteKeyListToDevice();
    if (result == kWriteRefused) Prompts().Tell(QStringLiteral("message_text_7"), true);
    if (result == kWriteDone || result == kWriteRefused) {
        // The assignments are kept even when the device did not take them: the next write, or
        // the next connection, sends them.
        m_page->SaveProfile();
        m_page->RefreshPage();
        m_chosen = m_record;
        SetSaveButtonsEnabled(false);
        return;
    }
    // The macros do not fit the device: the text says how many events have to go. The count is
    // put in by replacement, never by a printf of a translated text.
    QString text = CResourceManager::GetInstance().GetText(QStringLiteral("message_text_16"));
    text.replace(QStringLiteral("%d"), QString::number(result));
    Prompts().Tell(text, false);
}

// --- Single-key capture -----------------------------------------------------------------------

void CKeySetControlUI::OnSingleKey(uint32_t message, const vx::platform::KeyboardEventRecord& record) {
    if (message != vx::platform::kWmKeyDown && message != vx::platform::kWmSysKeyDown) return;
    if (!m_bound || !ui::IsVisible(Control(kEditorLayout))) return;
    const int row = FindCapturedKey(record.scanCode, (record.flags & vx::platform::kKeyFlagExtended) != 0);
    if (row < 0) return;
    const KeyTableRow& key = KeyTable()[row];
    KeyTriple captured;
    if (row < kModifierRows) {
        SetModifierOption(ModifierOptionOfRow(row));
        GetKeyAssignment();
        SetKeyText(QString());
        captured = {kCodeKey, key.triple.first, 0};
    } else {
        int option = GetModifierOption();
        if (option < 0) {
            SetModifierOption(0);
            option = 0;
        }
        const uint8_t mask = option >= 1 && option <= 4 ? static_cast<uint8_t>(1u << (option - 1)) : 0;
        SetKeyText(QString::fromLatin1(key.name));
        captured = {kCodeKey, mask, key.triple.second};
    }
    Assign(m_record.current, captured);
    SelectSilently(kFunctionCombo, FunctionPosition(kFunctionKey));
    ShowPage(kFunctionKey);
    if (m_page != nullptr) m_page->StoreKeyAssignment(m_record.current);
    SetSaveButtonsEnabled(true);
}

}  // namespace vx::panels
