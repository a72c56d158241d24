#include "app/LanguageSettings.h"

#include <QApplication>
#include <QFont>
#include <QSettings>

#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "widgets/ResourceManager.h"

using vx::widgets::CResourceManager;

namespace vx::app {

using vx::platform::DebugLog;
using vx::profiles::DefaultDataFolder;
using vx::profiles::JsonFile;

namespace {

constexpr int kThai = 15;
constexpr int kFirst = 0;
constexpr int kTraditionalChinese = 2;
constexpr int kFontPointSize = 10;

QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("VexorUmbrelControlCenter"),
                     QStringLiteral("VexorUmbrelControlCenter"));
}

Json::Value LanguageList() {
    const Json::Value root = JsonFile().ReadJson(DefaultDataFolder() / "Language.config");
    if (!root.isObject() || !root.isMember("Language") || !root["Language"].isArray()) return Json::Value();
    return root["Language"];
}

}  // namespace

int CLanguageSettings::ReadLanguageId() {
    QSettings settings = UserSettings();
    bool ok = false;
    const int id = settings.value(QStringLiteral("LANGUAGE")).toInt(&ok);
    return ok ? id : kDefaultLanguageId;
}

bool CLanguageSettings::WriteLanguageId(int id) {
    QSettings settings = UserSettings();
    settings.setValue(QStringLiteral("LANGUAGE"), id);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int CLanguageSettings::ReadLanguageIndex() {
    const int id = ReadLanguageId();
    const Json::Value list = LanguageList();
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& entry = list[i];
        if (entry.isObject() && entry["Language_ID"].isInt() && entry["Language_ID"].asInt() == id)
            return static_cast<int>(i);
    }
    return 0;
}

bool CLanguageSettings::LanguageEntry(int index, Entry* entry) {
    *entry = Entry();
    const Json::Value list = LanguageList();
    if (index < 0 || static_cast<Json::ArrayIndex>(index) >= list.size()) return false;
    const Json::Value& row = list[static_cast<Json::ArrayIndex>(index)];
    if (!row.isObject()) return false;
    entry->id = row["Language_ID"].isInt() ? row["Language_ID"].asInt() : 0;
    entry->name =
        row["Language_name"].isString() ? QString::fromStdString(row["Language_name"].asString()) : QString();
    entry->file =
        row["Language_file"].isString() ? QString::fromStdString(row["Language_file"].asString()) : QString();
    return true;
}

QString CLanguageSettings::FontFaceFor(int index, int current) {
    if (index == kThai) return QStringLiteral("Noto Sans Thai");
    if (index == kFirst) return QStringLiteral("汉仪菱心体简");
    if (index == kTraditionalChinese) return QStringLiteral("Noto Sans CJK TC Regular");
    // Leaving one of the languages with their own face; between two others the font stays.
    if (current == kThai || current == -1 || current == kTraditionalChinese || current == kFirst)
        return QStringLiteral("Verdana Unicode MS");
    return {};
}

bool CLanguageSettings::Apply(int index) {
    if (index == m_current) return false;
    const QString face = FontFaceFor(index, m_current);
    if (!face.isEmpty() && qApp) {
        QFont font(face, kFontPointSize);
        // A face the machine lacks falls back to the skin's sans-serif rather than a serif.
        font.setStyleHint(QFont::SansSerif);
        QApplication::setFont(font);
    }
    m_current = index;
    Entry entry;
    LanguageEntry(index, &entry);
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetLanguageName(entry.name);
    if (!entry.file.isEmpty()) resources.LoadLanguage(entry.file);
    resources.ReloadText();
    if (!entry.file.isEmpty() && WriteLanguageId(entry.id)) DebugLog("写成功！");
    return true;
}

}  // namespace vx::app
