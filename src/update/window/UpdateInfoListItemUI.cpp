#include "update/window/UpdateInfoListItemUI.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "update/UpdateCheck.h"
#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/ProgressUI.h"
#include "widgets/UIDefs.h"

namespace vx::update {

using vx::widgets::CDialogBuilder;
using vx::widgets::CListContainerElementUI;
using vx::widgets::CPaintManagerUI;
using vx::widgets::CProgressUI;
namespace notify = vx::widgets::notify;
namespace ui = vx::widgets::ui;
using vx::widgets::COptionUI;

namespace {

struct StatusLook {
    const char* key;
    bool progress;
    bool done;
    bool check;
    const char* text;      // text and selected-text colour
    const char* disabled;  // disabled-text colour
};

// Indexed by the row status.
constexpr StatusLook kLooks[] = {
    {"LessUpdateText", false, false, false, "#FFFFFF", "#666666"},
    {"NeedUpdateText", false, false, true, "#0099FF", "#0078C8"},
    {"NeedUpdateText", false, false, true, "#0099FF", "#0078C8"},
    {"DownloadWaitText", false, false, false, "#0099FF", "#0078C8"},
    {"DownloadIngText", true, false, false, "#0099FF", "#0078C8"},
    {"DownloadOkText", false, true, false, "#0099FF", "#0078C8"},
    {"UpdateIngText", true, false, false, "#0099FF", "#0078C8"},
    {"UpdateOkText", false, false, false, "#FFFFFF", "#666666"},
    {"UpdateFailText", false, false, true, "#0099FF", "#0078C8"},
};

}  // namespace

CUpdateInfoListItemUI::CUpdateInfoListItemUI(QWidget* parent) : CListContainerElementUI(parent) {
    setObjectName(QStringLiteral("UpdateInfoListItemUI"));
    setAttribute(Qt::WA_Hover);
    setFixedHeight(kRowHeight);
}

CUpdateInfoListItemUI* CUpdateInfoListItemUI::Create(QWidget* parent) {
    auto* row = new CUpdateInfoListItemUI(parent);
    QWidget* content = CDialogBuilder::Create(kLayout, nullptr, row);
    if (content == nullptr) {
        delete row;
        return nullptr;
    }
    auto* box = new QVBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);
    return row;
}

QWidget* CUpdateInfoListItemUI::Child(QPointer<QWidget>& slot, const char* name) const {
    if (!slot) slot = CPaintManagerUI::FindSubControlByName(this, QLatin1String(name));
    return slot.data();
}

COptionUI* CUpdateInfoListItemUI::Check() const {
    return qobject_cast<COptionUI*>(Child(m_check, "check_name_select"));
}

void CUpdateInfoListItemUI::SetProductName(const QString& name) {
    ui::SetText(Child(m_check, "check_name_select"), name);
}

QString CUpdateInfoListItemUI::GetProductName() const {
    return ui::GetText(Child(m_check, "check_name_select"));
}

void CUpdateInfoListItemUI::SetLocalVersion(const QString& label) {
    ui::SetText(Child(m_oldRev, "OldRev"), label);
}

QString CUpdateInfoListItemUI::GetLocalVersion() const {
    return ui::GetText(Child(m_oldRev, "OldRev"));
}

void CUpdateInfoListItemUI::SetServerVersion(const QString& label) {
    QWidget* server = Child(m_updateRev, "updateRev");
    ui::SetText(server, label);
    ui::SetVisible(server, !label.isEmpty());
}

QString CUpdateInfoListItemUI::GetServerVersion() const {
    return ui::GetText(Child(m_updateRev, "updateRev"));
}

void CUpdateInfoListItemUI::SetStatus(int status) {
    if (status == m_status && !m_noInformation) return;
    m_status = status;
    m_noInformation = false;
    if (status < 0 || status >= static_cast<int>(std::size(kLooks))) return;
    const StatusLook& look = kLooks[status];
    QWidget* text = Child(m_statusText, "update_status_text");
    ui::SetResourceText(text, true);
    ui::SetText(text, QString::fromLatin1(look.key));
    ShowProgress(look.progress);
    ShowDone(look.done);
    SetCheckEnabled(look.check);
    SetCheckColours(QString::fromLatin1(look.text), QString::fromLatin1(look.disabled));
}

