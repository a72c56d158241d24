// A user switches the whole interface to Chinese in the settings window and back to English, with
// a keyboard, a mouse, a mousepad and a headset plugged in, and looks at every page and every
// panel tab. Every text must follow at once: none left in the old language (also texts the
// program builds from a language text and a value, and the items of every list), none cut off,
// all in the language's own face, and back in English everything reads as it did before.

#include "BuildPaths.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>

#include "app/MainWnd.h"
#include "support/JourneyFixture.h"
#include "update/window/SetWnd.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"

using vx::update::CSetWnd;
using vx::widgets::CDeviceKeyButtonUI;
namespace ui = vx::widgets::ui;

namespace journeys {
namespace {

const Device kDevices[] = {Device::KeyboardWired, Device::MouseWired, Device::Mousepad, Device::Headset};
// The feature tabs of the pages; each page shows some of them.
const char* const kTabs[] = {"key_Op_tab",    "deng_Op_tab",  "macro_Op_tab",     "system_Op_tab",
                             "cursor_Op_tab", "magic_Op_tab", "6533_voice_Op_tab"};

const QString kEnglishFace = QStringLiteral("Verdana Unicode MS");
const QString kChineseFace = QStringLiteral("汉仪菱心体简");

std::map<QString, QString> LanguageTable(const char* file) {
    std::map<QString, QString> texts;
    QFile in(QStringLiteral(VX_SOURCE_DIR "/skin/") + QLatin1String(file));
    if (!in.open(QIODevice::ReadOnly)) return texts;
    QXmlStreamReader xml(&in);
    if (!xml.readNextStartElement()) return texts;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Text")) {
            const QString key = xml.attributes().value("key").toString();
            texts[key] = xml.readElementText();
        } else {
            xml.skipCurrentElement();
        }
    }
    return texts;
}

bool HasLatinLetters(const QString& text) {
    int letters = 0;
    for (QChar c : text) letters += (c.isLetter() && c.unicode() < 0x250);
    return letters >= 3;
}

// One place a text shows: a control's own text, or one item of a list.
struct ShownText {
    QString where;
    QString text;
};

class LanguageJourney : public JourneyTest {
protected:
    void SetUp() override {
        JourneyTest::SetUp();
        const auto english = LanguageTable("lan_en.xml");
        const auto chinese = LanguageTable("lan_cn.xml");
        QSet<QString> chineseTexts;
        for (const auto& [key, text] : chinese) chineseTexts << text;
        m_chineseTexts = chineseTexts;
        // The English texts that only English shows: a text both tables share (a model name,
        // "DPI") may stay.
        for (const auto& [key, text] : english) {
            const auto other = chinese.find(key);
            if (other == chinese.end() || other->second == text || chineseTexts.contains(text)) continue;
            if (text.size() >= 4 && HasLatinLetters(text)) m_englishOnly << text.trimmed();
        }
    }

