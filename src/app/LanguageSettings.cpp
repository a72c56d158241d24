#include "app/LanguageSettings.h"

#include <QSettings>

#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "profiles/JsonFile.h"
#include "widgets/FontTable.h"
#include "widgets/ResourceManager.h"

using vx::widgets::CFontTable;
using vx::widgets::CResourceManager;

namespace vx::app {

using vx::platform::DebugLog;
using vx::profiles::DefaultDataFolder;
using vx::profiles::JsonFile;

namespace {

// The languages with a face of their own, by their "Language_ID" (Windows language identifiers).
constexpr int kSimplifiedChinese = 2052;
constexpr int kTraditionalChinese = 1028;
constexpr int kThai = 1054;
constexpr int kNoLanguage = -1;

// The interface fonts, all in the face of the language. Sizes are character heights in pixels.
// clang-format off
const CFontTable::Entry kFontTable[] = {
    //  id                       size  bold   underline
    {CFontTable::kDefaultId,     14,   false, false},
    {0,                          15,   false, false},
    {1,                          14,   false, true},
    {2,                          18,   false, false},
    {3,                          30,   false, false},
    {4,                          16,   false, false},
    {5,                          20,   false, false},
    {6,                          22,   false, false},
    {7,                          14,   false, false},
    {8,                          12,   false, false},
    {9,                          11,   false, false},
    {10,                         10,   false, false},
    {11,                         28,   false, false},
    {50,                         18,   true,  false},
};
// clang-format on

// The faces the language asks for come from the program's "Font" folder, which a Linux
// installation may lack; these stand in (the desktop's CJK face covers Latin, Chinese and kana,
// DejaVu the rest), the Traditional one first for Traditional Chinese.
QStringList FallbackFaces(const QString& face) {
    if (face.contains(QLatin1String("CJK TC")))
        return {"Noto Sans CJK TC", "Noto Sans CJK SC", "DejaVu Sans"};
    return {"Noto Sans CJK SC", "DejaVu Sans"};
}

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

QString CLanguageSettings::FontFaceFor(int languageId, int currentId) {
    if (languageId == kThai) return QStringLiteral("Noto Sans Thai");
    if (languageId == kSimplifiedChinese) return QStringLiteral("汉仪菱心体简");
    if (languageId == kTraditionalChinese) return QStringLiteral("Noto Sans CJK TC Regular");
    // Leaving one of the languages with their own face; between two others the font stays.
    if (currentId == kThai || currentId == kNoLanguage || currentId == kTraditionalChinese ||
        currentId == kSimplifiedChinese)
        return QStringLiteral("Verdana Unicode MS");
    return {};
}

void CLanguageSettings::RegisterFonts(const QString& face) {
    CFontTable::RemoveAll();
    // The default font last: adding it hands the finished table's face to every control.
    for (const CFontTable::Entry& entry : kFontTable) {
        if (entry.id != CFontTable::kDefaultId) CFontTable::Add(entry, face, FallbackFaces(face));
    }
    CFontTable::Add(kFontTable[0], face, FallbackFaces(face));
}

bool CLanguageSettings::Apply(int index) {
    if (index == m_current) return false;
    Entry entry;
    const bool known = LanguageEntry(index, &entry);
    const int languageId = known ? entry.id : 0;
    const QString face = FontFaceFor(languageId, m_currentId);
    if (!face.isEmpty()) RegisterFonts(face);
    m_current = index;
    m_currentId = languageId;
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetLanguageName(entry.name);
    if (!entry.file.isEmpty()) resources.LoadLanguage(entry.file);
    resources.ReloadText();
    if (!entry.file.isEmpty() && WriteLanguageId(entry.id)) DebugLog("写成功！");
    return true;
}

}  // namespace vx::app