void CUpdateInfoListItemUI::ShowNoInformation() {
    m_noInformation = true;
    QWidget* text = Child(m_statusText, "update_status_text");
    ui::SetResourceText(text, true);
    ui::SetText(text, QStringLiteral("UpdateNoInfoText"));
}

void CUpdateInfoListItemUI::SetCheckColours(const QString& text, const QString& disabled) {
    if (QWidget* check = Child(m_check, "check_name_select")) {
        check->setStyleSheet(QStringLiteral("QPushButton { color: %1; } QPushButton:checked { color: %1; } "
                                            "QPushButton:disabled { color: %2; }")
                                 .arg(text, disabled));
    }
}

void CUpdateInfoListItemUI::SetProgress(int percent) {
    m_percent = percent;
    if (auto* bar = qobject_cast<CProgressUI*>(Child(m_progress, "update_status_ing"))) bar->SetValue(percent);
    ui::SetText(Child(m_progressValue, "update_progress_value"), QString::asprintf("%d%s", percent, "%"));
}

void CUpdateInfoListItemUI::ShowProgress(bool show) {
    ui::SetVisible(Child(m_progress, "update_status_ing"), show);
    ui::SetVisible(Child(m_progressValue, "update_progress_value"), show);
    SetProgress(0);
}

void CUpdateInfoListItemUI::ShowDone(bool show) {
    ui::SetVisible(Child(m_done, "update_status_ok"), show);
}

bool CUpdateInfoListItemUI::IsChecked() const {
    const COptionUI* check = Check();
    return check && check->IsSelected();
}

void CUpdateInfoListItemUI::SetChecked(bool checked) {
    COptionUI* check = Check();
    if (check == nullptr || check->IsSelected() == checked) return;
    check->Selected(checked);
    CPaintManagerUI::Notify(check, notify::kSelectChanged);
    update();
}

void CUpdateInfoListItemUI::SetCheckEnabled(bool enabled) {
    ui::SetEnabled(Child(m_check, "check_name_select"), enabled);
}

bool CUpdateInfoListItemUI::IsCheckEnabled() const {
    return ui::IsEnabled(Child(m_check, "check_name_select"));
}

void CUpdateInfoListItemUI::enterEvent(QEnterEvent* event) {
    if (isEnabled()) {
        m_hot = true;
        update();
    }
    CListContainerElementUI::enterEvent(event);
}

void CUpdateInfoListItemUI::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    CListContainerElementUI::leaveEvent(event);
}

void CUpdateInfoListItemUI::mouseDoubleClickEvent(QMouseEvent* event) {
    CPaintManagerUI::Notify(this, notify::kItemActivate);
    CListContainerElementUI::mouseDoubleClickEvent(event);
}

void CUpdateInfoListItemUI::contextMenuEvent(QContextMenuEvent* event) {
    if (!property("menu").toBool()) {
        CListContainerElementUI::contextMenuEvent(event);
        return;
    }
    CPaintManagerUI::Notify(this, notify::kMenu, static_cast<quintptr>(event->pos().x()), event->pos().y());
}

void CUpdateInfoListItemUI::paintEvent(QPaintEvent* event) {
    CListContainerElementUI::paintEvent(event);
    if (!m_hot || IsChecked()) return;
    // The hover frame takes the list's disabled-background colour, as the skin sets it.
    QRgb frame = 0xFF2A2F39;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        const QRgb listColour = ui::ParseColor(w->property("disabledbkcolor").toString());
        if (listColour != 0) {
            frame = listColour;
            break;
        }
    }
    QPainter p(this);
    p.setPen(QColor::fromRgba(frame));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vx::update