    // Everything the main window shows now: visible controls' texts, tooltips of visible
    // controls, and every item of every list in the window (hidden lists included: a list is
    // filled once and opened later).
    std::vector<ShownText> Texts() {
        std::vector<ShownText> texts;
        for (QWidget* w : Window().findChildren<QWidget*>()) {
            const QString where = Path(w);
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < combo->count(); ++i)
                    texts.push_back({where + "[" + QString::number(i) + "]", combo->itemText(i)});
            }
            if (!w->isVisibleTo(&Window()) || !w->isVisible()) continue;
            // The device picture's keys carry the legends printed on the keyboard's caps.
            if (qobject_cast<CDeviceKeyButtonUI*>(w)) continue;
            if (!w->toolTip().isEmpty()) texts.push_back({where + "(tip)", w->toolTip()});
            if (!w->accessibleName().isEmpty()) texts.push_back({where + "(name)", w->accessibleName()});
            if (auto* edit = qobject_cast<QLineEdit*>(w); edit && !edit->placeholderText().isEmpty())
                texts.push_back({where + "(hint)", edit->placeholderText()});
            const QString text = ui::GetText(w);
            if (!text.isEmpty() && !qobject_cast<QComboBox*>(w)) texts.push_back({where, text});
        }
        return texts;
    }

    // The labels a user sees now whose text does not fit, and the faces they are drawn in.
    void CheckLabels(const QString& face, const QString& when) {
        int labels = 0;
        for (QLabel* label : Window().findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) continue;
            if (label->text().contains('\n') || Qt::mightBeRichText(label->text())) continue;
            ++labels;
            const QString where = Path(label);
            EXPECT_EQ(label->font().families().value(0).toStdString(), face.toStdString())
                << when.toStdString() << ": " << where.toStdString();
            // The face a missing one fell back to is one the table named, not any face at all.
            EXPECT_TRUE(label->font().families().contains(QFontInfo(label->font()).family()))
                << when.toStdString() << ": " << where.toStdString() << " drawn in "
                << QFontInfo(label->font()).family().toStdString();
            const int m = label->margin();
            const int room = label->contentsRect().adjusted(m, m, -m, -m).width() - qMax(0, label->indent());
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            EXPECT_LE(needed, room) << when.toStdString() << ": \"" << label->text().toStdString() << "\" in "
                                    << where.toStdString() << " needs " << needed << " px of " << room;
        }
        EXPECT_GT(labels, 3) << when.toStdString();
    }

    // Walks every page and every tab a user can open; `look` runs on each view.
    void EveryView(const std::function<void(const QString& view)>& look) {
        look(QStringLiteral("start"));
        for (Device device : kDevices) {
            ShowDevicePage(device);
            const QString page = QString::number(static_cast<int>(device));
            look(page);
            for (const char* tab : kTabs) {
                if (!Shown(QLatin1String(tab))) continue;
                EXPECT_TRUE(Click(QLatin1String(tab)));
                Run(20);
                look(page + "/" + tab);
            }
        }
    }

    void ChooseLanguage(const QString& name) {
        ASSERT_TRUE(Click("setbtn"));
        QElapsedTimer switching;
        switching.start();
        ASSERT_TRUE(ChooseItem("Language_combox_info", name));
        // The whole interface is retexted and refonted on the UI thread while the user waits.
        const qint64 ms = switching.elapsed();
        std::printf("switch to %s: %lld ms\n", qPrintable(name), static_cast<long long>(ms));
        EXPECT_LT(ms, 3000 * kSlowdown);
        ASSERT_TRUE(Click("laterbtn"));
        ASSERT_TRUE(WaitUntil(
            [] {
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (qobject_cast<CSetWnd*>(top) && top->isVisible()) return false;
                return true;
            },
            1000));
    }

    QString Path(QWidget* w) {
        QString path;
        for (QWidget* p = w; p && p != &Window(); p = p->parentWidget()) {
            if (!p->objectName().isEmpty()) path = p->objectName() + (path.isEmpty() ? "" : "/") + path;
        }
        // Widgets without names (list rows) are told apart by their address.
        return path + "@" + QString::number(reinterpret_cast<quintptr>(w), 16);
    }

    // The English-only text that `text` is, or begins or ends with as a whole word (a text
    // built from a language text and a value: "Delay: 250ms", "Ctrl + Back"); empty if none.
    QString EnglishPart(const QString& text) const {
        const QString t = text.trimmed();
        if (m_chineseTexts.contains(t)) return {};
        for (const QString& old : m_englishOnly) {
            if (t == old) return old;
            if (t.startsWith(old) && !t.at(old.size()).isLetter()) return old;
            if (t.endsWith(old) && !t.at(t.size() - old.size() - 1).isLetter()) return old;
        }
        return {};
    }

    QStringList m_englishOnly;
    QSet<QString> m_chineseTexts;
};

