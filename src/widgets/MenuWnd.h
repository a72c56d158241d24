#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>

class QMenu;
class QWidget;
namespace vx::widgets {


// Popup menus built from a layout: every button of the layout, in layout order, becomes one item
// with the button's name and text (a text in language-key mode follows the language).
class CMenuWnd {
public:
    // Alignment bits: which side of the menu lies on the point.
    static constexpr int kAlignLeft = 2;
    static constexpr int kAlignTop = 4;
    static constexpr int kAlignRight = 8;
    static constexpr int kAlignBottom = 16;

    using Chosen = std::function<void(const QString& itemName)>;

    // Builds the menu and pops it up at `point` (screen coordinates) with `alignment`; `chosen`
    // gets the item name when the user picks one. The menu deletes itself when it closes.
    // `chosen` runs inside the menu's own click handling, and the menu writes to itself after it
    // returns: it must not delete the menu nor run an event loop (queue such work instead).
    // Returns nullptr when the layout cannot be built.
    static QMenu* Show(const QString& layout, QPoint point, int alignment, Chosen chosen,
                       QWidget* owner = nullptr);
    // Builds the menu without showing it.
    static QMenu* Build(const QString& layout, QWidget* owner = nullptr);
    // The menu's top-left corner for a menu of `size` at `point` with `alignment`: the left
    // edge on the point with kAlignLeft, the right edge with kAlignRight, likewise top and
    // bottom; without either bit of a direction the menu is centred on the point.
    static QPoint PlaceMenu(QSize size, QPoint point, int alignment);
};

}  // namespace vx::widgets
