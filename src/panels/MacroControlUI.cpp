#include "panels/MacroControlUI.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>
#include <chrono>

// The page header keeps QPointer members of classes it only declares; their definitions must come
// first.
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// clang-format off
#include "devices/TavimondUSBDevice.h"
// clang-format on
#include "panels/KeyFunctionTables.h"
#include "panels/PanelPrompts.h"
#include "platform/DebugLog.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/StringUtil.h"
#include "widgets/ButtonUI.h"
#include "widgets/ControlFactory.h"
#include "widgets/ControlUI.h"
#include "widgets/EditUI.h"
#include "widgets/LabelUI.h"
#include "widgets/OptionUI.h"
#include "widgets/ResourceManager.h"

using vx::devices::CTavimondUSBDevice;
using vx::devices::IKeyAssignmentView;
using vx::platform::DebugLog;
using vx::widgets::CEditUI;
using vx::widgets::CLabelUI;
using vx::widgets::CListContainerElementUI;
using vx::widgets::CListUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CResourceManager;
using vx::widgets::CControlFactory;
using vx::widgets::ControlCreator;
using vx::widgets::ControlEvent;
namespace ui = vx::widgets::ui;
namespace notify = vx::widgets::notify;
using vx::platform::KeyboardEventRecord;
using vx::platform::MouseEventRecord;
using vx::profiles::JsonFile;
using vx::profiles::kMaxRecordedEvents;
using vx::profiles::MacroEvent;
using vx::profiles::MacroFiles;
using vx::profiles::MacroListEntry;

