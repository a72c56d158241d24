#pragma once
// The colour picker ("ColorSelectWnd", layout "PalletDialog.xml", 800 × 572): a modal dialog in
// which the user chooses one colour from the palette, the red/green/blue edits, 20 preset
// swatches or 20 collected swatches. The collected swatches (the user's own colours) and the
// last preset chosen are kept in the colour option file "color_option_info.config" of the user's
// data folder, which starts as a copy of the factory file.
//
// The opener sets the colour, runs the dialog modally and reads the colour back when the result
// is kAccepted (PickColour does all of it). UI thread only.

#include <QtGui/qrgb.h>
#include <QPointer>
#include <json/json.h>
#include <filesystem>

#include "widgets/WindowImplBase.h"

namespace vx::widgets {
class CColorPaletteUI;
}

namespace vx::panels {

using vx::widgets::CColorPaletteUI;
using vx::widgets::TNotifyUI;

class CColorSelectWnd : public vx::widgets::WindowImplBase {
    Q_OBJECT
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    static constexpr int kSwatches = 20;
    // Modal results.
    static constexpr int kClosed = 0;
    static constexpr int kAccepted = 1;
    static constexpr int kAcceptedWithoutPalette = 2;
    static constexpr uint kSysCommand = 0x0112;
    static constexpr uint kSysMinimize = 0xF020, kSysMaximize = 0xF030, kSysRestore = 0xF120, kSysClose = 0xF060;

    explicit CColorSelectWnd(QWidget* parent = nullptr);

    // The working and the factory option file; by default the user's and the factory data folder.
    void SetOptionFiles(std::filesystem::path working, std::filesystem::path factory);

    // Before the modal run.
    void SetDpi(int dpi);
    void SetPickerColor(QRgb argb);
    void EnableSevenColor(bool enabled);
    // After it.
    QRgb GetPickerColor() const { return m_color; }
    bool SevenColor() const { return m_sevenColor; }

    int PresetPosition() const { return m_presetPosition; }
    int CollectedPosition() const { return m_collectedPosition; }

    void Notify(TNotifyUI& msg) override;

    // Creates the picker over `owner`, runs it with `colour` and without the seven-colour choice,
    // and on acceptance stores the chosen colour into `colour`. Returns the modal result (0 when
    // the window could not be made). While it runs, `open` (when given) points at the picker, so
    // that the opener can close it.
    static int PickColour(QWidget* owner, int dpi, QRgb& colour, QPointer<CColorSelectWnd>* open = nullptr);

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_PALLET"); }
    QString GetWindowClassName() const override { return QStringLiteral("ColorSelectWnd"); }
    void InitWindow() override;
    qintptr HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) override;

private:
    void OnOpening();
    void OnClick(QWidget* sender);
    void OnPresetChosen(int n);
    void OnCollectedChosen(int n);
    void OnEditsLeft();
    void SetSevenColor(bool on);
    void ApplyCurrentColor();
    void ShowComponents(QRgb argb);
    void SelectInPalette(QRgb argb);
    void SavePresetOptions();
    void LoadPresetOptions(const Json::Value& root);
    void SaveCollectedColors();
    void LoadCollectedColors(const Json::Value& root);
    void FillSlot(QWidget* slot, QRgb argb);
    QWidget* Preset(int n) const;
    QWidget* Collected(int n) const;

    std::filesystem::path m_workingFile;
    std::filesystem::path m_factoryFile;
    QRgb m_color = 0xFFFFFFFF;
    int m_presetPosition = 4;
    int m_collectedPosition = 0;
    bool m_sevenColor = false;
    bool m_opened = false;

    CColorPaletteUI* m_palette = nullptr;
    QWidget* m_swatch = nullptr;
    QWidget* m_edits[3] = {nullptr, nullptr, nullptr};
    QWidget* m_sevenOption = nullptr;
    QWidget* m_sevenLayout = nullptr;
};

// The colour of an option file element: exactly eight upper-case hexadecimal digits, alpha first.
std::string ColourOptionText(QRgb argb);

}  // namespace vx::panels
