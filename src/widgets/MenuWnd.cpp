#include "widgets/MenuWnd.h"

#include <QAbstractButton>
#include <QMenu>

#include "widgets/ControlUI.h"
#include "widgets/DialogBuilder.h"

namespace vx::widgets {

QMenu* CMenuWnd::Build(const QString& layout, QWidget* owner) {
    QWidget* built = CDialogBuilder::Create(layout);
    if (!built) return nullptr;
    auto* menu = new QMenu(owner);
    menu->setObjectName(built->objectName());
    for (QAbstractButton* item : built->findChildren<QAbstractButton*>()) {
        ui::RefreshText(item);
        QAction* action = menu->addAction(item->icon(), item->text());
        action->setObjectName(item->objectName());
        action->setEnabled(item->isEnabled());
        action->setVisible(!item->isHidden());
        if (item->property("separator").toBool()) menu->addSeparator();
    }
    delete built;
    return menu;
}

QMenu* CMenuWnd::Show(const QString& layout, QPoint point, int alignment, Chosen chosen, QWidget* owner) {
    QMenu* menu = Build(layout, owner);
    if (!menu) return nullptr;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(menu, &QMenu::triggered, menu, [chosen](QAction* action) {
        if (chosen) chosen(action->objectName());
    });
    menu->popup(PlaceMenu(menu->sizeHint(), point, alignment));
    return menu;
}

QPoint CMenuWnd::PlaceMenu(QSize size, QPoint point, int alignment) {
    int x = point.x() - size.width() / 2;
    int y = point.y() - size.height() / 2;
    if (alignment & kAlignLeft) x = point.x();
    if (alignment & kAlignRight) x = point.x() - size.width();
    if (alignment & kAlignTop) y = point.y();
    if (alignment & kAlignBottom) y = point.y() - size.height();
    return {x, y};
}

}  // namespace vx::widgets
