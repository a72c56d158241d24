#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QWidget;
namespace vx::widgets {


// The skin folder, its resource index "res.xml" (resource name -> layout file) and the current
// language table (key -> text).
//
// res.xml:      <Res><Layout name="XML_MAIN" file="XML/main.xml"/> ... </Res>
// language file: <Language name="English"><Text key="closebtn_tip">Close</Text> ... </Language>
class CResourceManager {
public:
    static CResourceManager& GetInstance();

    // The folder that layouts, images and language files are read from; a trailing '/' is added.
    void SetResourcePath(const QString& path);
    QString GetResourcePath() const { return m_path; }
    // Loads the resource index below the resource path. False when it is missing or malformed;
    // names then resolve as plain file names only.
    bool LoadResource(const QString& indexFile = QStringLiteral("res.xml"));
    // The absolute file of a resource name ("XML_MAIN") or of a relative file name
    // ("XML\CustomControlXML\LightControl.xml"); empty when no such file exists.
    QString GetXmlPath(const QString& nameOrFile) const;
    void Release();

    // Replaces the language table by the file's texts. False (table left unchanged) when the file
    // is missing or malformed.
    bool LoadLanguage(const QString& file);
    void SetLanguageName(const QString& name) { m_languageName = name; }
    QString GetLanguageName() const { return m_languageName; }
    bool HasText(const QString& key) const { return m_texts.contains(key); }
    // The text of a key; the key itself when the table does not have it, so that a missing
    // translation shows up instead of leaving a control blank.
    QString GetText(const QString& key) const;
    // Retexts every control in language-key mode, in every window, then runs the language
    // listeners.
    void ReloadText();
    // Texts built in code from a language text and a value ("Ctrl + A", "Delay: 250ms") are no
    // language keys, so a reload cannot retext them: their owner rebuilds them in `retext`, which
    // runs on the UI thread after every reload for as long as `owner` lives.
    void AddLanguageListener(QObject* owner, std::function<void()> retext);

private:
    CResourceManager() = default;
    QString m_path;
    QHash<QString, QString> m_index;
    QHash<QString, QString> m_texts;
    QString m_languageName;
    struct Listener {
        QPointer<QObject> owner;
        std::function<void()> retext;
    };
    std::vector<Listener> m_listeners;
};

}  // namespace vx::widgets
