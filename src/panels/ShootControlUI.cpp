#include "panels/ShootControlUI.h"

#include <json/json.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include "devices/TavimondMouseDevice.h"
#include "devices/protocol/MouseShootImage.h"
#include "platform/DebugLog.h"
#include "profiles/JsonFile.h"
#include "profiles/StringUtil.h"
#include "widgets/ControlFactory.h"
#include "widgets/ControlUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/TabLayoutUI.h"

using vx::platform::DebugLog;
using vx::widgets::CControlFactory;
using vx::widgets::ControlCreator;
using vx::widgets::CPaintManagerUI;
namespace ui = vx::widgets::ui;
using vx::profiles::JsonFile;
using vx::profiles::ParseDecimal;
using vx::profiles::WriteFileAtomically;
namespace fs = std::filesystem;

namespace vx::panels {

namespace {

// The fixed members of a bullet's six events: action (empty: the bullet's direction), button
// (-1: the bullet's value), delay (-1: the bullet's delay), type.
struct FixedEvent {
    const char* action;
    int button;
    int delay;
    int type;
};
enum Axis { kHorizontal, kVertical };

bool IsDownText(const Json::Value& action) {
    return action.isString() && QString::fromStdString(action.asString()).compare(QLatin1String("down"),
                                                                                  Qt::CaseInsensitive) == 0;
}

int MemberInt(const Json::Value& element, const char* key) {
    if (!element.isObject()) return 0;
    const Json::Value& value = element[key];
    if (value.isIntegral()) return static_cast<int>(std::clamp<Json::Int64>(value.asInt64(), INT32_MIN, INT32_MAX));
    if (value.isString()) return static_cast<int>(std::clamp<int64_t>(ParseDecimal(value.asString()), INT32_MIN, INT32_MAX));
    if (value.isDouble()) return static_cast<int>(std::clamp(value.asDouble(), double(INT32_MIN), double(INT32_MAX)));
    return 0;
}

const Json::Value& Element(const Json::Value& events, Json::ArrayIndex index) {
    if (!events.isArray() || index >= events.size()) return Json::Value::nullSingleton();
    return events[index];
}

// A file's bytes when it can be read and is not above the bound; nullopt otherwise.
std::optional<std::string> ReadBounded(const fs::path& file) {
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (error || size > kShootFileMaxBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

}  // namespace

void CShootControlUI::RegisterControlClass() {
    const ControlCreator create = [](QWidget* parent) -> QWidget* { return new CShootControlUI(parent); };
    CControlFactory::GetInstance().RegistControl(QString::fromLatin1(kClassName), create);
    CControlFactory::GetInstance().RegistControl(QStringLiteral("ShootControl"), create);
}

CShootControlUI::CShootControlUI(QWidget* parent) : CVerticalLayoutUI(parent) {}

QWidget* CShootControlUI::Control(const QString& name) const {
    return CPaintManagerUI::FindSubControlByName(this, name);
}

fs::path CShootControlUI::GunFile(int gun) const {
    return m_shootFolder / ShootFileName(std::clamp(gun, 0, kGuns - 1));
}

void CShootControlUI::InitShootPanel() {
    for (int g = 0; g < kGuns; ++g)
        m_gunOptions[size_t(g)] = qobject_cast<COptionUI*>(Control(QStringLiteral("shoot_gun_op_%1").arg(g)));
    for (int b = 0; b < kBullets; ++b)
        m_bulletOptions[size_t(b)] = qobject_cast<COptionUI*>(Control(QStringLiteral("bullet_op_%1").arg(b)));
    m_pictures = qobject_cast<CTabLayoutUI*>(Control(QStringLiteral("shoot_image_display_switch")));
    m_index = Control(QStringLiteral("bullet_select_index"));
    m_xCheck = Control(QStringLiteral("bullet_x_check"));
    m_yCheck = Control(QStringLiteral("bullet_y_check"));
    m_xEdit = Control(QStringLiteral("bullet_x_eidt"));
    m_yEdit = Control(QStringLiteral("bullet_y_eidt"));
    m_delayEdit = Control(QStringLiteral("bullet_delay_eidt"));
    if (m_shootFolder.empty()) return;
    for (int g = 0; g < kGuns; ++g) {
        if (ReadShootDocument(GunFile(g)).isNull()) ResetShootFile(g);
    }
}

bool CShootControlUI::IsChecked(QWidget* check) const {
    auto* option = qobject_cast<COptionUI*>(check);
    return option != nullptr && option->IsSelected();
}

void CShootControlUI::SetChecked(QWidget* check, bool on) {
    if (auto* option = qobject_cast<COptionUI*>(check)) option->Selected(on);
}

void CShootControlUI::SelectGun(int gun) {
    for (const QPointer<COptionUI>& option : m_gunOptions) {
        if (option) option->Selected(false);
    }
    m_gun = std::clamp(gun, 0, kGuns - 1);
    if (COptionUI* option = m_gunOptions[size_t(m_gun)]) option->Selected(true);
    if (m_pictures) m_pictures->SelectItem(m_gun);
}

void CShootControlUI::SelectBullet(int bullet) {
    for (const QPointer<COptionUI>& option : m_bulletOptions) {
        if (option) option->Selected(false);
    }
    m_bullet = std::clamp(bullet, 0, kBullets - 1);
    if (COptionUI* option = m_bulletOptions[size_t(m_bullet)]) option->Selected(true);
    ui::SetText(m_index, QString::number(m_bullet + 1));
    ShowBullet();
}

void CShootControlUI::ShowBullet() {
    const int bullet = std::max(m_bullet, 0);
    const Json::Value document = ReadShootDocument(GunFile(m_gun));
    const Json::Value& events = document.isObject() ? document["Events"] : Json::Value::nullSingleton();
    const Json::ArrayIndex first = Json::ArrayIndex(bullet) * kShootEventsPerBullet;
    const Json::Value& horizontal = Element(events, first + 2);
    const Json::Value& vertical = Element(events, first + 3);
    SetChecked(m_xCheck, horizontal.isObject() && IsDownText(horizontal["Action"]));
    SetChecked(m_yCheck, vertical.isObject() && IsDownText(vertical["Action"]));
    UpdateXDirectionText();
    UpdateYDirectionText();
    ui::SetText(m_xEdit, QString::number(MemberInt(horizontal, "Button")));
    ui::SetText(m_yEdit, QString::number(MemberInt(vertical, "Button")));
    ui::SetText(m_delayEdit, QString::number(MemberInt(vertical, "Delay")));
}

void CShootControlUI::SaveBullet() {
    if (m_shootFolder.empty()) return;
    const int bullet = std::max(m_bullet, 0);
    // A value the mouse cannot hold is held at its limit, and the box shows what was stored.
    auto take = [](QWidget* edit, int largest) {
        const int64_t typed = ParseDecimal(ui::GetText(edit).trimmed().toStdString());
        const int value = static_cast<int>(std::clamp<int64_t>(typed, 0, largest));
        ui::SetText(edit, QString::number(value));
        return value;
    };
    const int dx = take(m_xEdit, kMaxDistance);
    const int dy = take(m_yEdit, kMaxDistance);
    const int delay = take(m_delayEdit, kMaxDelay);
    const char* xAction = IsChecked(m_xCheck) ? "down" : "up";
    const char* yAction = IsChecked(m_yCheck) ? "down" : "up";

    Json::Value document = ReadShootDocument(GunFile(m_gun));
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    Json::Value& events = document["Events"];
    if (!events.isArray()) events = Json::Value(Json::arrayValue);
    const Json::ArrayIndex first = Json::ArrayIndex(bullet) * kShootEventsPerBullet;
    // Elements before the bullet that do not exist yet are written as empty events.
    while (events.size() < first) events.append(Json::Value(Json::objectValue));
    const FixedEvent layout[kShootEventsPerBullet] = {
        {"down", 1, 10, 1}, {"up", 1, 0, 1},  {xAction, dx, 5, 4},
        {yAction, dy, delay, 5}, {xAction, 0, 0, 4}, {yAction, 0, 0, 5},
    };
    for (Json::ArrayIndex i = 0; i < kShootEventsPerBullet; ++i) {
        Json::Value& element = events[first + i];
        if (!element.isObject()) element = Json::Value(Json::objectValue);
        element["Action"] = layout[i].action;
        element["Button"] = layout[i].button;
        element["Delay"] = layout[i].delay;
        element["Type"] = layout[i].type;
    }
    if (!WriteGunFile(m_gun, JsonFile::StyledText(document))) DebugLog("shoot file not written: " + GunFile(m_gun).string());
}

bool CShootControlUI::WriteGunFile(int gun, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(m_shootFolder, error);
    return WriteFileAtomically(GunFile(gun), bytes);
}

void CShootControlUI::ResetShootFile(int gun) {
    if (m_shootFolder.empty()) return;
    // A factory copy that cannot be read leaves an empty gun file: the bullets show 0.
    const std::optional<std::string> factory = ReadBounded(m_factoryFolder / ShootFileName(std::clamp(gun, 0, kGuns - 1)));
    WriteGunFile(gun, factory.value_or(std::string()));
    SelectBullet(m_bullet);
}

bool CShootControlUI::ImportShootFile(const fs::path& source) {
    if (m_shootFolder.empty() || source.empty()) return false;
    const std::optional<std::string> bytes = ReadBounded(source);
    if (!bytes) return false;
    bool parsed = false;
    const Json::Value document = JsonFile::ParseText(*bytes, &parsed);
    if (!parsed || !document.isObject()) return false;
    // The file is taken as it is: values it lacks show as 0.
    if (!WriteGunFile(m_gun, *bytes)) return false;
    SelectBullet(m_bullet);
    return true;
}

bool CShootControlUI::ExportShootFile(const fs::path& destination) {
    if (destination.empty()) return false;
    const std::optional<std::string> bytes = ReadBounded(GunFile(m_gun));
    return WriteFileAtomically(destination, bytes.value_or(std::string()));
}

void CShootControlUI::UpdateXDirectionText() {
    ui::SetResourceText(m_xCheck, true);
    ui::SetText(m_xCheck, IsChecked(m_xCheck) ? QStringLiteral("mouse_move_to_left_text")
                                              : QStringLiteral("mouse_move_to_right_text"));
}

void CShootControlUI::UpdateYDirectionText() {
    ui::SetResourceText(m_yCheck, true);
    ui::SetText(m_yCheck, IsChecked(m_yCheck) ? QStringLiteral("mouse_move_to_up_text")
                                              : QStringLiteral("mouse_move_to_down_text"));
}

int CShootControlUI::Upload() {
    if (m_page == nullptr) return kNoMouse;
    return m_page->UploadShootData();
}

void CShootControlUI::OnGunOption(const ControlEvent& event) {
    SelectGun(event.index);
    ShowBullet();
}

void CShootControlUI::OnBulletOption(const ControlEvent& event) {
    SelectBullet(event.index);
}

void CShootControlUI::OnDirectionCheck(const ControlEvent& event) {
    if (event.rowValue == 0) {
        UpdateXDirectionText();
    } else {
        UpdateYDirectionText();
    }
}

void CShootControlUI::OnPrevButton(const ControlEvent&) {
    PrevBullet();
}

void CShootControlUI::OnNextButton(const ControlEvent&) {
    NextBullet();
}

void CShootControlUI::OnResetButton(const ControlEvent&) {
    ResetShootFile(m_gun);
}

void CShootControlUI::OnBulletEdit(const ControlEvent&) {
    SaveBullet();
}

}  // namespace vx::panels
