#pragma once
// The recoil ("shoot") panel of the mouse page ("ShootControlItem"): four guns, each a sequence of
// 30 bullets kept as six macro events per bullet in "ShootData_<gun>.Shoot" of the mouse's data
// folder. The panel restores a missing gun file from its factory copy, shows and edits one bullet
// at a time, and imports, exports and resets whole gun files; the mouse page sends the four files
// to the mouse.
//
// Gun files are untrusted (they can be imported from anywhere): a file above the size bound is
// neither read nor imported, an imported file must be a JSON object, and the values written are
// held to what the mouse keeps (distances 0..255, delays 0..65535 ms). Nothing is written outside
// the shoot folder except the file the user exports to.
//
// UI thread only.

#include <QPointer>
#include <QString>
#include <array>
#include <filesystem>
#include <functional>

#include "widgets/ContainerUI.h"
#include "widgets/ControlEvent.h"

namespace vx::widgets {
class CTabLayoutUI;
class COptionUI;
}
namespace vx::devices {
class CTavimondMouseDevice;
}

namespace vx::panels {

using vx::devices::CTavimondMouseDevice;
using vx::widgets::ControlEvent;
using vx::widgets::COptionUI;
using vx::widgets::CTabLayoutUI;

class CShootControlUI : public vx::widgets::CVerticalLayoutUI {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "CShootControlUI";
    static constexpr int kGuns = 4;
    static constexpr int kBullets = 30;
    static constexpr int kMaxDistance = 255;
    static constexpr int kMaxDelay = 65535;
    // Outcomes of Upload beside the page's own codes.
    static constexpr int kNoMouse = -300;

    // Registers the class (and the element name "ShootControl") with the control factory.
    static void RegisterControlClass();

    explicit CShootControlUI(QWidget* parent = nullptr);

    void SetShootFolder(const std::filesystem::path& folder) { m_shootFolder = folder; }
    void SetDefaultShootFolder(const std::filesystem::path& folder) { m_factoryFolder = folder; }
    // The page whose UploadShootData the save button runs.
    void SetMousePage(CTavimondMouseDevice* page) { m_page = page; }

    // Finds the controls and makes sure every gun file exists.
    void InitShootPanel();
    void SelectGun(int gun);
    void SelectBullet(int bullet);
    void PrevBullet() { SelectBullet(m_bullet - 1); }
    void NextBullet() { SelectBullet(m_bullet + 1); }
    void ShowBullet();
    void SaveBullet();
    // False (and the gun file unchanged) when the source is unreadable, too large or not a JSON
    // object.
    bool ImportShootFile(const std::filesystem::path& source);
    // False when the destination could not be written.
    bool ExportShootFile(const std::filesystem::path& destination);
    void ResetShootFile(int gun);
    void UpdateXDirectionText();
    void UpdateYDirectionText();
    // The mouse page's UploadShootData (1 when the mouse has the four files), kNoMouse without a
    // page.
    int Upload();

    int CurrentGun() const { return m_gun; }
    int CurrentBullet() const { return m_bullet; }
    std::filesystem::path GunFile(int gun) const;

    // --- Routing rows (ControlRouterTables.cpp) --------------------------------------------
    void OnGunOption(const ControlEvent& event);
    void OnBulletOption(const ControlEvent& event);
    // "bullet_x_check" (row value 0), "bullet_y_check" (1).
    void OnDirectionCheck(const ControlEvent& event);
    void OnPrevButton(const ControlEvent& event);
    void OnNextButton(const ControlEvent& event);
    void OnResetButton(const ControlEvent& event);
    // "bullet_x_eidt", "bullet_y_eidt", "bullet_delay_eidt" left.
    void OnBulletEdit(const ControlEvent& event);

private:
    QWidget* Control(const QString& name) const;
    bool IsChecked(QWidget* check) const;
    void SetChecked(QWidget* check, bool on);
    // Writes bytes over a gun file of the shoot folder, atomically.
    bool WriteGunFile(int gun, const std::string& bytes);

    std::filesystem::path m_shootFolder;
    std::filesystem::path m_factoryFolder;
    int m_gun = 0;
    int m_bullet = -1;
    CTavimondMouseDevice* m_page = nullptr;

    std::array<QPointer<COptionUI>, kGuns> m_gunOptions;
    std::array<QPointer<COptionUI>, kBullets> m_bulletOptions;
    QPointer<CTabLayoutUI> m_pictures;
    QPointer<QWidget> m_index;
    QPointer<QWidget> m_xCheck;
    QPointer<QWidget> m_yCheck;
    QPointer<QWidget> m_xEdit;
    QPointer<QWidget> m_yEdit;
    QPointer<QWidget> m_delayEdit;
};

}  // namespace vx::panels
