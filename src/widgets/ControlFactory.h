#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
namespace vx::widgets {


using ControlCreator = std::function<QWidget*(QWidget* parent)>;

// Maps class names written in layouts to creators. Names are compared without regard to case.
// The standard controls (Qt's class names and the short names "Button", "Option", ...) are known
// from the start; the program adds its own with RegistControl.
class CControlFactory {
public:
    static CControlFactory& GetInstance();

    // A later registration of the same name replaces the earlier one.
    void RegistControl(const QString& className, ControlCreator creator);
    // The control for className with the given parent, or nullptr when the name is unknown.
    QWidget* CreateControl(const QString& className, QWidget* parent) const;
    bool IsRegistered(const QString& className) const;
    // Names registered with RegistControl, in registration order (the built-in names excluded).
    QStringList RegisteredNames() const { return m_order; }

private:
    CControlFactory();
    void RegisterStandard(const QStringList& names, ControlCreator creator);

    QHash<QString, ControlCreator> m_standard;
    QHash<QString, ControlCreator> m_registered;
    QStringList m_order;
};

}  // namespace vx::widgets