TEST_F(LanguageJourney, ChineseAndBackReachEveryTextOfEveryPageAndPanelInTheLanguagesFace) {
    for (Device device : kDevices) PlugAndWait(device);
    ASSERT_GT(m_englishOnly.size(), 50);

    std::map<QString, std::vector<ShownText>> english;
    EveryView([&](const QString& view) {
        english[view] = Texts();
        CheckLabels(kEnglishFace, "English " + view);
    });
    Screenshot("language_english.png");

    ChooseLanguage(QStringLiteral("简体中文"));
    EXPECT_EQ(Window().LanguageIndex(), 1);
    int checked = 0;
    EveryView([&](const QString& view) {
        const std::vector<ShownText> texts = Texts();
        for (const ShownText& s : texts) {
            ++checked;
            const QString old = EnglishPart(s.text);
            EXPECT_TRUE(old.isEmpty())
                << view.toStdString() << ": " << s.where.toStdString() << " still shows \""
                << s.text.toStdString() << "\" (\"" << old.toStdString() << "\")";
        }
        CheckLabels(kChineseFace, "Chinese " + view);
        if (view == "start") Screenshot("language_chinese.png");
    });
    EXPECT_GT(checked, 500);

    ChooseLanguage(QStringLiteral("English"));
    EveryView([&](const QString& view) {
        std::map<QString, QString> before;
        for (const ShownText& s : english[view]) before[s.where] = s.text;
        for (const ShownText& s : Texts()) {
            const auto it = before.find(s.where);
            if (it == before.end()) continue;
            EXPECT_EQ(s.text, it->second) << view.toStdString() << ": " << s.where.toStdString();
        }
        CheckLabels(kEnglishFace, "English again " + view);
    });
}

// The events of a macro are shown as the user makes them; their names and actions follow the
// language too, and come back unchanged.
TEST_F(LanguageJourney, TheEventsOfAMacroFollowTheLanguage) {
    PlugAndWait(Device::KeyboardWired);
    ShowDevicePage(Device::KeyboardWired);
    ASSERT_TRUE(Click("macro_Op_tab"));
    ASSERT_TRUE(Click("macro_btn_name_add"));
    // A move to the left, then a left click from the event's menu.
    ASSERT_TRUE(TypeInto("mouse_x_left_edit", "25"));
    ASSERT_TRUE(Click("macro_inset_moveleftkey_btn"));
    QWidget* row = Find("macro_action");
    ASSERT_NE(row, nullptr);
    const QPoint at = row->rect().center();
    QTest::mouseClick(row, Qt::RightButton, Qt::NoModifier, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, row->mapToGlobal(at));
    QApplication::sendEvent(row, &menu);
    ASSERT_TRUE(WaitUntil([this] { return MenuOffers("left_click"); }, 1000));
    ASSERT_TRUE(ChooseMenuItem("left_click"));
    auto rowTexts = [this] {
        QStringList texts;
        for (const char* name : {"macro_action_name", "macro_action_kind"}) {
            for (QWidget* w : Window().findChildren<QWidget*>(QLatin1String(name)))
                if (w->isVisible()) texts << ui::GetText(w);
        }
        return texts;
    };
    ASSERT_TRUE(WaitUntil([&] { return rowTexts().size() >= 6; }, 1000))
        << rowTexts().join("|").toStdString();
    const QStringList englishRows = rowTexts();
    const QString hint = qobject_cast<QLineEdit*>(Find("macro_edit_macroname"))
                             ? qobject_cast<QLineEdit*>(Find("macro_edit_macroname"))->placeholderText()
                             : QString();

    ChooseLanguage(QStringLiteral("简体中文"));
    ASSERT_TRUE(Click("macro_Op_tab"));
    const QStringList chineseRows = rowTexts();
    ASSERT_EQ(chineseRows.size(), englishRows.size());
    for (int i = 0; i < chineseRows.size(); ++i) {
        EXPECT_TRUE(EnglishPart(chineseRows[i]).isEmpty()) << chineseRows[i].toStdString();
        // Only a number (the distance moved) reads the same in both languages.
        if (chineseRows[i].toInt() == 0) {
            EXPECT_NE(chineseRows[i].toStdString(), englishRows[i].toStdString());
        }
    }
    Screenshot("language_macro_panel_chinese.png");

    ChooseLanguage(QStringLiteral("English"));
    ASSERT_TRUE(Click("macro_Op_tab"));
    EXPECT_EQ(rowTexts(), englishRows);
    if (auto* edit = qobject_cast<QLineEdit*>(Find("macro_edit_macroname"))) {
        EXPECT_EQ(edit->placeholderText(), hint);
    }
}

}  // namespace
}  // namespace journeys
