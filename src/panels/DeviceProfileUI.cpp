#include "panels/DeviceProfileUI.h"

#include <QGuiApplication>
#include <QLayout>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "widgets/MsgWnd.h"
// The page header keeps QPointer members of classes it only declares; their definitions must come
// first.
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"
// clang-format off
#include "devices/TavimondUSBDevice.h"
// clang-format on
#include "panels/DeviceProfileTabs.h"
#include "platform/DebugLog.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/DataFolders.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/FileDialogs.h"
#include "widgets/OptionUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::widgets::CComboUI;
using vx::widgets::COptionUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::ControlEvent;
using vx::widgets::IDialogBuilderCallback;
using vx::widgets::ShowMessageBox;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;
using vx::widgets::CDialogBuilder;

namespace vx::panels {

using vx::platform::DebugLog;
using vx::profiles::CBasicProfiledata;
using vx::profiles::DefaultProfilePath;
using vx::profiles::DeviceDataFolder;
using vx::profiles::ProfileEntry;
using vx::profiles::kMaxNewProfiles;
using vx::profiles::kProfileRefused;
using vx::profiles::kRenameBlank;
using vx::profiles::kRenameDone;
using vx::profiles::kRenameTaken;

namespace fs = std::filesystem;

namespace {

constexpr const char* kComboName = "device_profile_combo";
constexpr const char* kNameEditName = "device_profile_name_edit";
constexpr const char* kMenuName = "profile_menu_layout";
constexpr const char* kTabsName = "device_profile_tabs";
constexpr const char* kPageTabsProperty = "pagetabs";
constexpr const char* kDeleteQuestion = "profile_delete_question";

// The profile files are named by the user; on Linux their names are taken as UTF-8 bytes.
fs::path ToPath(const QString& text) {
    return fs::path(text.toStdString());
}

class DefaultPrompts : public IProfilePanelPrompts {
public:
    QString OpenProfileFile(QWidget* parent, const QString& filter) override {
        return ui::AskOpenFile(parent, filter);
    }
    QString SaveProfileFile(QWidget* parent, const QString& filter) override {
        return ui::AskSaveFile(parent, filter, QStringLiteral("json"));
    }
    int Ask(QWidget* parent, const QString& key) override {
        return ShowMessageBox(parent, QString(), key, 96, true, 1);
    }
    void Tell(QWidget* parent, const QString& text, bool textIsKey) override {
        ShowMessageBox(parent, QString(), text, 96, textIsKey, 0);
    }
};

}  // namespace

CDeviceProfileUI::CDeviceProfileUI(QWidget* parent)
    : CHorizontalLayoutUI(parent), m_defaultPrompts(std::make_unique<DefaultPrompts>()) {
    m_selectTimer.setSingleShot(true);
    m_selectTimer.setInterval(kSelectDelayMs);
    connect(&m_selectTimer, &QTimer::timeout, this, &CDeviceProfileUI::RunDelayedSelect);
}

CDeviceProfileUI::~CDeviceProfileUI() = default;

bool CDeviceProfileUI::BuildContent(IDialogBuilderCallback* callback) {
    if (Combo()) return true;
    QWidget* content = CDialogBuilder::Create(kContentLayout, callback, this);
    if (!content) {
        DebugLog("CDeviceProfileUI: cannot build " + kContentLayout.toStdString() + ": " +
                 CDialogBuilder::LastError().toStdString());
        return false;
    }
    Add(content);
    if (CPaintManagerUI* manager = CPaintManagerUI::FromControl(this)) manager->AttachControls(content);
    return Combo() != nullptr;
}

void CDeviceProfileUI::ConnectPage(CTavimondUSBDevice& page, int deviceKind) {
    const std::string kindName = page.GetKindName();
    SetDeviceKind(deviceKind);
    SetProfileFolders(DeviceDataFolder(kindName), DefaultProfilePath(kindName));
    SetDevicePage(&page);
    LoadProfileList();
    SelectTab(1);
    // The page shows what the highlighted tab names; selecting the option alone raises nothing.
    if (FunctionPageOfTab(1) != 0) page.SetFunctionPage(FunctionPageOfTab(1));
    page.SetProfileId(GetSelectedIdentifier());
}

CDeviceProfileUI* CDeviceProfileUI::ConnectPageItem(CTavimondUSBDevice& page, int deviceKind,
                                                    IDialogBuilderCallback* callback) {
    QWidget* item =
        page.GetPage() ? CPaintManagerUI::FindSubControlByName(page.GetPage(), kPageItemName) : nullptr;
    if (!item) return nullptr;
    auto* panel = qobject_cast<CDeviceProfileUI*>(item);
    // Made by the page's layout ("DeviceProfile" element) inside the container.
    if (!panel) panel = item->findChild<CDeviceProfileUI*>();
    if (!panel) {
        // A layout written before the panel's element was known names a plain container, which may
        // hold a placeholder: the panel takes its place.
        if (QLayout* box = item->layout()) {
            while (QLayoutItem* old = box->takeAt(0)) {
                if (QWidget* widget = old->widget()) widget->hide();
                delete old;
            }
        }
        panel = new CDeviceProfileUI(item);
        if (QLayout* box = item->layout()) {
            box->addWidget(panel);
        } else if (auto* container = qobject_cast<CContainerUI*>(item)) {
            container->Add(panel);
        } else {
            // Without a layout the panel would keep its first size whatever room the page gives.
            auto* box = new QVBoxLayout(item);
            box->setContentsMargins(0, 0, 0, 0);
            box->addWidget(panel);
        }
        panel->show();
    }
    if (!panel->BuildContent(callback)) return nullptr;
    // A page with a tab row of its own (the mouse's) says so on its item.
    if (item->property(kPageTabsProperty).toString().compare(QLatin1String("own"), Qt::CaseInsensitive) == 0)
        panel->SetTabsShown(false);
    panel->ConnectPage(page, deviceKind);
    return panel;
}

void CDeviceProfileUI::SetDeviceKind(int kind) {
    m_deviceKind = kind;
    m_list.SetDeviceKind(kind);
}

void CDeviceProfileUI::SetProfileFolders(const fs::path& deviceFolder, const fs::path& factoryProfile) {
    m_list.SetProfileFolders(deviceFolder, factoryProfile);
}

void CDeviceProfileUI::SetPrompts(IProfilePanelPrompts* prompts) {
    m_prompts = prompts;
}

IProfilePanelPrompts& CDeviceProfileUI::Prompts() {
    return m_prompts ? *m_prompts : *m_defaultPrompts;
}

QWidget* CDeviceProfileUI::FindOwn(const QString& name) const {
    return CPaintManagerUI::FindSubControlByName(this, name);
}

CComboUI* CDeviceProfileUI::Combo() const {
    if (!m_combo) m_combo = qobject_cast<CComboUI*>(FindOwn(QLatin1String(kComboName)));
    return m_combo;
}

QLineEdit* CDeviceProfileUI::NameEdit() const {
    if (!m_nameEdit) m_nameEdit = qobject_cast<QLineEdit*>(FindOwn(QLatin1String(kNameEditName)));
    return m_nameEdit;
}

QWidget* CDeviceProfileUI::Menu() const {
    if (!m_menu) m_menu = FindOwn(QLatin1String(kMenuName));
    return m_menu;
}

COptionUI* CDeviceProfileUI::Tab(int tab) const {
    const auto names = ProfileTabNames();
    if (tab < 1 || tab > static_cast<int>(names.size())) return nullptr;
    return qobject_cast<COptionUI*>(FindOwn(QLatin1String(names[tab - 1])));
}

// ---- operations ----

void CDeviceProfileUI::LoadProfileList() {
    CComboUI* combo = Combo();
    if (!combo) return;
    const int selected = m_list.Load();
    SyncCombo(-1);
    if (selected >= 0) SelectProfile(selected, false);
    ApplyTabVisibility();
}

void CDeviceProfileUI::SyncCombo(int select) {
    CComboUI* combo = Combo();
    if (!combo) return;
    combo->RemoveAll();
    for (const ProfileEntry& entry : m_list.Entries()) {
        const QString name = QString::fromStdU16String(entry.name);
        const int index = combo->AddItem(name, false, name);
        combo->setItemData(index, QSize(0, kItemHeight), Qt::SizeHintRole);
    }
    if (select >= 0 && select < combo->GetCount()) combo->SelectItem(select);
}

void CDeviceProfileUI::SelectProfile(int position, bool notify) {
    CComboUI* combo = Combo();
    if (!combo) return;
    if (!m_list.Select(position)) return;
    if (combo->GetCount() != m_list.Count()) SyncCombo(-1);
    const int previous = combo->GetCurSel();
    combo->SelectItem(position);
    combo->setFocus(Qt::OtherFocusReason);
    SetNameEditText(combo->itemText(position));
    if (notify) CPaintManagerUI::Notify(combo, notify::kItemSelect, position, previous);
}

int CDeviceProfileUI::GetSelectedPosition() const {
    const CComboUI* combo = Combo();
    return combo ? combo->GetCurSel() : -1;
}

QString CDeviceProfileUI::GetNameEditText() const {
    const QLineEdit* edit = NameEdit();
    return edit ? edit->text() : QString();
}

void CDeviceProfileUI::SetNameEditText(const QString& text) {
    if (QLineEdit* edit = NameEdit()) ui::SetText(edit, text);
}

void CDeviceProfileUI::ShowProfileMenu(bool show) {
    QWidget* menu = Menu();
    if (!menu) return;
    ui::SetVisible(menu, show);
    // In the page's narrow side column the menu takes the place of the tabs while it is open.
    ui::SetVisible(FindOwn(QLatin1String(kTabsName)), !show && m_tabsShown);
}

void CDeviceProfileUI::SetTabsShown(bool shown) {
    m_tabsShown = shown;
    ui::SetVisible(FindOwn(QLatin1String(kTabsName)), shown && !IsProfileMenuVisible());
}

bool CDeviceProfileUI::IsProfileMenuVisible() const {
    const QWidget* menu = Menu();
    return menu && ui::IsVisible(menu);
}

int CDeviceProfileUI::GetProfileCount() {
    return m_list.GetProfileCount();
}

fs::path CDeviceProfileUI::GetProfileFilePath(int position) const {
    return m_list.GetProfileFilePath(position);
}

int CDeviceProfileUI::NewProfile() {
    CComboUI* combo = Combo();
    if (!combo) return kProfileRefused;
    if (combo->GetCount() >= kMaxNewProfiles) return kProfileRefused;
    const int current = combo->GetCurSel();
    const int position = m_list.NewProfile();
    SyncCombo(current);
    return position;
}

int CDeviceProfileUI::CopyProfile() {
    const int current = GetSelectedPosition();
    if (current < 0) return kProfileRefused;
    const int position = m_list.CopyProfile(current);
    SyncCombo(current);
    return position;
}

int CDeviceProfileUI::DeleteProfile() {
    CComboUI* combo = Combo();
    const int current = GetSelectedPosition();
    if (!combo || current < 0 || combo->GetCount() < 2) return kProfileRefused;
    const int result = m_list.DeleteProfile(current);
    SyncCombo(result >= 0 ? result : current);
    return result;
}

int CDeviceProfileUI::RenameProfile(const QString& name) {
    const int current = GetSelectedPosition();
    if (current < 0) return kRenameTaken;
    const int result = m_list.RenameProfile(current, name.toStdU16String());
    if (result == kRenameDone) {
        SyncCombo(current);
        SetNameEditText(name);
        if (CComboUI* combo = Combo()) combo->updateGeometry();
    }
    return result;
}

bool CDeviceProfileUI::ResetProfile() {
    const int current = GetSelectedPosition();
    return current >= 0 && m_list.ResetProfile(current);
}

int CDeviceProfileUI::ImportProfile(const QString& path) {
    if (!Combo()) return kProfileRefused;
    const int current = GetSelectedPosition();
    const int result = m_list.ImportProfile(ToPath(path));
    SyncCombo(current);
    return result;
}

bool CDeviceProfileUI::ExportProfile(const QString& destination) {
    const int current = GetSelectedPosition();
    if (current < 0 || destination.isEmpty()) return false;
    return m_list.ExportProfile(current, ToPath(destination));
}

void CDeviceProfileUI::SelectTab(int tab) {
    COptionUI* options[kTabCount];
    for (int i = 0; i < kTabCount; ++i) {
        options[i] = Tab(i + 1);
        if (!options[i]) return;
    }
    const bool known = tab >= 1 && tab <= kTabCount;
    for (int i = 0; i < kTabCount; ++i) {
        // Outside 1 to 8 the surround tab keeps its state; it is not part of the page's tabs.
        if (!known && i == kTabCount - 1) continue;
        options[i]->Selected(known && i == tab - 1);
    }
}

void CDeviceProfileUI::ApplyTabVisibility() {
    for (const ProfileTabVisibility& row : ProfileTabVisibilityTable()) {
        if (row.deviceKind != m_deviceKind) continue;
        for (const char* name : row.hidden) ui::SetVisible(FindOwn(QLatin1String(name)), false);
        for (const char* name : row.shown) ui::SetVisible(FindOwn(QLatin1String(name)), true);
    }
}

// ---- user actions ----

void CDeviceProfileUI::OnTabOption(const ControlEvent& event) {
    const int tab = event.rowValue;
    if (tab < 1 || tab > static_cast<int>(ProfileTabNames().size())) return;
    SelectTab(tab);
    if (m_page && FunctionPageOfTab(tab) != 0) m_page->SetFunctionPage(FunctionPageOfTab(tab));
    emit TabChosen(tab);
}

void CDeviceProfileUI::OnMenuToggleButton(const ControlEvent&) {
    ShowProfileMenu(!IsProfileMenuVisible());
}

void CDeviceProfileUI::OnAddButton(const ControlEvent&) {
    CommitPendingSelect();
    const int position = NewProfile();
    // The new profile is taken at once, so that the list file, the combo and the page agree.
    if (position >= 0) {
        SelectProfile(position, false);
        ApplyProfileToPage();
    }
}

void CDeviceProfileUI::OnDeleteButton(const ControlEvent&) {
    CommitPendingSelect();
    // The profile and its file go for good: ask only when there is one to delete (the last
    // profile stays), and delete nothing unless the user agrees.
    const CComboUI* combo = Combo();
    if (!combo || GetSelectedPosition() < 0 || combo->GetCount() < 2) return;
    if (Prompts().Ask(window(), QString::fromLatin1(kDeleteQuestion)) != 1) return;
    const int position = DeleteProfile();
    // The page must not go on saving into the file that was just removed.
    if (position >= 0) {
        SelectProfile(position, false);
        ApplyProfileToPage();
    }
}

void CDeviceProfileUI::OnCopyButton(const ControlEvent&) {
    CommitPendingSelect();
    CopyProfile();
}

void CDeviceProfileUI::OnImportButton(const ControlEvent&) {
    CommitPendingSelect();
    if (GetSelectedPosition() < 0) return;
    const QString path = Prompts().OpenProfileFile(window(), kProfileFilter);
    // A file that is no profile is refused by the list and changes nothing.
    if (!path.isEmpty()) ImportProfile(path);
}

void CDeviceProfileUI::OnExportButton(const ControlEvent&) {
    CommitPendingSelect();
    if (GetSelectedPosition() < 0) return;
    QString path = Prompts().SaveProfileFile(window(), kProfileFilter);
    // Import offers only "*.json": a name typed without it would make a profile that can never
    // be imported again.
    if (!path.isEmpty() && !path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive)) {
        path += QLatin1String(".json");
    }
    if (!path.isEmpty() && !ExportProfile(path)) {
        Prompts().Tell(window(), QStringLiteral("profile_export_failed"), true);
    }
}

