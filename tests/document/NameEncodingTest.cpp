#include "document/NameEncoding.h"

#include <gtest/gtest.h>

TEST(NameEncoding, CodePageBytesBecomeTheirCharactersAndAsciiStaysAsItIs)
{
    EXPECT_EQ(NameToUtf8("track 1::a"), "track 1::a");
    EXPECT_EQ(NameFromUtf8("track 1::a"), "track 1::a");
    EXPECT_EQ(NameToUtf8("turn\xE9"), "turn\xC3\xA9");          // é
    EXPECT_EQ(NameToUtf8("\x80"), "\xE2\x82\xAC");              // €
    EXPECT_EQ(NameToUtf8("\x9F"), "\xC5\xB8");                  // Ÿ
    EXPECT_EQ(NameToUtf8("\xDB"), "\xC3\x9B");                  // Û
    EXPECT_EQ(NameToUtf8("\x81"), "\xC2\x81");                  // undefined: Latin-1
}

TEST(NameEncoding, EveryByteRoundTrips)
{
    for (int b = 1; b < 256; ++b) {
        const std::string name(1, static_cast<char>(b));
        EXPECT_EQ(NameFromUtf8(NameToUtf8(name)), name) << "byte " << b;
    }
}

TEST(NameEncoding, CharactersOutsideTheCodePageAndBrokenTextBecomeQuestionMarks)
{
    EXPECT_EQ(NameFromUtf8("\xE4\xB8\xAD"), "?");      // a CJK character
    EXPECT_EQ(NameFromUtf8("\xF0\x9F\x99\x82"), "?");  // an emoji
    EXPECT_EQ(NameFromUtf8("a\xC3"), "a?");            // cut sequence
    EXPECT_EQ(NameFromUtf8("\xFF" "b"), "?b");          // not a lead byte
    EXPECT_EQ(NameFromUtf8("\xC3(x"), "?(x");          // bad continuation
}

TEST(NameEncoding, Utf16UnitsMapIntoTheCodePage)
{
    EXPECT_EQ(NameByteFromUtf16(u'A'), 'A');
    EXPECT_EQ(NameByteFromUtf16(u'\u00E9'), '\xE9');
    EXPECT_EQ(NameByteFromUtf16(u'\u20AC'), '\x80');
    EXPECT_EQ(NameByteFromUtf16(u'\u4E2D'), '?');
}
