#include "app/FontResource.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>

namespace vx::app {

FontResource::FontResource(const QString& baseDir) {
    m_base = baseDir.isEmpty() ? QCoreApplication::applicationDirPath() : baseDir;
    if (!m_base.endsWith('/')) m_base += '/';
}

FontResource::~FontResource() {
    Release();
}

bool FontResource::Load(const QString& name) {
    Release();
    QString relative = name;
    relative.replace('\\', '/');
    m_path = m_base + relative;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    m_id = QFontDatabase::addApplicationFontFromData(file.readAll());
    return m_id >= 0;
}

void FontResource::Release() {
    if (m_id >= 0) QFontDatabase::removeApplicationFont(m_id);
    m_id = -1;
}

QStringList FontResource::Families() const {
    return m_id >= 0 ? QFontDatabase::applicationFontFamilies(m_id) : QStringList();
}

}  // namespace vx::app
