// Windows-1252 bytes as Unicode: the 0x80..0x9F range is where it differs
// from Latin-1, and five of its bytes mean nothing.
#include "core/cp1252.h"

#include <gtest/gtest.h>

using namespace zibbles;

TEST(Cp1252, MapsBytesToUnicodeAndTextToUtf8)
{
    EXPECT_EQ(cp1252ToUnicode('A'), U'A');
    EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(cp1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(cp1252ToUnicode(0xE9), U'\u00E9');
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(cp1252ToUnicode(undefined), 0u);

    EXPECT_EQ(cp1252ToUtf8("There (OGL)"), "There (OGL)");
    EXPECT_EQ(cp1252ToUtf8("Caf\xE9 \x80\x99"), "Caf\xC3\xA9 \xE2\x82\xAC\xE2\x84\xA2");
    EXPECT_EQ(cp1252ToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}
