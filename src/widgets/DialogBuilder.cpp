#include "widgets/DialogBuilder.h"

#include <QDir>
#include <QFile>
#include <QUiLoader>
#include <QWidget>

#include "widgets/ControlFactory.h"
#include "widgets/ResourceManager.h"
#include "widgets/UIDefs.h"

namespace vx::widgets {

namespace {
QString g_lastError;

// Qt's run-time loader with the program's control creation put in front of its own.
class SkinLoader : public QUiLoader {
public:
    explicit SkinLoader(IDialogBuilderCallback* callback) : m_callback(callback) {}

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        QWidget* w = m_callback ? m_callback->CreateControl(className, parent) : nullptr;
        if (!w) w = CControlFactory::GetInstance().CreateControl(className, parent);
        if (!w) w = QUiLoader::createWidget(className, parent, name);
        if (!w) return nullptr;
        if (parent && w->parentWidget() != parent) w->setParent(parent);
        // A sub-layout's root keeps its own name when the element gives none.
        if (!name.isEmpty()) w->setObjectName(name);
        return w;
    }

private:
    IDialogBuilderCallback* m_callback;
};
}  // namespace

QWidget* CDialogBuilder::Create(const QString& layout, IDialogBuilderCallback* callback, QWidget* parent) {
    const QString path = CResourceManager::GetInstance().GetXmlPath(layout);
    if (path.isEmpty()) {
        g_lastError = QStringLiteral("layout not found: ") + layout;
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        g_lastError = QStringLiteral("cannot open ") + path;
        return nullptr;
    }
    SkinLoader loader(callback);
    loader.setWorkingDirectory(QDir(CResourceManager::GetInstance().GetResourcePath()));
    QWidget* root = loader.load(&file, parent);
    if (!root) g_lastError = loader.errorString();
    return root;
}

QString CDialogBuilder::LastError() {
    return g_lastError;
}

}  // namespace vx::widgets
