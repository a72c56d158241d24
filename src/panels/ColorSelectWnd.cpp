#include "panels/ColorSelectWnd.h"

#include <json/json.h>

#include <algorithm>
#include <cstdio>

#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "profiles/StringUtil.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"

using vx::platform::DebugLog;
using vx::widgets::COptionUI;
using vx::widgets::WindowImplBase;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;
using vx::profiles::DefaultDataFolder;
using vx::profiles::JsonFile;
using vx::profiles::ParseDecimal;
using vx::profiles::UserDataFolder;

namespace vx::panels {

namespace {

const char* const kOptionFileName = "color_option_info.config";
const char* const kRoot = "coloroptioninfo";
const char* const kPresets = "palletDialogcoloroption";
const char* const kPresetItem = "palletDialogcoloroption_selectitem";
const char* const kCollected = "palletDialogcollectcoloroption";
const char* const kCollectedItem = "palletDialogcollectcoloroption_selectitem";
const QString kSevenImage = QStringLiteral("common/base1.png");
const char* const kEditNames[3] = {"color_edit_r", "color_edit_g", "color_edit_b"};

bool NameIs(const QWidget* control, const char* name) {
    return control != nullptr && control->objectName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The index of a name "<prefix><n>" with n in 0..19, else -1.
int IndexAfter(const QWidget* control, const QString& prefix) {
    if (control == nullptr) return -1;
    const QString name = control->objectName();
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 0 && n < CColorSelectWnd::kSwatches ? n : -1;
}

bool HoldsColour(const QWidget* slot) {
    return ui::GetUserData(slot).compare(QLatin1String("1"), Qt::CaseInsensitive) == 0;
}

// An option's selected look takes the same colour as its normal one.
void SetSwatchColour(QWidget* option, QRgb argb) {
    ui::SetBkColor(option, argb);
    if (option != nullptr) option->setProperty("selectedbkcolor", QString::fromStdString("#" + ColourOptionText(argb)));
}

void SetBorderSize(QWidget* option, int size) {
    if (option == nullptr) return;
    option->setProperty("bordersize", size);
    option->update();
}

QRgb ParseColourText(const Json::Value& value) {
    if (!value.isString()) return 0;
    // Base 16; anything that is not a number reads as 0, as the rest of the file layer does.
    const std::string text = value.asString();
    uint32_t colour = 0;
    for (char c : text.substr(0, 8)) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) break;
        colour = colour * 16 + static_cast<uint32_t>(digit);
    }
    return colour;
}

}  // namespace

std::string ColourOptionText(QRgb argb) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(argb));
    return text;
}

CColorSelectWnd::CColorSelectWnd(QWidget* parent)
    : WindowImplBase(parent),
      m_workingFile(UserDataFolder() / kOptionFileName),
      m_factoryFile(DefaultDataFolder() / kOptionFileName) {}

void CColorSelectWnd::SetOptionFiles(std::filesystem::path working, std::filesystem::path factory) {
    m_workingFile = std::move(working);
    m_factoryFile = std::move(factory);
}

void CColorSelectWnd::InitWindow() {
    m_palette = m_pm.FindControl<CColorPaletteUI>(QStringLiteral("Pallet"));
    m_swatch = m_pm.FindControl(QStringLiteral("color_show_btn"));
    for (int i = 0; i < 3; ++i) m_edits[i] = m_pm.FindControl(QLatin1String(kEditNames[i]));
    m_sevenOption = m_pm.FindControl(QStringLiteral("7color"));
    m_sevenLayout = m_pm.FindControl(QStringLiteral("7color_layout"));
    resize(kWidth, kHeight);
}

void CColorSelectWnd::SetDpi(int dpi) {
    if (dpi == GetDPI()) return;
    SetDPI(dpi, "SET_WND DPI SET ERROR");
}

QWidget* CColorSelectWnd::Preset(int n) const {
    return m_pm.FindControl(QStringLiteral("color_option_%1").arg(n));
}

QWidget* CColorSelectWnd::Collected(int n) const {
    return m_pm.FindControl(QStringLiteral("collect_color_option_%1").arg(n));
}

void CColorSelectWnd::SetPickerColor(QRgb argb) {
    ui::SetBkImage(m_swatch, QString());
    ui::SetBkColor(m_swatch, argb);
    SelectInPalette(argb);
    m_color = argb;
    ShowComponents(argb);
}

void CColorSelectWnd::EnableSevenColor(bool enabled) {
    ui::SetEnabled(m_sevenOption, enabled);
    ui::SetVisible(m_sevenLayout, enabled);
    if (!enabled) {
        if (auto* option = qobject_cast<COptionUI*>(m_sevenOption)) option->Selected(false);
    }
}

void CColorSelectWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == notify::kWindowInit) {
        OnOpening();
    } else if (msg.sType == notify::kClick) {
        OnClick(msg.pSender);
    } else if (msg.sType == notify::kSelectChanged) {
        if (NameIs(msg.pSender, "7color")) {
            // The option's own state: the seven-colour choice and its marker on the swatch.
            auto* option = qobject_cast<COptionUI*>(msg.pSender);
            m_sevenColor = option != nullptr && option->IsSelected();
            ui::SetBkImage(m_swatch, m_sevenColor ? kSevenImage : QString());
        } else if (const int n = IndexAfter(msg.pSender, QStringLiteral("collect_color_option_")); n >= 0) {
            OnCollectedChosen(n);
        } else if (const int p = IndexAfter(msg.pSender, QStringLiteral("color_option_")); p >= 0) {
            OnPresetChosen(p);
        }
    } else if (msg.sType == notify::kKillFocus || msg.sType == notify::kReturn) {
        for (const char* name : kEditNames) {
            if (NameIs(msg.pSender, name)) OnEditsLeft();
        }
    } else if (msg.sType == notify::kColorChanged && NameIs(msg.pSender, "Pallet")) {
        m_color = static_cast<QRgb>(msg.wParam);
        ApplyCurrentColor();
        ShowComponents(m_color);
    }
}

void CColorSelectWnd::OnClick(QWidget* sender) {
    if (NameIs(sender, "okbtn")) {
        m_color = m_swatch != nullptr ? ui::GetBkColor(m_swatch) : 0;
        Close(m_palette != nullptr ? kAccepted : kAcceptedWithoutPalette);
    } else if (NameIs(sender, "closebtn") || NameIs(sender, "laterbtn")) {
        Close(kClosed);
    } else if (NameIs(sender, "minbtn")) {
        bool handled = false;
        HandleMessage(kSysCommand, kSysMinimize, 0, handled);
    } else if (NameIs(sender, "maxbtn")) {
        bool handled = false;
        HandleMessage(kSysCommand, kSysMaximize, 0, handled);
    } else if (NameIs(sender, "restorebtn")) {
        bool handled = false;
        HandleMessage(kSysCommand, kSysRestore, 0, handled);
    }
}

qintptr CColorSelectWnd::HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled) {
    if (message == kSysCommand) {
        handled = true;
        if (wParam == kSysClose) {
            Close(kClosed);
        } else if (wParam == kSysMinimize) {
            showMinimized();
        } else if (wParam == kSysMaximize) {
            showMaximized();
        } else if (wParam == kSysRestore) {
            showNormal();
        }
        UpdateMaxRestore();
        return 0;
    }
    return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

void CColorSelectWnd::OnOpening() {
    if (m_opened) return;
    m_opened = true;
    JsonFile files;
    Json::Value root = files.ReadJson(m_workingFile);
    if (root.isNull()) {
        root = files.ReadJson(m_factoryFile);
        if (!root.isNull()) files.WriteJson(m_workingFile, root);
    }
    SetPickerColor(m_color);
    SetSevenColor(m_sevenColor);
    const Json::Value& info = root.isObject() ? root[kRoot] : Json::Value::nullSingleton();
    if (info.isObject()) {
        LoadPresetOptions(info);
        LoadCollectedColors(info);
    }
    // The slot being filled is never carried over from an earlier opening.
    m_collectedPosition = -1;
}

void CColorSelectWnd::SetSevenColor(bool on) {
    m_sevenColor = on;
    if (auto* option = qobject_cast<COptionUI*>(m_sevenOption)) option->Selected(on);
    ui::SetBkImage(m_swatch, on ? kSevenImage : QString());
}

void CColorSelectWnd::FillSlot(QWidget* slot, QRgb argb) {
    SetSwatchColour(slot, argb);
    ui::SetUserData(slot, QStringLiteral("1"));
    SetBorderSize(slot, 0);
}

void CColorSelectWnd::ApplyCurrentColor() {
    if (QWidget* slot = m_collectedPosition >= 0 ? Collected(m_collectedPosition) : nullptr) {
        auto* option = qobject_cast<COptionUI*>(slot);
        if (option != nullptr && option->IsSelected()) {
            FillSlot(slot, m_color);
            SaveCollectedColors();
        }
    }
    ui::SetBkColor(m_swatch, m_color);
    SetSevenColor(false);
}

void CColorSelectWnd::ShowComponents(QRgb argb) {
    const int parts[3] = {qRed(argb), qGreen(argb), qBlue(argb)};
    for (int i = 0; i < 3; ++i) ui::SetText(m_edits[i], QString::number(parts[i]));
}

void CColorSelectWnd::SelectInPalette(QRgb argb) {
    if (m_palette != nullptr) m_palette->SetSelectColor(argb);
}

void CColorSelectWnd::OnPresetChosen(int n) {
    m_presetPosition = n;
    SavePresetOptions();
    m_color = ui::GetBkColor(Preset(n));
    SelectInPalette(m_color);
    ApplyCurrentColor();
    ShowComponents(m_color);
}

void CColorSelectWnd::OnCollectedChosen(int n) {
    m_collectedPosition = n;
    QWidget* slot = Collected(n);
    if (!HoldsColour(slot)) return;  // an empty slot waits for the next colour chosen
    SaveCollectedColors();
    m_color = ui::GetBkColor(slot);
    ui::SetBkColor(m_swatch, m_color);
    SetSevenColor(false);
    SelectInPalette(m_color);
    ShowComponents(m_color);
}

void CColorSelectWnd::OnEditsLeft() {
    int parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        QWidget* edit = m_edits[i];
        if (edit == nullptr) continue;
        const QString text = ui::GetText(edit).trimmed();
        if (text.isEmpty()) {
            ui::SetText(edit, QStringLiteral("0"));
            continue;
        }
        int64_t value = ParseDecimal(text.toStdString());
        if (value > 255) {
            value = 255;
            ui::SetText(edit, QStringLiteral("255"));
        }
        // A negative number keeps its low byte, as the colour's arithmetic takes it.
        parts[i] = static_cast<int>(value & 0xFF);
    }
    m_color = 0xFF000000u | (uint32_t(parts[0]) << 16) | (uint32_t(parts[1]) << 8) | uint32_t(parts[2]);
    SelectInPalette(m_color);
    ApplyCurrentColor();
}

