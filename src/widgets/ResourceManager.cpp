#include "widgets/ResourceManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <QXmlStreamReader>

#include "widgets/ControlUI.h"

namespace vx::widgets {

CResourceManager& CResourceManager::GetInstance() {
    static CResourceManager manager;
    return manager;
}

void CResourceManager::SetResourcePath(const QString& path) {
    m_path = QDir::fromNativeSeparators(path);
    m_path.replace('\\', '/');
    if (!m_path.isEmpty() && !m_path.endsWith('/')) m_path += '/';
}

bool CResourceManager::LoadResource(const QString& indexFile) {
    QFile file(m_path + indexFile);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QHash<QString, QString> index;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name().compare(QLatin1String("Layout"), Qt::CaseInsensitive) == 0) {
            const auto attrs = xml.attributes();
            index.insert(attrs.value("name").toString().toLower(), attrs.value("file").toString());
        }
    }
    if (xml.hasError()) return false;
    m_index = index;
    return true;
}

QString CResourceManager::GetXmlPath(const QString& nameOrFile) const {
    QString file = m_index.value(nameOrFile.toLower(), nameOrFile);
    file.replace('\\', '/');
    const QString path = QFileInfo(file).isAbsolute() ? file : m_path + file;
    return QFileInfo(path).isFile() ? path : QString();
}

void CResourceManager::Release() {
    m_index.clear();
    m_texts.clear();
}

bool CResourceManager::LoadLanguage(const QString& fileName) {
    QString name = fileName;
    name.replace('\\', '/');
    QFile file(QFileInfo(name).isAbsolute() ? name : m_path + name);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QHash<QString, QString> texts;
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Language")) return false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Text")) {
            const QString key = xml.attributes().value("key").toString();
            texts.insert(key, xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) return false;
    m_texts = texts;
    return true;
}

QString CResourceManager::GetText(const QString& key) const {
    return m_texts.value(key, key);
}

void CResourceManager::ReloadText() {
    for (QWidget* w : QApplication::allWidgets()) ui::RefreshText(w);
    // A listener may add listeners (a panel building rows); those run from the next reload on.
    std::erase_if(m_listeners, [](const Listener& l) { return l.owner.isNull(); });
    const std::vector<Listener> listeners = m_listeners;
    for (const Listener& l : listeners) {
        if (!l.owner.isNull()) l.retext();
    }
}

void CResourceManager::AddLanguageListener(QObject* owner, std::function<void()> retext) {
    if (owner == nullptr || !retext) return;
    m_listeners.push_back({QPointer<QObject>(owner), std::move(retext)});
}

}  // namespace vx::widgets
