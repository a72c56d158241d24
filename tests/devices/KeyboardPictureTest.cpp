// The keyboard picture of the keyboard page, as the program loads it from the skin, checked for
// what makes it look like a full-size keyboard: keys that do not overlap, rows that read as on a
// real keyboard, the stagger of the letter rows, a square main block, and the function row,
// navigation cluster and number pad standing apart. Keys are found by their factory function,
// the same table that labels them, so the checks hold whatever coordinates the skin uses.
#include <gtest/gtest.h>

#include <QRect>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/StartUp.h"
#include "devices/lighting/KeyboardGeometry.h"
#include "profiles/FactoryKeyFunctions.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/DialogBuilder.h"

using vx::profiles::FactoryKeyFunction;
using vx::profiles::kKeyboardLogicalKeys;
using vx::profiles::kKeyboardFactoryKeys;
using vx::app::SetupResources;
using vx::widgets::CDialogBuilder;

namespace {

// A key by its factory function: a HID keyboard usage, modifier bits, or the keyboard's own key.
struct Fn {
    uint8_t type, first, second;
};
constexpr Fn Usage(uint8_t usage) { return {0x20, 0x00, usage}; }
constexpr Fn Modifier(uint8_t bits) { return {0x20, bits, 0x00}; }
constexpr Fn kFnKey{0xA0, 0x01, 0x00};
constexpr Fn kLightKey{0xA0, 0x24, 0x00};

enum : uint8_t {
    kEsc = 0x29, kF1 = 0x3A, kF4 = 0x3D, kF5 = 0x3E, kF8 = 0x41, kF9 = 0x42, kF12 = 0x45,
    kPrint = 0x46, kScroll = 0x47, kPause = 0x48, kGrave = 0x35, k1 = 0x1E, k2 = 0x1F, k0 = 0x27,
    kMinus = 0x2D, kEqual = 0x2E, kBackspace = 0x2A, kInsert = 0x49, kHome = 0x4A, kPageUp = 0x4B,
    kNumLock = 0x53, kPadSlash = 0x54, kPadStar = 0x55, kPadMinus = 0x56, kTab = 0x2B,
    kLeftBracket = 0x2F, kRightBracket = 0x30, kBackslash = 0x31, kDelete = 0x4C, kEnd = 0x4D,
    kPageDown = 0x4E, kPad7 = 0x5F, kPad8 = 0x60, kPad9 = 0x61, kPadPlus = 0x57, kCaps = 0x39,
    kSemicolon = 0x33, kQuote = 0x34, kEnter = 0x28, kPad4 = 0x5C, kPad5 = 0x5D, kPad6 = 0x5E,
    kComma = 0x36, kPeriod = 0x37, kSlash = 0x38, kUp = 0x52, kPad1 = 0x59, kPad2 = 0x5A,
    kPad3 = 0x5B, kPadEnter = 0x58, kSpace = 0x2C, kMenu = 0x65, kLeft = 0x50, kDown = 0x51,
    kRight = 0x4F, kPad0 = 0x62, kPadDot = 0x63,
};
constexpr uint8_t kLeftCtrl = 0x01, kLeftShift = 0x02, kLeftAlt = 0x04, kLeftWin = 0x08,
                  kRightCtrl = 0x10, kRightShift = 0x20, kRightAlt = 0x40, kRightWin = 0x80;

uint8_t Letter(char c) { return static_cast<uint8_t>(0x04 + (c - 'A')); }

std::vector<Fn> Letters(const char* row) {
    std::vector<Fn> keys;
    for (const char* c = row; *c; ++c) keys.push_back(Usage(Letter(*c)));
    return keys;
}

std::vector<Fn> Join(std::initializer_list<std::vector<Fn>> parts) {
    std::vector<Fn> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

bool IsKey(const FactoryKeyFunction& f) { return !(f.type == 0x20 && f.first == 0 && f.second == 0); }

class KeyboardPictureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
        m_page.reset(CDialogBuilder::Create(QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml")));
        ASSERT_NE(m_page, nullptr) << CDialogBuilder::LastError().toStdString();
        m_picture = m_page->findChild<QWidget*>(QStringLiteral("SelectPanel"));
        ASSERT_NE(m_picture, nullptr);
        for (QWidget* child : m_picture->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QString name = child->objectName();
            bool ok = false;
            if (name.startsWith(QStringLiteral("key_"))) {
                const int n = name.mid(4).toInt(&ok);
                if (ok) m_keys[n] = child->geometry();
            } else if (name.startsWith(QStringLiteral("light_"))) {
                const int n = name.mid(6).toInt(&ok);
                if (ok) m_lights[n] = child->geometry();
            }
        }
        ASSERT_FALSE(m_keys.empty());
    }

    // The logical key (and LED) whose factory function is `f`.
    static std::optional<int> Logical(Fn f) {
        for (size_t n = 0; n < kKeyboardLogicalKeys; ++n) {
            const FactoryKeyFunction& k = kKeyboardFactoryKeys[n];
            if (k.type == f.type && k.first == f.first && k.second == f.second) return static_cast<int>(n);
        }
        return std::nullopt;
    }

    // The cap of the key with factory function `f`; an empty rectangle when the picture lacks it.
    QRect Cap(Fn f) const {
        const std::optional<int> n = Logical(f);
        if (!n) return {};
        const auto it = m_keys.find(*n);
        return it == m_keys.end() ? QRect() : it->second;
    }

    // Key units of this picture: the distance from one letter key to the next.
    int Pitch() const { return Cap(Usage(k2)).left() - Cap(Usage(k1)).left(); }

    // Each key of `row` lies right of the one before it, on the same row.
    void ExpectRow(const char* what, const std::vector<Fn>& row) const {
        SCOPED_TRACE(what);
        ASSERT_FALSE(Cap(row.front()).isNull());
        const int top = Cap(row.front()).top();
        for (size_t i = 0; i < row.size(); ++i) {
            const QRect cap = Cap(row[i]);
            ASSERT_FALSE(cap.isNull()) << "key " << i << " of the row is missing";
            EXPECT_EQ(cap.top(), top) << "key " << i << " is not on the row";
            if (i > 0) {
                EXPECT_GT(cap.left(), Cap(row[i - 1]).right()) << "key " << i << " is out of order";
            }
        }
    }

    std::unique_ptr<QWidget> m_page;
    QWidget* m_picture = nullptr;
    std::map<int, QRect> m_keys;
    std::map<int, QRect> m_lights;
};

TEST_F(KeyboardPictureTest, EveryLedOfTheLightingMapIsOneButtonAroundItsKey) {
    const vx::lighting::LedSet& map = vx::lighting::kLayoutLeds;
    std::map<int, bool> onMap;
    for (int i = 0; i < map.count; ++i) onMap[map.leds[static_cast<size_t>(i)]] = true;
    // The buttons are exactly the map's LEDs: the lighting engine paints every one of them.
    for (const auto& [n, rect] : m_lights) EXPECT_TRUE(onMap.count(n)) << "light_" << n << " is not on the map";
    for (const auto& [n, yes] : onMap) {
        ASSERT_TRUE(m_lights.count(n)) << "LED " << n << " has no button";
        const bool key = IsKey(kKeyboardFactoryKeys[static_cast<size_t>(n)]);
        EXPECT_EQ(m_keys.count(n), key ? 1u : 0u) << "key_" << n;
        // The glow of an LED surrounds the cap of its own key.
        if (key) {
            EXPECT_TRUE(m_lights.at(n).contains(m_keys.at(n))) << n;
        }
    }
    for (const auto& [n, rect] : m_keys) EXPECT_TRUE(m_lights.count(n)) << "key_" << n << " has no LED";
}

TEST_F(KeyboardPictureTest, KeysAndLightsDoNotOverlapAndStayOnThePicture) {
    const QRect picture(QPoint(0, 0), m_picture->size());
    for (const auto* set : {&m_keys, &m_lights}) {
        for (auto a = set->begin(); a != set->end(); ++a) {
            EXPECT_TRUE(picture.contains(a->second)) << a->first;
            for (auto b = std::next(a); b != set->end(); ++b)
                EXPECT_FALSE(a->second.intersects(b->second)) << a->first << " and " << b->first;
        }
    }
}

TEST_F(KeyboardPictureTest, RowsReadAsOnAFullSizeKeyboard) {
    ExpectRow("function row", {Usage(kEsc), Usage(kF1), Usage(kF4), Usage(kF5), Usage(kF8), Usage(kF9),
                               Usage(kF12), Usage(kPrint), Usage(kScroll), Usage(kPause), kLightKey});
    std::vector<Fn> digits;
    for (uint8_t u = k1; u <= k0; ++u) digits.push_back(Usage(u));
    ExpectRow("number row", Join({{Usage(kGrave)}, digits,
                                  {Usage(kMinus), Usage(kEqual), Usage(kBackspace), Usage(kInsert), Usage(kHome),
                                   Usage(kPageUp), Usage(kNumLock), Usage(kPadSlash), Usage(kPadStar),
                                   Usage(kPadMinus)}}));
    ExpectRow("top letter row", Join({{Usage(kTab)}, Letters("QWERTYUIOP"),
                                      {Usage(kLeftBracket), Usage(kRightBracket), Usage(kBackslash),
                                       Usage(kDelete), Usage(kEnd), Usage(kPageDown), Usage(kPad7), Usage(kPad8),
                                       Usage(kPad9), Usage(kPadPlus)}}));
    ExpectRow("home row", Join({{Usage(kCaps)}, Letters("ASDFGHJKL"),
                                {Usage(kSemicolon), Usage(kQuote), Usage(kEnter), Usage(kPad4), Usage(kPad5),
                                 Usage(kPad6)}}));
    ExpectRow("bottom letter row", Join({{Modifier(kLeftShift)}, Letters("ZXCVBNM"),
                                         {Usage(kComma), Usage(kPeriod), Usage(kSlash), Modifier(kRightShift),
                                          Usage(kUp), Usage(kPad1), Usage(kPad2), Usage(kPad3),
                                          Usage(kPadEnter)}}));
    ExpectRow("space row", {Modifier(kLeftCtrl), Modifier(kLeftWin), Modifier(kLeftAlt), Usage(kSpace),
                            Modifier(kRightAlt), Modifier(kRightWin), kFnKey, Usage(kMenu), Modifier(kRightCtrl),
                            Usage(kLeft), Usage(kDown), Usage(kRight), Usage(kPad0), Usage(kPadDot)});
    // The rows follow each other from the function row down.
    const std::vector<Fn> firsts = {Usage(kEsc), Usage(kGrave), Usage(kTab), Usage(kCaps), Modifier(kLeftShift),
                                    Modifier(kLeftCtrl)};
    for (size_t i = 1; i < firsts.size(); ++i) EXPECT_GT(Cap(firsts[i]).top(), Cap(firsts[i - 1]).bottom());
}

TEST_F(KeyboardPictureTest, LetterRowsAreStaggeredInASquareMainBlock) {
    const int pitch = Pitch();
    ASSERT_GT(pitch, 10);
    // Each letter row starts a little further right than the row above, less than a key further.
    const Fn rowStarts[] = {Usage(k1), Usage(Letter('Q')), Usage(Letter('A')), Usage(Letter('Z'))};
    for (size_t i = 1; i < std::size(rowStarts); ++i) {
        const int shift = Cap(rowStarts[i]).left() - Cap(rowStarts[i - 1]).left();
        EXPECT_GT(shift, pitch / 8) << i;
        EXPECT_LT(shift, pitch) << i;
    }
    // Tab, Caps Lock and Shift widen as the stagger grows; the space bar is the widest key.
    EXPECT_LT(Cap(Usage(kTab)).width(), Cap(Usage(kCaps)).width());
    EXPECT_LT(Cap(Usage(kCaps)).width(), Cap(Modifier(kLeftShift)).width());
    EXPECT_GT(Cap(Usage(kSpace)).width(), 5 * pitch);
    // Left and right edges of the main block line up on every row (within rounding).
    const Fn left[] = {Usage(kEsc), Usage(kGrave), Usage(kTab), Usage(kCaps), Modifier(kLeftShift),
                       Modifier(kLeftCtrl)};
    const Fn right[] = {Usage(kF12), Usage(kBackspace), Usage(kBackslash), Usage(kEnter), Modifier(kRightShift),
                        Modifier(kRightCtrl)};
    for (const Fn& f : left) EXPECT_NEAR(Cap(f).left(), Cap(Usage(kGrave)).left(), 1);
    for (const Fn& f : right) EXPECT_NEAR(Cap(f).right(), Cap(Usage(kBackspace)).right(), 1);
    // Right Shift belongs to the Z row, right of the letters, wider than a letter key.
    EXPECT_EQ(Cap(Modifier(kRightShift)).top(), Cap(Usage(Letter('Z'))).top());
    EXPECT_GT(Cap(Modifier(kRightShift)).width(), 2 * pitch);
}

TEST_F(KeyboardPictureTest, FunctionRowNavigationClusterAndNumberPadStandApart) {
    const int pitch = Pitch();
    const int keyGap = Cap(Usage(k2)).left() - Cap(Usage(k1)).right();
    // A gap under the function row that the other rows do not have.
    const int underFunctionRow = Cap(Usage(kGrave)).top() - Cap(Usage(kEsc)).bottom();
    const int underNumberRow = Cap(Usage(kTab)).top() - Cap(Usage(kGrave)).bottom();
    EXPECT_GT(underFunctionRow, underNumberRow + pitch / 4);
    // F-keys in groups of four, and Esc apart from F1.
    const auto gap = [&](uint8_t a, uint8_t b) { return Cap(Usage(b)).left() - Cap(Usage(a)).right(); };
    EXPECT_GT(gap(kF4, kF5), gap(kF1, static_cast<uint8_t>(kF1 + 1)) + pitch / 4);
    EXPECT_GT(gap(kF8, kF9), gap(kF1, static_cast<uint8_t>(kF1 + 1)) + pitch / 4);
    EXPECT_GT(gap(kEsc, kF1), pitch / 2);
    // The navigation cluster stands right of the main block, the number pad right of the cluster.
    const int mainRight = Cap(Usage(kBackspace)).right();
    const Fn cluster[] = {Usage(kPrint), Usage(kInsert), Usage(kDelete), Usage(kLeft), Usage(kUp), Usage(kPause),
                          Usage(kPageUp), Usage(kPageDown), Usage(kRight)};
    int clusterRight = 0;
    for (const Fn& f : cluster) {
        EXPECT_GT(Cap(f).left(), mainRight + keyGap) << int(f.second);
        clusterRight = std::max(clusterRight, Cap(f).right());
    }
    const Fn pad[] = {Usage(kNumLock), Usage(kPad7), Usage(kPad4), Usage(kPad1), Usage(kPad0), kLightKey};
    for (const Fn& f : pad) EXPECT_GT(Cap(f).left(), clusterRight + keyGap) << int(f.second);
    EXPECT_EQ(Cap(Usage(kPad0)).left(), Cap(Usage(kPad1)).left());
    // The lock lights sit above the number pad, in the function row.
    for (const auto& [n, rect] : m_lights) {
        if (IsKey(kKeyboardFactoryKeys[static_cast<size_t>(n)])) continue;
        EXPECT_GT(rect.left(), Cap(Usage(kNumLock)).left()) << n;
        EXPECT_LT(rect.top(), Cap(Usage(kGrave)).top()) << n;
    }
    // The arrows form an inverted T under the cluster's middle column.
    EXPECT_EQ(Cap(Usage(kUp)).left(), Cap(Usage(kDown)).left());
    EXPECT_EQ(Cap(Usage(kDown)).left(), Cap(Usage(kHome)).left());
    // The number pad's plus and Enter keys are two rows high, its zero two keys wide.
    EXPECT_GT(Cap(Usage(kPadPlus)).bottom(), Cap(Usage(kPad6)).top());
    EXPECT_GT(Cap(Usage(kPadEnter)).bottom(), Cap(Usage(kPadDot)).top());
    EXPECT_GT(Cap(Usage(kPad0)).right(), Cap(Usage(kPad2)).left());
}

}  // namespace