void CColorSelectWnd::SavePresetOptions() {
    JsonFile files;
    Json::Value root = files.ReadJson(m_workingFile);
    if (!root.isObject()) root = Json::Value(Json::objectValue);
    Json::Value& info = root[kRoot];
    if (!info.isObject()) info = Json::Value(Json::objectValue);
    Json::Value& list = info[kPresets];
    if (!list.isArray()) list = Json::Value(Json::arrayValue);
    for (int i = 0; i < kSwatches; ++i) {
        if (QWidget* swatch = Preset(i)) list[Json::ArrayIndex(i)]["color"] = ColourOptionText(ui::GetBkColor(swatch));
    }
    info[kPresetItem] = m_presetPosition;
    files.WriteJson(m_workingFile, root);
}

void CColorSelectWnd::LoadPresetOptions(const Json::Value& info) {
    if (info.isMember(kPresetItem) && info[kPresetItem].isIntegral())
        m_presetPosition = std::clamp(info[kPresetItem].asInt(), 0, kSwatches - 1);
}

void CColorSelectWnd::SaveCollectedColors() {
    JsonFile files;
    Json::Value root = files.ReadJson(m_workingFile);
    if (!root.isObject()) root = Json::Value(Json::objectValue);
    Json::Value& info = root[kRoot];
    if (!info.isObject()) info = Json::Value(Json::objectValue);
    Json::Value& list = info[kCollected];
    if (!list.isArray()) list = Json::Value(Json::arrayValue);
    for (int i = 0; i < kSwatches; ++i) {
        QWidget* slot = Collected(i);
        if (slot == nullptr) continue;
        Json::Value& element = list[Json::ArrayIndex(i)];
        element["color"] = ColourOptionText(ui::GetBkColor(slot));
        element["UserData"] = ui::GetUserData(slot).toStdString();
    }
    info[kCollectedItem] = m_collectedPosition;
    files.WriteJson(m_workingFile, root);
}

void CColorSelectWnd::LoadCollectedColors(const Json::Value& info) {
    const Json::Value& list = info[kCollected];
    if (!list.isArray()) return;
    for (int i = 0; i < kSwatches && Json::ArrayIndex(i) < list.size(); ++i) {
        const Json::Value& element = list[Json::ArrayIndex(i)];
        QWidget* slot = Collected(i);
        if (slot == nullptr || !element.isObject() || !element.isMember("color")) continue;
        SetSwatchColour(slot, 0xFFFFFFFF);
        const Json::Value& data = element["UserData"];
        ui::SetUserData(slot, data.isString() ? QString::fromStdString(data.asString()) : QString());
        if (HoldsColour(slot)) {
            SetSwatchColour(slot, ParseColourText(element["color"]));
            SetBorderSize(slot, 0);
        }
    }
}

int CColorSelectWnd::PickColour(QWidget* owner, int dpi, QRgb& colour, QPointer<CColorSelectWnd>* open) {
    CColorSelectWnd picker;
    if (!picker.Create(owner ? owner->window() : nullptr, QStringLiteral("PalletDialog"), 0x82000000u,
                       WindowImplBase::kExStyleToolWindow, QRect(0, 0, kWidth, kHeight))) {
        DebugLog("colour picker not built");
        return kClosed;
    }
    picker.SetDpi(dpi);
    picker.SetPickerColor(colour);
    picker.EnableSevenColor(false);
    picker.CenterWindow();
    if (open != nullptr) *open = &picker;
    const int result = picker.ShowModal();
    if (open != nullptr) *open = nullptr;
    if (result == kAccepted) colour = picker.GetPickerColor();
    return result;
}

}  // namespace vx::panels
