#pragma once

#include <QString>
#include <QStringList>

class QWidget;
namespace vx::widgets { class IDialogBuilderCallback; }
namespace vx::app {


// The names the layouts may use for the program's own controls.
//  - Class names, registered with the control factory at start-up (RegisterControlClasses).
//  - Element names, resolved by the main window's builder callback (CreateElement): a control
//    class, or a sub-layout file built with the same callback so that its own elements resolve.
// Both lists grow as pages and panels arrive; names compare without regard to case.
class CControlRegistry {
public:
    static void RegisterControlClasses();
    // The control for an element name, or nullptr: for a name it does not know, and for a
    // sub-layout whose file cannot be built.
    static QWidget* CreateElement(const QString& name, QWidget* parent, vx::widgets::IDialogBuilderCallback* callback);
    static QStringList ClassNames();
    static QStringList ElementNames();
};

}  // namespace vx::app
