#include "profiles/StringUtil.h"

#include <gtest/gtest.h>

using vx::profiles::EqualsIgnoreCase;
using vx::profiles::IsBlank;
using vx::profiles::ParseDecimal;
using vx::profiles::RemoveChar;
using vx::profiles::SplitNameIndex;
using vx::profiles::ToHex8;
using vx::profiles::Utf8ToWide;
using vx::profiles::WideToAnsi;
using vx::profiles::WideToOem;
using vx::profiles::WideToUtf8;

TEST(StringUtil, Utf8AndUtf16RoundTrip) {
    const std::u16string text = u"Profil \u00e9t\u00e9 \u914d\u7f6e \U0001F3AE";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(u"a\u00e9"), "a\xc3\xa9");
    // The conversion stops at a terminator.
    EXPECT_EQ(WideToUtf8(std::u16string(u"ab\0cd", 5)), "ab");
}

TEST(StringUtil, MalformedTextIsReplacedNotRejected) {
    EXPECT_EQ(Utf8ToWide("a\xff"
                         "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xc3"), u"\uFFFD");          // truncated
    EXPECT_EQ(Utf8ToWide("\xc0\xaf"), u"\uFFFD");      // overlong '/'
    EXPECT_EQ(Utf8ToWide("\xed\xa0\x80"), u"\uFFFD");  // surrogate
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(StringUtil, NarrowCodePages) {
    EXPECT_EQ(WideToAnsi(u"\u00e9"), "\xc3\xa9");
    EXPECT_EQ(WideToOem(u"ab\u00e9\U0001F3AE"), "ab??");
}

TEST(StringUtil, ToHex8RemoveCharIsBlank) {
    EXPECT_EQ(ToHex8(255), "000000FF");
    EXPECT_EQ(ToHex8(0xFF0099FF), "FF0099FF");
    EXPECT_EQ(ToHex8(0), "00000000");
    std::string s = "a-b-c-";
    RemoveChar(s, '-');
    EXPECT_EQ(s, "abc");
    EXPECT_TRUE(IsBlank(u""));
    EXPECT_TRUE(IsBlank(u" \t\r\n\u3000"));
    EXPECT_FALSE(IsBlank(u"  x "));
}

TEST(StringUtil, SplitNameIndex) {
    std::u16string prefix = u"unchanged";
    int32_t index = -7;
    EXPECT_FALSE(SplitNameIndex(u"nounderscore", prefix, index));
    EXPECT_EQ(prefix, u"unchanged");
    EXPECT_EQ(index, -7);
    ASSERT_TRUE(SplitNameIndex(u"6533_eq_hz_slider_12", prefix, index));
    EXPECT_EQ(prefix, u"6533_eq_hz_slider_");
    EXPECT_EQ(index, 12);
    ASSERT_TRUE(SplitNameIndex(u"a_b_12", prefix, index));
    EXPECT_EQ(prefix, u"a_b_");
    EXPECT_EQ(index, 12);
    ASSERT_TRUE(SplitNameIndex(u"name_", prefix, index));
    EXPECT_EQ(prefix, u"name_");
    EXPECT_EQ(index, 0);
    std::string narrow;
    ASSERT_TRUE(SplitNameIndex("key_3x", narrow, index));
    EXPECT_EQ(narrow, "key_");
    EXPECT_EQ(index, 3);
    ASSERT_TRUE(SplitNameIndex("k_99999999999999", narrow, index));
    EXPECT_EQ(index, INT32_MAX);
}

TEST(StringUtil, ParseDecimalAndCaseInsensitiveNames) {
    EXPECT_EQ(ParseDecimal("300"), 300);
    EXPECT_EQ(ParseDecimal("  -5x"), -5);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999"), INT64_MIN);
    EXPECT_TRUE(EqualsIgnoreCase(u"Macro_1", u"MACRO_1"));
    EXPECT_FALSE(EqualsIgnoreCase(u"macro_1", u"macro_2"));
    EXPECT_FALSE(EqualsIgnoreCase(u"macro", u"macro_"));
}
