#pragma once

#include <QString>

namespace vx::app {

// One private font file below the program's folder, usable by name in this process only while
// loaded.
class FontResource {
public:
    // `baseDir` is the program's folder; empty = the running program's folder.
    explicit FontResource(const QString& baseDir = QString());
    ~FontResource();
    FontResource(const FontResource&) = delete;
    FontResource& operator=(const FontResource&) = delete;

    // `name` is relative to the program's folder ("Font\NotoSansThai-Regular.ttf"). False when
    // the file is missing or is not a font; nothing is loaded then.
    bool Load(const QString& name);
    void Release();
    bool IsLoaded() const { return m_id >= 0; }
    QString GetPath() const { return m_path; }
    QStringList Families() const;

private:
    QString m_base;
    QString m_path;
    int m_id = -1;
};

}  // namespace vx::app
