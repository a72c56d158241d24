#include "app/ControlRegistry.h"

#include <QWidget>

#include "app/ControlRegistryTables.h"
#include "widgets/ControlFactory.h"
#include "widgets/DialogBuilder.h"

using vx::widgets::CControlFactory;
using vx::widgets::CDialogBuilder;
using vx::widgets::IDialogBuilderCallback;

namespace vx::app {

void CControlRegistry::RegisterControlClasses() {
    for (const RegistryClass& row : ControlClassTable()) {
        CControlFactory::GetInstance().RegistControl(QString::fromLatin1(row.name), row.create);
    }
}

QWidget* CControlRegistry::CreateElement(const QString& name, QWidget* parent,
                                         IDialogBuilderCallback* callback) {
    for (const RegistryClass& row : ElementClassTable()) {
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0) return row.create(parent);
    }
    for (const RegistryLayout& row : ElementLayoutTable()) {
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0) {
            return CDialogBuilder::Create(QString::fromLatin1(row.file), callback, parent);
        }
    }
    return nullptr;
}

QStringList CControlRegistry::ClassNames() {
    QStringList names;
    for (const RegistryClass& row : ControlClassTable()) names << QString::fromLatin1(row.name);
    return names;
}

QStringList CControlRegistry::ElementNames() {
    QStringList names;
    for (const RegistryClass& row : ElementClassTable()) names << QString::fromLatin1(row.name);
    for (const RegistryLayout& row : ElementLayoutTable()) names << QString::fromLatin1(row.name);
    return names;
}

}  // namespace vx::app
