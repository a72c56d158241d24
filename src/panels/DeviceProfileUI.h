#pragma once
// The profile panel of a device page ("DeviceProfileItem"): the profile combo, the name edit, the
// profile menu (new, delete, copy, import, export, factory reset, rename) and the page's feature
// tabs. The list and the profile files are ProfileList's; the panel keeps its combo in step with
// the list and tells its page to load and send a profile when the selection changes.
//
// Controls are looked up below the panel itself, not in the whole window: every device page
// carries a profile panel with the same control names.
//
// UI thread only.

#include <QPointer>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "profiles/ProfileList.h"
#include "widgets/ContainerUI.h"
#include "widgets/ControlEvent.h"
#include "widgets/UIDefs.h"

class QLineEdit;
namespace vx::widgets { class CComboUI; }
namespace vx::widgets { class COptionUI; }
namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::panels {


// What the panel asks of the user. The default shows the message box and Qt's file dialogs;
// tests answer in their place.
class IProfilePanelPrompts {
public:
    virtual ~IProfilePanelPrompts() = default;
    // The chosen file, or an empty text when the dialog was cancelled.
    virtual QString OpenProfileFile(QWidget* parent, const QString& filter) = 0;
    virtual QString SaveProfileFile(QWidget* parent, const QString& filter) = 0;
    // A yes/no question by language key: 1 for yes.
    virtual int Ask(QWidget* parent, const QString& key) = 0;
    // A notice; `textIsKey` makes `text` a language key.
    virtual void Tell(QWidget* parent, const QString& text, bool textIsKey) = 0;
};

class CDeviceProfileUI : public vx::widgets::CHorizontalLayoutUI {
    Q_OBJECT
public:
    // The delay between a choice in the combo and loading it, so that scrolling through the list
    // with the keyboard does not load every profile on the way.
    static constexpr int kSelectTimerId = 1055;
    static constexpr int kSelectDelayMs = 400;
    static inline const QString kProfileFilter = QStringLiteral("Profile Files(*.json)");
    static inline const QString kContentLayout = QStringLiteral("XML\\CustomControlXML\\DeviceProfile.xml");
    static inline const QString kPageItemName = QStringLiteral("DeviceProfileItem");
    static constexpr int kItemHeight = 30;
    static constexpr int kTabCount = 8;

    explicit CDeviceProfileUI(QWidget* parent = nullptr);
    ~CDeviceProfileUI() override;

    // Builds the panel's layout into it when the page's layout did not (no combo below it yet).
    bool BuildContent(vx::widgets::IDialogBuilderCallback* callback = nullptr);

    // The page's set-up of its profile panel: kind, the page's device data folder and factory
    // profile, the list loaded, tab 1 selected, and the selected identifier handed to the page.
    void ConnectPage(vx::devices::CTavimondUSBDevice& page, int deviceKind);
    // Finds the page's "DeviceProfileItem" and connects it. When the layout holds a plain
    // container under that name, a panel is made inside it. nullptr when the page has no such item.
    static CDeviceProfileUI* ConnectPageItem(vx::devices::CTavimondUSBDevice& page, int deviceKind,
                                             vx::widgets::IDialogBuilderCallback* callback = nullptr);

    void SetDeviceKind(int kind);
    int GetDeviceKind() const { return m_deviceKind; }
    void SetProfileFolders(const std::filesystem::path& deviceFolder,
                           const std::filesystem::path& factoryProfile);
    // The page that loads and sends the selected profile; not owned.
    void SetDevicePage(vx::devices::CTavimondUSBDevice* page) { m_page = page; }
    // nullptr restores the default prompts; not owned.
    void SetPrompts(IProfilePanelPrompts* prompts);

    // ---- operations ----
    void LoadProfileList();
    void SelectProfile(int position, bool notify);
    int GetSelectedPosition() const;
    std::string GetSelectedIdentifier() const { return m_list.GetSelectedIdentifier(); }
    QString GetNameEditText() const;
    void SetNameEditText(const QString& text);
    void ShowProfileMenu(bool show);
    bool IsProfileMenuVisible() const;
    // Whether the panel shows its list of feature tabs (a page item with the property
    // pagetabs="own" shows its own tabs instead). The tabs keep their state either way.
    void SetTabsShown(bool shown);
    bool TabsShown() const { return m_tabsShown; }
    int GetProfileCount();
    std::filesystem::path GetProfileFilePath(int position) const;
    // Each returns the list's result (a position, or a negative kProfile... code).
    int NewProfile();
    int CopyProfile();
    int DeleteProfile();
    bool ResetProfile();
    int ImportProfile(const QString& path);
    bool ExportProfile(const QString& destination);
    // 1 done, 0 the name is taken (or no combo), 2 the name is blank.
    int RenameProfile(const QString& name);
    void SelectTab(int tab);

    // ---- handlers of the panel's controls, as the main window's routing finds them ----
    // "device_add_btn", "device_sub_btn", "device_copy_btn", "device_import_btn",
    // "device_export_btn", "device_reset_btn", "device_profile_edit_save_btn",
    // "profile_fun_spread_btn".
    void OnAddButton(const vx::widgets::ControlEvent& event);
    void OnDeleteButton(const vx::widgets::ControlEvent& event);
    void OnCopyButton(const vx::widgets::ControlEvent& event);
    void OnImportButton(const vx::widgets::ControlEvent& event);
    void OnExportButton(const vx::widgets::ControlEvent& event);
    void OnResetButton(const vx::widgets::ControlEvent& event);
    void OnRenameButton(const vx::widgets::ControlEvent& event);
    void OnMenuToggleButton(const vx::widgets::ControlEvent& event);
    // "deng_Op_tab" ... "Virtual7.1_Op_tab": row value = tab 1 to 8.
    void OnTabOption(const vx::widgets::ControlEvent& event);
    // The delayed profile action: the combo's choice becomes the selection and the page loads it.
    void StartDelayedSelect();
    bool IsDelayedSelectPending() const { return m_selectTimer.isActive(); }
    void RunDelayedSelect();
    // The page takes the selected profile: loads it, shows it and sends it to the device.
    // Returns the settings write's result (0 without a page).
    int ApplyProfileToPage();

    const vx::profiles::ProfileList& List() const { return m_list; }

signals:
    // A feature tab (1 to 8) was chosen by the user.
    void TabChosen(int tab);

private:
    vx::widgets::CComboUI* Combo() const;
    QLineEdit* NameEdit() const;
    QWidget* Menu() const;
    QWidget* FindOwn(const QString& name) const;
    vx::widgets::COptionUI* Tab(int tab) const;
    void SyncCombo(int select);
    void ApplyTabVisibility();
    // Brings a pending combo choice into effect before an operation on "the selected profile".
    void CommitPendingSelect();
    IProfilePanelPrompts& Prompts();

    vx::profiles::ProfileList m_list;
    int m_deviceKind = 0;
    vx::devices::CTavimondUSBDevice* m_page = nullptr;
    IProfilePanelPrompts* m_prompts = nullptr;
    std::unique_ptr<IProfilePanelPrompts> m_defaultPrompts;
    QTimer m_selectTimer;
    mutable QPointer<vx::widgets::CComboUI> m_combo;
    mutable QPointer<QLineEdit> m_nameEdit;
    mutable QPointer<QWidget> m_menu;
    bool m_tabsShown = true;
};

}  // namespace vx::panels
