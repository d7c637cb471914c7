#include "core/text.h"

#include <gtest/gtest.h>

namespace grix {
namespace {

TEST(Text, Utf8ToUtf16) {
    EXPECT_EQ(Utf8ToUtf16("ab"), u"ab");
    EXPECT_EQ(Utf8ToUtf16("\xD0\x9F"), std::u16string(1, char16_t{0x041F}));  // П
    // Outside the Basic Multilingual Plane: a surrogate pair, two units.
    const std::u16string pair = Utf8ToUtf16("\xF0\x9F\x98\x80");
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(pair[0], 0xD83D);
    EXPECT_EQ(pair[1], 0xDE00);
    EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
    const struct {
        const char* bytes;
        std::size_t units;
    } cases[] = {
        {"\xFF", 1},           // never a lead byte
        {"\xC0\x80", 2},       // overlong NUL
        {"\xED\xA0\x80", 3},   // encoded surrogate
        {"\xD0", 1},           // truncated
        {"\xF4\x90\x80\x80", 4},  // above U+10FFFF
    };
    for (const auto& c : cases) {
        const std::u16string units = Utf8ToUtf16(c.bytes);
        EXPECT_EQ(units.size(), c.units) << c.bytes;
        for (char16_t u : units) EXPECT_EQ(u, 0xFFFD);
        EXPECT_FALSE(IsValidUtf8(c.bytes));
    }
    EXPECT_TRUE(IsValidUtf8("plain \xD0\x9F\xF0\x9F\x98\x80"));
}

TEST(Text, Utf16RoundTrip) {
    const std::string text = "Кот \xF0\x9F\x98\x80 cat";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

TEST(Text, Cp1251) {
    // "Привет" in Windows-1251, plus the numero sign and Ё.
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(Cp1251ToUtf8("\xB9\xA8"), "№Ё");
    EXPECT_EQ(DecodeLegacyText("\xCF"), "П");
    EXPECT_EQ(DecodeLegacyText("П"), "П");
    EXPECT_EQ(DecodeLegacyText("ascii"), "ascii");
}

TEST(Text, SequenceLengthAndAsciiCase) {
    const std::string text = "aП\xF0\x9F\x98\x80\xFF";
    EXPECT_EQ(Utf8SequenceLength(text, 0), 1u);
    EXPECT_EQ(Utf8SequenceLength(text, 1), 2u);
    EXPECT_EQ(Utf8SequenceLength(text, 3), 4u);
    EXPECT_EQ(Utf8SequenceLength(text, 7), 1u);
    EXPECT_EQ(AsciiUpper("abcП"), "ABCП");
    EXPECT_EQ(AsciiLower("ABC.Bmp"), "abc.bmp");
}

}  // namespace
}  // namespace grix
