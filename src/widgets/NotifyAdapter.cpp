#include "widgets/NotifyAdapter.h"

#include <QFocusEvent>

#include "widgets/ButtonUI.h"
#include "widgets/ColorPaletteUI.h"
#include "widgets/ComboUI.h"
#include "widgets/ControlUI.h"
#include "widgets/EditUI.h"
#include "widgets/ListUI.h"
#include "widgets/OptionUI.h"
#include "widgets/PaintManagerUI.h"
#include "widgets/SliderUI.h"

namespace vx::widgets {

namespace {
const char* const kAttached = "vx_notify_attached";

// Focus moved by the program (setFocus/clearFocus) or by a popup opening is not the user leaving
// the control.
bool IsUserFocusChange(Qt::FocusReason reason) {
    return reason != Qt::OtherFocusReason && reason != Qt::PopupFocusReason;
}
}  // namespace

CNotifyAdapter::CNotifyAdapter(CPaintManagerUI* manager) : QObject(manager), m_manager(manager) {}

void CNotifyAdapter::Attach(QWidget* control) {
    if (!control || control->property(kAttached).toBool()) return;
    control->setProperty(kAttached, true);
    ui::RefreshText(control);

    if (qobject_cast<QAbstractButton*>(control)) {
        AttachButton(control);
    } else if (auto* combo = qobject_cast<CComboUI*>(control)) {
        connect(combo, &QComboBox::activated, m_manager, [this, combo](int index) {
            m_manager->SendNotify(combo, notify::kItemSelect, static_cast<quintptr>(index),
                                  combo->PreviousIndex());
        });
    } else if (qobject_cast<CSliderUI*>(control)) {
        AttachSlider(control);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textEdited, m_manager,
                [this, edit] { m_manager->SendNotify(edit, notify::kTextChanged); });
        connect(edit, &QLineEdit::returnPressed, m_manager,
                [this, edit] { m_manager->SendNotify(edit, notify::kReturn); });
    } else if (auto* list = qobject_cast<CListUI*>(control)) {
        // currentRowChanged is blocked while the program selects a row, so what arrives here
        // comes from the user.
        connect(list, &QListWidget::currentRowChanged, m_manager, [this, list](int row) {
            m_manager->SendNotify(list, notify::kItemSelect, static_cast<quintptr>(row), list->PreviousRow());
        });
        connect(list, &QListWidget::itemClicked, m_manager, [this, list](QListWidgetItem* item) {
            m_manager->SendNotify(list, notify::kItemClick, static_cast<quintptr>(list->row(item)));
        });
        connect(list, &QListWidget::itemDoubleClicked, m_manager, [this, list](QListWidgetItem* item) {
            m_manager->SendNotify(list, notify::kItemActivate, static_cast<quintptr>(list->row(item)));
        });
    } else if (auto* palette = qobject_cast<CColorPaletteUI*>(control)) {
        connect(palette, &CColorPaletteUI::colorPicked, m_manager,
                [this, palette](QRgb argb) { m_manager->SendNotify(palette, notify::kColorChanged, argb); });
    }
    // Focus matters for the input controls; buttons take the focus on every click and would only
    // add noise.
    const bool input = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                       qobject_cast<QAbstractSlider*>(control) || qobject_cast<QAbstractItemView*>(control);
    if (input) control->installEventFilter(this);
}

void CNotifyAdapter::AttachButton(QWidget* control) {
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (auto* option = qobject_cast<COptionUI*>(control)) {
        m_manager->AddOptionGroup(option->GetGroup(), option);
        connect(option, &QAbstractButton::clicked, m_manager, [this, option] {
            m_manager->SendNotify(option, notify::kClick);
            if (option->LastClickChanged()) m_manager->SendNotify(option, notify::kSelectChanged);
        });
        return;
    }
    connect(button, &QAbstractButton::clicked, m_manager,
            [this, button] { m_manager->SendNotify(button, notify::kClick); });
}

void CNotifyAdapter::AttachSlider(QWidget* control) {
    auto* slider = qobject_cast<CSliderUI*>(control);
    connect(slider, &QAbstractSlider::sliderMoved, m_manager, [this, slider](int value) {
        m_manager->SendNotify(slider, notify::kMoveValueChanged, static_cast<quintptr>(value));
    });
    connect(slider, &QAbstractSlider::sliderReleased, m_manager, [this, slider] {
        m_manager->SendNotify(slider, notify::kValueChanged, static_cast<quintptr>(slider->value()));
    });
    // A step by the user (groove click, wheel, keys) sets the value right after actionTriggered;
    // a drag reports on release instead.
    connect(slider, &QAbstractSlider::actionTriggered, m_manager, [slider](int action) {
        slider->m_userStepPending =
            action != QAbstractSlider::SliderMove && slider->sliderPosition() != slider->value();
    });
    connect(slider, &QAbstractSlider::valueChanged, m_manager, [this, slider](int value) {
        if (!slider->m_userStepPending || slider->isSliderDown()) return;
        slider->m_userStepPending = false;
        m_manager->SendNotify(slider, notify::kValueChanged, static_cast<quintptr>(value));
    });
}

bool CNotifyAdapter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn) {
        auto* control = qobject_cast<QWidget*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (control && IsUserFocusChange(reason) && !ui::IsSilent()) {
            m_manager->SendNotify(control,
                                  event->type() == QEvent::FocusOut ? notify::kKillFocus : notify::kSetFocus);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vx::widgets
