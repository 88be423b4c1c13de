// The share server's form decoding: each text gives the same value whether
// it comes at once or one byte at a time.
#include "formdecoder.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *form;
    std::optional<std::string> zibble;
};

std::optional<std::string> decode(const std::string &form, size_t piece, bool *over = nullptr, size_t limit = 64)
{
    FormDecoder decoder;
    decoder.want("zibblef", limit);
    for (size_t at = 0; at < form.size(); at += piece)
        decoder.feed(std::string_view(form).substr(at, piece));
    decoder.finish();
    if (over)
        *over = decoder.overLimit();
    return decoder.value("zibblef");
}

TEST(FormDecoder, DecodesTheWantedFieldInAnyPieces)
{
    const Case cases[] = {
        {"v=1&zibblef=a%20b+c", "a b c"},
        {"zibblef=%0D%0A%0d%0a", "\r\n\r\n"},
        {"zibblef=%41%4", "A%4"},
        {"zibblef=%%41", "%A"},
        {"zibblef=%4G%", "%4G%"},
        {"zibblef=%4%41&x", "%4A"},
        {"zibblef=x=y", "x=y"},
        {"zibble%66=z", "z"},
        {"&&zibblef=q&", "q"},
        {"zibblef", ""},
        {"zibblef=1&zibblef=2", "1"},
        {"zibblefx=1&xzibblef=2", std::nullopt},
        {"a=1&=2", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decode(c.form, 1000), c.zibble) << c.form;
        EXPECT_EQ(decode(c.form, 1), c.zibble) << c.form << " a byte at a time";
    }
}

TEST(FormDecoder, CutsAFieldAtItsLimitAndSaysSo)
{
    bool over = true;
    EXPECT_EQ(decode("zibblef=abc", 1, &over, 3), "abc");
    EXPECT_FALSE(over);
    EXPECT_EQ(decode("zibblef=ab%63d&v=1", 1, &over, 3), "abc");
    EXPECT_TRUE(over);
}

} // namespace