void CDeviceProfileUI::OnResetButton(const ControlEvent&) {
    CommitPendingSelect();
    if (GetSelectedPosition() < 0) return;
    if (Prompts().Ask(window(), QStringLiteral("message_text_22")) != 1) return;
    if (!ResetProfile()) {
        Prompts().Tell(window(), QStringLiteral("profile_reset_failed"), true);
        return;
    }
    ApplyProfileToPage();
}

void CDeviceProfileUI::OnRenameButton(const ControlEvent&) {
    // The name typed belongs to the profile chosen in the combo, whose selection may still be
    // waiting for its delay: take the text before the selection fills the edit.
    const QString typedName = GetNameEditText();
    CommitPendingSelect();
    if (typedName.isEmpty()) return;
    const int result = RenameProfile(typedName);
    if (result == kRenameTaken) Prompts().Tell(nullptr, QStringLiteral("message_text_5"), true);
    if (result == kRenameBlank) Prompts().Tell(nullptr, QStringLiteral("message_text_25"), true);
}

void CDeviceProfileUI::StartDelayedSelect() {
    m_selectTimer.start();
}

void CDeviceProfileUI::CommitPendingSelect() {
    if (m_selectTimer.isActive()) RunDelayedSelect();
}

void CDeviceProfileUI::RunDelayedSelect() {
    m_selectTimer.stop();
    const int position = GetSelectedPosition();
    if (position < 0) return;
    SelectProfile(position, false);
    ApplyProfileToPage();
}

int CDeviceProfileUI::ApplyProfileToPage() {
    if (!m_page || GetSelectedIdentifier().empty()) return 0;
    m_page->SetProfileId(GetSelectedIdentifier());
    m_page->LoadProfile();
    const CBasicProfiledata* data = m_page->GetProfileData();
    if (data && data->GetNode().isNull()) {
        // Neither the profile nor the factory profile holds settings for the device: there is
        // nothing to send.
        Prompts().Tell(window(), QStringLiteral("profile_unusable"), true);
        m_page->RefreshPage();
        return 0;
    }
    m_page->RefreshPage();
    QSize screen(0, 0);
    if (const QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->size();
    const int written = m_page->WriteSettings(0, 0, 1, screen.width(), screen.height());
    m_page->ApplyKeyAssignments();
    // An unplugged device is not an error here: the page sends its settings again on connection.
    if (written != 1 && m_page->CommandLink().IsConnected()) {
        Prompts().Tell(window(), QStringLiteral("message_text_7"), true);
    }
    return written;
}

}  // namespace vx::panels