namespace vx::panels {

namespace {

constexpr const char* kNameList = "macro_name_list";
constexpr const char* kActionList = "macro_action_list";
constexpr const char* kNameTab = "macro_name_tab";
constexpr const char* kSelectedEventEdit = "macro_tab_macroaction_edit";
constexpr const char* kSelectedDelayEdit = "macro_tab_macrodelay_edit";
constexpr const char* kActionLayout = "macro_action_layout";
constexpr const char* kMoveLayout = "mouse_move_layout";
constexpr const char* kNameEdit = "macro_edit_macroname";
constexpr const char* kStartButton = "macro_btn_starredio";
constexpr const char* kStopButton = "macro_btn_stopredio";
constexpr const char* kConstantCheck = "macro_check_time";
constexpr const char* kFixedTimeEdit = "macro_fixed_time_edit";
constexpr const char* kMacroButtons[] = {"macro_btn_export", "macro_btn_name_sub", "macro_btn_name_edit"};
constexpr const char* kMoveEdits[] = {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit",
                                      "mouse_y_down_edit"};

// A file a user hands us as a macro: a JSON object whose "Events" list the editor can show.
// Anything else, or more events than a recording can make, is refused before the list changes.
bool IsImportableMacro(const std::filesystem::path& path) {
    const Json::Value document = JsonFile().ReadJson(path);
    if (!document.isObject()) return false;
    const Json::Value& events = vx::profiles::JsonMember(document, "Events");
    if (!events.isArray() || events.size() > kMaxRecordedEvents) return false;
    for (const Json::Value& event : events) {
        if (!event.isObject()) return false;
    }
    return true;
}

Json::Value EventJson(bool down, int type, int button, uint16_t delay) {
    return MacroFiles::EventToJson(MacroEvent{down, type, button, delay});
}

// The language key of the row's name: the key table for keyboard events, the mouse names for the
// mouse kinds.
QString NameKeyOf(const MacroEvent& e) {
    if (e.type == vx::profiles::kMacroEventKey) {
        const int row = FindKeyRow({kCodeKey, 0, static_cast<uint8_t>(e.button)}, kModifierRows);
        return row < 0 || e.button < 0 || e.button > 0xFF ? QString()
                                                          : QString::fromLatin1(KeyTable()[row].name);
    }
    if (e.type == vx::profiles::kMacroEventModifier) {
        const int row =
            e.button > 0 && e.button <= 0xFF ? FindModifierRow(static_cast<uint8_t>(e.button)) : -1;
        return row < 0 ? QString() : QString::fromLatin1(KeyTable()[row].name);
    }
    return QString::fromStdString(MacroFiles::MouseEventLabel(e));
}

std::string CompactJson(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

uint32_t SteadyTicks() {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

// --- One event row ------------------------------------------------------------------------------

CMacroActionRowUI::CMacroActionRowUI(const Json::Value& event, QWidget* parent)
    : CListContainerElementUI(parent) {
    setObjectName(QStringLiteral("macro_action"));
    setFixedHeight(kHeight);
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 6, 0);
    box->setSpacing(6);
    auto* name = new CLabelUI(this);
    name->setObjectName(QStringLiteral("macro_action_name"));
    name->setIndent(3);
    auto* action = new CLabelUI(this);
    action->setObjectName(QStringLiteral("macro_action_kind"));
    auto* delay = new CEditUI(this);
    delay->setObjectName(QStringLiteral("macro_delay"));
    delay->setProperty("labelstyle", QStringLiteral("macro_label_text_style"));
    delay->setFixedHeight(25);
    delay->setFixedWidth(64);
    delay->SetMaxChar(6);
    delay->setValidator(new QIntValidator(0, 65535, delay));
    delay->setAlignment(Qt::AlignCenter);
    ui::SetBkColor(delay, 0xFF444444);
    ui::SetToolTip(delay, QStringLiteral("%[macro_delay_tip]"));
    box->addWidget(name, 1, Qt::AlignVCenter);
    box->addWidget(action, 0, Qt::AlignVCenter);
    box->addWidget(delay, 0, Qt::AlignVCenter);
    m_name = name;
    m_action = action;
    m_delay = delay;
    // The window opens the macro-action menu for a row.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this] {
        SelectInList();
        if (CPaintManagerUI* manager = CPaintManagerUI::FromControl(this))
            manager->SendNotify(this, notify::kMenu);
    });
    SetEvent(event);
}

void CMacroActionRowUI::mousePressEvent(QMouseEvent* event) {
    SelectInList();
    CListContainerElementUI::mousePressEvent(event);
}

void CMacroActionRowUI::SelectInList() {
    for (QWidget* up = parentWidget(); up != nullptr; up = up->parentWidget()) {
        auto* list = qobject_cast<QListWidget*>(up);
        if (list == nullptr) continue;
        for (int row = 0; row < list->count(); ++row) {
            if (list->itemWidget(list->item(row)) == this) {
                list->setCurrentRow(row);
                return;
            }
        }
        return;
    }
}

Json::Value CMacroActionRowUI::Event() const {
    return JsonFile::ParseText(ui::GetUserData(this).toStdString());
}

void CMacroActionRowUI::SetEvent(const Json::Value& event) {
    ui::SetUserData(this, QString::fromStdString(CompactJson(event)));
    ShowEvent(event);
}

void CMacroActionRowUI::ShowEvent(const Json::Value& json) {
    const MacroEvent e = MacroFiles::EventFromJson(json);
    m_nameKey = NameKeyOf(e);
    const bool keyboard =
        e.type == vx::profiles::kMacroEventKey || e.type == vx::profiles::kMacroEventModifier;
    m_name->setProperty("labelstyle", keyboard ? "macro_label_keyboard_style" : "macro_label_mouse_style");
    ui::SetText(m_name, m_nameKey.isEmpty() ? QString() : CResourceManager::GetInstance().GetText(m_nameKey));
    if (e.type == vx::profiles::kMacroEventMoveX || e.type == vx::profiles::kMacroEventMoveY) {
        m_action->setProperty("labelstyle", "macro_label_text_style");
        ui::SetText(m_action, QString::number(e.button));
    } else if (e.type == 2 || e.type == 3) {
        m_action->setProperty("labelstyle", "macro_label_text_style");
        ui::SetText(m_action, QString());
    } else {
        m_action->setProperty("labelstyle", e.down ? "macro_label_down_style" : "macro_label_up_style");
        ui::SetText(m_action,
                    CResourceManager::GetInstance().GetText(e.down ? QStringLiteral("macro_action_down")
                                                                   : QStringLiteral("macro_action_up")));
    }
    ui::SetText(m_delay, QString::number(e.delay));
    // The style sheet picks the look by the property; a row already shown reads it again only on
    // a repolish (a new row is polished when it is first shown).
    if (!m_name->testAttribute(Qt::WA_WState_Polished)) return;
    for (QWidget* label : {m_name, m_action}) {
        label->style()->unpolish(label);
        label->style()->polish(label);
    }
}

QString CMacroActionRowUI::DelayText() const {
    return ui::GetText(m_delay);
}

void CMacroActionRowUI::SetDelayText(const QString& text) {
    ui::SetText(m_delay, text);
    Json::Value event = Event();
    event["Delay"] = std::to_string(MacroFiles::DelayFromJson(Json::Value(text.toStdString())));
    ui::SetUserData(this, QString::fromStdString(CompactJson(event)));
}

// --- The panel ----------------------------------------------------------------------------------

void CMacroControlUI::RegisterControlClass() {
    const ControlCreator create = [](QWidget* parent) -> QWidget* { return new CMacroControlUI(parent); };
    CControlFactory::GetInstance().RegistControl(QString::fromLatin1(kClassName), create);
    CControlFactory::GetInstance().RegistControl(QStringLiteral("MacroControl"), create);
}

CMacroControlUI::CMacroControlUI(QWidget* parent) : CHorizontalLayoutUI(parent), m_ticks(&SteadyTicks) {
    m_scrollTimer.setSingleShot(true);
    m_scrollTimer.setInterval(kScrollDelayMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, &CMacroControlUI::ScrollToSelection);
}

CMacroControlUI::~CMacroControlUI() = default;

QWidget* CMacroControlUI::Control(const QString& name) const {
    const QString key = name.toLower();
    auto it = m_controls.constFind(key);
    if (it != m_controls.constEnd() && !it->isNull()) return it->data();
    QWidget* found = CPaintManagerUI::FindSubControlByName(this, name);
    if (found) m_controls.insert(key, found);
    return found;
}

IPanelPrompts& CMacroControlUI::Prompts() {
    return m_prompts ? *m_prompts : DefaultPanelPrompts(window());
}

CListUI* CMacroControlUI::NameList() const {
    return Control<CListUI>(kNameList);
}
CListUI* CMacroControlUI::ActionList() const {
    return Control<CListUI>(kActionList);
}

bool CMacroControlUI::BindControls() {
    if (NameList() == nullptr || ActionList() == nullptr) return false;
    if (m_bound) return true;
    m_bound = true;
    ui::SetText(Control(kFixedTimeEdit), QString::number(m_constantDelay));
    if (auto* edit = Control<QLineEdit>(kFixedTimeEdit))
        edit->setValidator(new QIntValidator(0, 9999999, edit));
    for (const char* name : kMoveEdits) {
        if (auto* edit = Control<QLineEdit>(name)) {
            edit->setValidator(new QIntValidator(0, 255, edit));
            if (edit->text().isEmpty()) edit->setText(QStringLiteral("10"));
        }
    }
    for (const char* name : {kSelectedEventEdit, kSelectedDelayEdit}) {
        if (auto* edit = Control<QLineEdit>(name)) edit->setReadOnly(true);
    }
    TranslatePlaceholders(this);
    ui::SetVisible(Control(kStopButton), false);
    // The right click on the list where no row is asks for the menu as a row does, so that
    // an empty macro can be given its first event.
    CListUI* actions = ActionList();
    actions->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(actions, &QWidget::customContextMenuRequested, this, [actions] {
        if (CPaintManagerUI* manager = CPaintManagerUI::FromControl(actions))
            manager->SendNotify(actions, notify::kMenu);
    });
    connect(actions, &QListWidget::currentRowChanged, this, [this](int row) {
        const CMacroActionRowUI* shown = Row(row);
        ui::SetText(Control(kSelectedEventEdit),
                    shown && !shown->NameKey().isEmpty()
                        ? CResourceManager::GetInstance().GetText(shown->NameKey())
                        : QString());
        ui::SetText(Control(kSelectedDelayEdit), shown ? shown->DelayText() : QString());
    });
    EnableMacroControls(false);
    return true;
}

// --- The list -----------------------------------------------------------------------------------

std::vector<MacroListEntry> CMacroControlUI::Macros() const {
    std::vector<MacroListEntry> list;
    const CListUI* names = NameList();
    for (int i = 0; names && i < names->GetCount(); ++i) {
        list.push_back({names->item(i)->text().toStdU16String(), names->GetItemUserData(i).toStdString()});
    }
    return list;
}

void CMacroControlUI::LoadMacroList() {
    CListUI* names = NameList();
    if (names == nullptr) return;
    names->RemoveAll();
    for (const MacroListEntry& macro : Files().LoadList()) {
        const int row = names->AddText(Text(macro.name), QString::fromStdString(macro.guid));
        names->item(row)->setSizeHint(QSize(0, kItemHeight));
    }
    SelectMacro(names->GetCount() > 0 ? 0 : -1);
}

int CMacroControlUI::SelectedMacro() const {
    const CListUI* names = NameList();
    return names ? names->GetCurSel() : -1;
}

void CMacroControlUI::SelectMacro(int position) {
    CListUI* names = NameList();
    if (names == nullptr) return;
    names->SelectItem(position);
    const std::string guid = position >= 0 ? names->GetItemUserData(position).toStdString() : std::string();
    if (position < 0 || guid.empty()) {
        ActionList()->RemoveAll();
        EnableMacroControls(names->GetCount() > 0 && position >= 0);
        return;
    }
    EnableMacroControls(true);
    LoadRows(guid);
}

void CMacroControlUI::EnableMacroControls(bool enabled) {
    ui::SetEnabled(Control(kActionLayout), enabled);
    ui::SetEnabled(Control(kMoveLayout), enabled);
    for (const char* name : kMacroButtons) ui::SetEnabled(Control(name), enabled);
    ui::SetEnabled(Control(kStartButton), enabled);
    // Saving and reverting need a macro as much as the buttons above do.
    ui::SetEnabled(Control("macro_btn_save"), enabled);
    ui::SetEnabled(Control("macro_btn_cancel"), enabled);
}

void CMacroControlUI::LoadRows(const std::string& guid) {
    CListUI* actions = ActionList();
    actions->RemoveAll();
    const Json::Value events = Files().LoadEventsJson(guid);
    const Json::ArrayIndex count = events.isArray() ? events.size() : 0;
    // A file made elsewhere may hold more events than a recording can make; the editor shows as
    // many as it can make itself, and a save keeps those.
    const Json::ArrayIndex shown = std::min<Json::ArrayIndex>(count, kMaxRecordedEvents);
    if (shown < count) DebugLog("macro " + guid + ": showing " + std::to_string(shown) + " of its events");
    // Rows all have one height; the list then lays them out without asking each one.
    actions->setUniformItemSizes(true);
    const bool wasShown = actions->isVisible();
    if (wasShown) actions->hide();
    for (Json::ArrayIndex i = 0; i < shown; ++i) {
        const MacroEvent e = MacroFiles::EventFromJson(events[i]);
        // The row keeps the event as the editor writes it: delay as loaded (clamped).
        InsertRow(-1, MacroFiles::EventToJson(e));
    }
    if (wasShown) actions->show();
}

void CMacroControlUI::AttachRow(CMacroActionRowUI* row) {
    if (CPaintManagerUI* manager = CPaintManagerUI::FromControl(this)) manager->AttachControls(row);
    auto* edit = qobject_cast<QLineEdit*>(row->DelayEdit());
    // The macro is saved whenever a delay changes.
    connect(edit, &QLineEdit::textEdited, this, [this, row](const QString& text) {
        row->SetDelayText(text);
        SaveMacro();
    });
}

int CMacroControlUI::InsertRow(int row, const Json::Value& event) {
    CListUI* actions = ActionList();
    auto* element = new CMacroActionRowUI(event);
    const int at = row < 0 || row > actions->GetCount() ? actions->GetCount() : row;
    auto* item = new QListWidgetItem();
    item->setSizeHint(QSize(0, CMacroActionRowUI::kHeight));
    actions->insertItem(at, item);
    actions->setItemWidget(item, element);
    AttachRow(element);
    return at;
}

CMacroActionRowUI* CMacroControlUI::Row(int row) const {
    const CListUI* actions = ActionList();
    if (actions == nullptr || row < 0 || row >= actions->GetCount()) return nullptr;
    return qobject_cast<CMacroActionRowUI*>(actions->itemWidget(actions->item(row)));
}

int CMacroControlUI::RowCount() const {
    const CListUI* actions = ActionList();
    return actions ? actions->GetCount() : 0;
}

Json::Value CMacroControlUI::RowEvent(int row) const {
    const CMacroActionRowUI* shown = Row(row);
    return shown ? shown->Event() : Json::Value();
}

QString CMacroControlUI::RowDelayText(int row) const {
    const CMacroActionRowUI* shown = Row(row);
    return shown ? shown->DelayText() : QString();
}

int CMacroControlUI::SelectedRow() const {
    const CListUI* actions = ActionList();
    return actions ? actions->GetCurSel() : -1;
}

void CMacroControlUI::SelectRow(int row) {
    if (CListUI* actions = ActionList()) actions->SelectItem(row);
}

void CMacroControlUI::TellKeyPanelAdded(const std::u16string& name) {
    if (m_page == nullptr) return;
    if (IKeyAssignmentView* keys = m_page->KeyAssignmentView()) keys->AddMacroItem(name);
    m_page->RefreshPage();
}

std::u16string CMacroControlUI::AddMacro() {
    MacroListEntry added;
    const std::u16string name = Files().Add(&added);
    if (name.empty()) return {};
    CListUI* names = NameList();
    const int row = names->AddText(Text(added.name), QString::fromStdString(added.guid));
    names->item(row)->setSizeHint(QSize(0, kItemHeight));
    SelectMacro(row);
    TellKeyPanelAdded(name);
    return name;
}

int CMacroControlUI::DeleteMacro() {
    const int position = SelectedMacro();
    if (position < 0 || m_page == nullptr) return -1;
    if (Prompts().Ask(QStringLiteral("message_text_4")) != 1) return -1;
    vx::profiles::KeyEntry key;
    bool inUse = false;
    for (int i = 0; m_page->GetKeyEntry(i, &key); ++i) {
        inUse = inUse || (vx::profiles::IsMacroFunction(key.current) && key.current.first == position);
    }
    if (inUse && Prompts().Ask(QStringLiteral("message_text_2")) != 1) return -1;
    // Assignments first: should the list change fail, keys pointing past the end of the list get
    // their default when they are next written, never another macro.
    const bool ownKeysChanged = m_page->RemoveMacroFromAllProfiles(static_cast<uint8_t>(position));
    if (Files().Delete(static_cast<size_t>(position)) != vx::profiles::kMacroOk) return -1;
    CListUI* names = NameList();
    delete names->takeItem(position);
    if (IKeyAssignmentView* keys = m_page->KeyAssignmentView()) keys->RemoveMacroItem(position);
    m_page->RefreshPage();
    // The keys now name other macro numbers, and the used macros sit in other slots: both go to
    // the device together.
    if (ownKeysChanged) m_page->WriteKeyListToDevice();
    // The first macro is chosen and shows its own events: rows left empty under a chosen macro
    // would replace its events at the next save.
    SelectMacro(names->GetCount() > 0 ? 0 : -1);
    return position;
}

std::u16string CMacroControlUI::RenameMacro(const std::u16string& name) {
    const int position = SelectedMacro();
    if (position < 0) return {};
    const int result = Files().Rename(static_cast<size_t>(position), name);
    if (result == vx::profiles::kMacroUnchanged) return u"IsEmpty";
    if (result != vx::profiles::kMacroOk) return {};
    NameList()->item(position)->setText(Text(name));
    if (m_page != nullptr) {
        if (IKeyAssignmentView* keys = m_page->KeyAssignmentView()) keys->RenameMacroItem(position, name);
        m_page->RefreshPage();
    }
    return name;
}

bool CMacroControlUI::SaveMacro() {
    const int position = SelectedMacro();
    if (position < 0) return false;
    const std::vector<MacroListEntry> macros = Macros();
    const MacroListEntry& macro = macros[static_cast<size_t>(position)];
    if (macro.guid.empty()) return false;
    std::vector<MacroEvent> events;
    for (int row = 0; row < RowCount(); ++row) {
        CMacroActionRowUI* shown = Row(row);
        if (shown == nullptr) break;
        if (shown->DelayText().isEmpty()) shown->SetDelayText(QStringLiteral("0"));
        Json::Value event = shown->Event();
        if (!event.isObject()) break;
        event["Delay"] =
            std::to_string(MacroFiles::DelayFromJson(Json::Value(shown->DelayText().toStdString())));
        events.push_back(MacroFiles::EventFromJson(event));
    }
    return Files().SaveEvents(macro, events) == vx::profiles::kMacroOk;
}

std::u16string CMacroControlUI::ImportMacro(const std::filesystem::path& path) {
    if (path.empty()) return {};
    if (Files().LoadList().size() >= vx::profiles::kMaxMacros || !IsImportableMacro(path)) return {};
    const std::u16string name = Files().Import(path);
    if (name.empty()) return {};
    const std::vector<MacroListEntry> list = Files().LoadList();
    CListUI* names = NameList();
    const MacroListEntry& added = list.back();
    const int row = names->AddText(Text(added.name), QString::fromStdString(added.guid));
    names->item(row)->setSizeHint(QSize(0, kItemHeight));
    SelectMacro(row);
    TellKeyPanelAdded(name);
    return name;
}

bool CMacroControlUI::ExportMacro(const std::filesystem::path& path) {
    const int position = SelectedMacro();
    if (position < 0 || path.empty()) return false;
    // What the list shows is what goes out, also for a macro never saved yet.
    SaveMacro();
    return Files().Export(static_cast<size_t>(position), path) == vx::profiles::kMacroOk;
}

// --- Row commands -------------------------------------------------------------------------------

void CMacroControlUI::MoveRowUp() {
    const int row = SelectedRow();
    if (row <= 0) return;
    const Json::Value event = RowEvent(row);
    delete ActionList()->takeItem(row);
    SelectRow(InsertRow(row - 1, event));
}

void CMacroControlUI::MoveRowDown() {
    const int row = SelectedRow();
    if (row < 0 || row + 1 >= RowCount()) return;
    const Json::Value event = RowEvent(row);
    delete ActionList()->takeItem(row);
    SelectRow(InsertRow(row + 1, event));
}

void CMacroControlUI::MoveRowTop() {
    const int row = SelectedRow();
    if (row <= 0) return;
    const Json::Value event = RowEvent(row);
    delete ActionList()->takeItem(row);
    SelectRow(InsertRow(0, event));
}

void CMacroControlUI::MoveRowBottom() {
    const int row = SelectedRow();
    if (row < 0 || row + 1 >= RowCount()) return;
    const Json::Value event = RowEvent(row);
    delete ActionList()->takeItem(row);
    SelectRow(InsertRow(-1, event));
}

void CMacroControlUI::DeleteRow() {
    const int row = SelectedRow();
    if (row < 0) return;
    delete ActionList()->takeItem(row);
}

void CMacroControlUI::DeleteAllRows() {
    ActionList()->RemoveAll();
    SelectRow(-1);
}

bool CMacroControlUI::InsertMouseEvent(int button, InsertKind kind) {
    if (SelectedMacro() < 0) return false;
    const int selected = SelectedRow();
    // After the selected row; after the first one when none is selected; alone into an empty list.
    int at = RowCount() == 0 ? 0 : (selected < 0 ? 1 : selected + 1);
    if (kind != kInsertUp) {
        SelectRow(
            InsertRow(at, EventJson(true, vx::profiles::kMacroEventMouseButton, button, m_constantDelay)));
        ++at;
    }
    if (kind != kInsertDown) {
        SelectRow(
            InsertRow(at, EventJson(false, vx::profiles::kMacroEventMouseButton, button, m_constantDelay)));
    }
    return SaveMacro();
}

void CMacroControlUI::InsertMove(int type, bool down, const char* distanceEdit) {
    if (SelectedMacro() < 0) return;
    bool ok = false;
    const int distance = ui::GetText(Control(QString::fromLatin1(distanceEdit))).trimmed().toInt(&ok);
    const int selected = SelectedRow();
    const int at = RowCount() == 0 ? 0 : (selected < 0 ? 1 : selected + 1);
    SelectRow(InsertRow(at, EventJson(down, type, ok ? (distance & 0xFF) : 0, m_constantDelay)));
    SaveMacro();
}

// --- Recording ----------------------------------------------------------------------------------

bool CMacroControlUI::IsConstantTime() const {
    const auto* check = Control<COptionUI>(kConstantCheck);
    return check != nullptr && check->IsSelected();
}

void CMacroControlUI::StartRecording(int mode, int target) {
    m_mode = mode;
    m_target = target;
    m_lastTick = m_ticks();
    if (mode == kRecordConstantTime) {
        bool ok = false;
        const qulonglong typed = ui::GetText(Control(kFixedTimeEdit)).trimmed().toULongLong(&ok);
        const uint16_t value = static_cast<uint16_t>(std::min<qulonglong>(ok ? typed : 0, 65535));
        if (!ok || typed != m_constantDelay) {
            m_constantDelay = value;
            if (auto* edit = Control<QLineEdit>(kFixedTimeEdit)) {
                edit->setText(QString::number(value));
                edit->setCursorPosition(edit->text().size());
            }
        }
    }
    m_lastDown.clear();
    m_lastMouse.clear();
    m_recording = true;
    SetRecordingLook(true);
}

void CMacroControlUI::StopRecording() {
    if (!m_recording) return;
    m_recording = false;
    SetRecordingLook(false);
    SaveMacro();
}

void CMacroControlUI::SetRecordingLook(bool recording) {
    // While recording, a click on the lists would be recorded and act at the same time.
    for (const char* name : {kNameTab, kActionList}) {
        if (QWidget* control = Control(name))
            control->setAttribute(Qt::WA_TransparentForMouseEvents, recording);
    }
    ui::SetEnabled(Control(kSelectedEventEdit), !recording);
    ui::SetEnabled(Control(kSelectedDelayEdit), !recording);
    ui::SetVisible(Control(kStartButton), !recording);
    ui::SetVisible(Control(kStopButton), recording);
}

uint16_t CMacroControlUI::MeasureDelay() {
    switch (m_mode) {
        case kRecordRealTime: {
            const uint32_t now = m_ticks();
            const uint32_t elapsed = now - m_lastTick;
            m_lastTick = now;
            return static_cast<uint16_t>(std::min<uint32_t>(elapsed, 65535));
        }
        case kRecordConstantTime:
            return m_constantDelay;
        default:
            return 0;
    }
}

void CMacroControlUI::AddRecordedEvent(int target, const Json::Value& event, uint16_t measured) {
    const int selected = SelectedRow();
    int at = -1;
    switch (target) {
        case vx::platform::kHookMacro:
            at = InsertRow(-1, event);
            SelectRow(at);
            break;
        case vx::platform::kHookMacroPrevious:
            at = InsertRow(std::max(selected, 0), event);
            SelectRow(at + 1 < RowCount() && selected >= 0 ? at + 1 : at);
            break;
        case vx::platform::kHookMacroLater:
            at = InsertRow(selected < 0 ? RowCount() : selected + 1, event);
            SelectRow(at);
            break;
        default:
            return;
    }
    CMacroActionRowUI* added = Row(at);
    const QString ownDelay = RowCount() == 1                 ? QStringLiteral("0")
                             : m_mode == kRecordConstantTime ? QString::number(m_constantDelay)
                                                             : QStringLiteral("0");
    added->SetDelayText(ownDelay);
    // The pause belongs to the event before it.
    if (m_recordedAny && at > 0) Row(at - 1)->SetDelayText(QString::number(measured));
}

void CMacroControlUI::RecordKeyEvent(int target, uint32_t message, const KeyboardEventRecord& record) {
    if (!m_recording || target != m_target) return;
    const bool down = message == vx::platform::kWmKeyDown || message == vx::platform::kWmSysKeyDown;
    const bool extended = (record.flags & vx::platform::kKeyFlagExtended) != 0;
    const std::pair<uint32_t, bool> key{record.scanCode, extended};
    auto last = m_lastDown.find(target);
    if (down) {
        // A held key repeats its press; only the first counts.
        if (last != m_lastDown.end() && last->second == key) return;
        m_lastDown[target] = key;
    } else if (last != m_lastDown.end() && last->second == key) {
        m_lastDown.erase(last);
    }
    const int row = FindCapturedKey(record.scanCode, extended);
    if (row < 0) return;
    const KeyTriple& t = KeyTable()[row].triple;
    const int type = row < kModifierRows ? vx::profiles::kMacroEventModifier : vx::profiles::kMacroEventKey;
    const int button = row < kModifierRows ? t.first : t.second;
    if (target == vx::platform::kHookMacroSingle) {
        CMacroActionRowUI* selected = Row(SelectedRow());
        if (selected == nullptr) return;
        Json::Value event = selected->Event();
        event["Type"] = type;
        event["Button"] = button;
        selected->SetEvent(event);
    } else {
        if (RowCount() >= static_cast<int>(kMaxRecordedEvents)) return;
        const uint16_t measured = MeasureDelay();
        AddRecordedEvent(target, EventJson(down, type, button, 0), measured);
    }
    m_recordedAny = true;
    m_scrollTimer.start();
}

void CMacroControlUI::RecordMouseEvent(int target, uint32_t message, const MouseEventRecord& record) {
    if (!m_recording || target != m_target) return;
    int button = 0;
    switch (message) {
        case vx::platform::kWmLButtonDown:
        case vx::platform::kWmLButtonUp:
            button = 0x01;
            break;
        case vx::platform::kWmRButtonDown:
        case vx::platform::kWmRButtonUp:
            button = 0x02;
            break;
        case vx::platform::kWmMButtonDown:
        case vx::platform::kWmMButtonUp:
            button = 0x04;
            break;
        case vx::platform::kWmXButtonDown:
        case vx::platform::kWmXButtonUp: {
            const uint32_t which = record.mouseData >> 16;
            if (which == 2)
                button = 0x10;
            else if (which == 1)
                button = 0x08;
            else
                return;
            break;
        }
        default:
            return;
    }
    const bool down = message == vx::platform::kWmLButtonDown || message == vx::platform::kWmRButtonDown ||
                      message == vx::platform::kWmMButtonDown || message == vx::platform::kWmXButtonDown;
    auto last = m_lastMouse.find(target);
    if (last != m_lastMouse.end() && last->second == message) return;
    // The click that ends the recording is no part of the macro.
    if (button == 0x01) {
        if (const QWidget* stop = Control(kStopButton); stop && stop->isVisible()) {
            const QRect area(stop->mapToGlobal(QPoint(0, 0)), stop->size());
            if (area.contains(record.x, record.y)) return;
        }
    }
    m_lastMouse[target] = message;
    if (target == vx::platform::kHookMacroSingle) {
        CMacroActionRowUI* selected = Row(SelectedRow());
        if (selected == nullptr) return;
        Json::Value event = selected->Event();
        event["Type"] = vx::profiles::kMacroEventMouseButton;
        event["Button"] = button;
        selected->SetEvent(event);
    } else {
        if (RowCount() >= static_cast<int>(kMaxRecordedEvents)) return;
        const uint16_t measured = MeasureDelay();
        AddRecordedEvent(target, EventJson(down, vx::profiles::kMacroEventMouseButton, button, 0), measured);
    }
    m_recordedAny = true;
    m_scrollTimer.start();
}

void CMacroControlUI::ScrollToSelection() {
    CListUI* actions = ActionList();
    if (actions && actions->currentItem()) actions->scrollToItem(actions->currentItem());
}

void CMacroControlUI::BeginRecording(int mode, int target) {
    if (SelectedMacro() < 0) return;
    StartRecording(mode, target);
    if (m_page != nullptr) {
        if (vx::platform::IRecordingHost* host = m_page->RecordingHost()) host->StartRecording(mode, target);
    }
}

// --- Handlers -----------------------------------------------------------------------------------

void CMacroControlUI::OnMacroChosen(const ControlEvent& event) {
    SelectMacro(static_cast<int>(event.param));
}

void CMacroControlUI::OnAddButton(const ControlEvent&) {
    AddMacro();
}

void CMacroControlUI::OnDeleteButton(const ControlEvent&) {
    DeleteMacro();
}

void CMacroControlUI::OnRenameButton(const ControlEvent&) {
    const std::u16string typed = ui::GetText(Control(kNameEdit)).toStdU16String();
    const std::u16string result = RenameMacro(typed);
    if (result == u"IsEmpty") return;
    if (result.empty()) {
        if (SelectedMacro() >= 0) Prompts().Tell(QStringLiteral("message_text_5"), true);
        return;
    }
    ui::SetText(Control(kNameEdit), QString());
}

void CMacroControlUI::OnSaveButton(const ControlEvent&) {
    SaveMacro();
}

void CMacroControlUI::OnCancelButton(const ControlEvent&) {
    SelectMacro(SelectedMacro());
}

void CMacroControlUI::OnImportButton(const ControlEvent&) {
    const QString path = Prompts().OpenFile(kFilterName, kFilterPattern);
    if (path.isEmpty()) return;
    if (ImportMacro(std::filesystem::path(path.toStdString())).empty()) {
        Prompts().Tell(QStringLiteral("macro_import_refused"), true);
    }
}

void CMacroControlUI::OnExportButton(const ControlEvent&) {
    if (SelectedMacro() < 0) return;
    const QString path = Prompts().SaveFile(kFilterName, kFilterPattern);
    if (path.isEmpty()) return;
    if (!ExportMacro(std::filesystem::path(path.toStdString()))) {
        Prompts().Tell(QStringLiteral("macro_export_failed"), true);
    }
}

void CMacroControlUI::OnRowCommand(const ControlEvent& event) {
    switch (event.rowValue) {
        case kRowUp:
            MoveRowUp();
            break;
        case kRowDown:
            MoveRowDown();
            break;
        case kRowTop:
            MoveRowTop();
            break;
        case kRowBottom:
            MoveRowBottom();
            break;
        case kRowDelete:
            DeleteRow();
            break;
        case kRowDeleteAll:
            DeleteAllRows();
            break;
        default:
            break;
    }
}

void CMacroControlUI::OnMoveButton(const ControlEvent& event) {
    switch (event.rowValue) {
        case 0:
            InsertMove(vx::profiles::kMacroEventMoveX, true, kMoveEdits[0]);
            break;
        case 1:
            InsertMove(vx::profiles::kMacroEventMoveX, false, kMoveEdits[1]);
            break;
        case 2:
            InsertMove(vx::profiles::kMacroEventMoveY, true, kMoveEdits[2]);
            break;
        case 3:
            InsertMove(vx::profiles::kMacroEventMoveY, false, kMoveEdits[3]);
            break;
        default:
            break;
    }
}

void CMacroControlUI::OnDelayEdit(const ControlEvent& event) {
    for (int row = 0; row < RowCount(); ++row) {
        CMacroActionRowUI* shown = Row(row);
        if (shown == nullptr || shown->DelayEdit() != event.control) continue;
        const QString text = shown->DelayText().trimmed();
        shown->SetDelayText(QString::number(
            MacroFiles::DelayFromJson(Json::Value(text.isEmpty() ? "0" : text.toStdString()))));
        SaveMacro();
        return;
    }
}

void CMacroControlUI::OnStartButton(const ControlEvent&) {
    BeginRecording(IsConstantTime() ? kRecordConstantTime : kRecordRealTime, vx::platform::kHookMacro);
}

void CMacroControlUI::OnStopButton(const ControlEvent&) {
    if (m_page != nullptr) {
        if (vx::platform::IRecordingHost* host = m_page->RecordingHost()) host->StopRecording();
    }
    StopRecording();
    if (m_page != nullptr) m_page->RefreshPage();
}

void CMacroControlUI::OnActionMenu(const ControlEvent&) {
    if (SelectedMacro() < 0 || m_recording) return;
    Prompts().ShowMenu(kMenuLayout);
}

void CMacroControlUI::OnRecordMenu(const ControlEvent& event) {
    const int mode = event.rowValue / 100;
    const int target = event.rowValue % 100;
    BeginRecording(mode == 0 ? (IsConstantTime() ? kRecordConstantTime : kRecordRealTime) : mode, target);
}

void CMacroControlUI::OnInsertMenu(const ControlEvent& event) {
    InsertMouseEvent(event.rowValue & 0xFF, static_cast<InsertKind>(event.rowValue >> 8));
}

}  // namespace vx::panels
