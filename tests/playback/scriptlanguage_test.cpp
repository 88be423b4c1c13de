// The script language: line kinds, command arguments and delay values.
#include "playback/scriptlanguage.h"

#include <gtest/gtest.h>

using namespace zibbles;

namespace {

TEST(ScriptLanguageTest, TheKindOfALineIsDecidedByItsFirstCharacters)
{
    const std::vector<std::pair<std::string, LineKind>> cases = {
        {"%delay=\"1000\"%", LineKind::Delay},
        {"%delay=\"", LineKind::Delay},
        {"%media=\"bell.wav\"%", LineKind::Media},
        {"# a comment", LineKind::Comment},
        {"#", LineKind::Comment},
        {"%loop_zibble%", LineKind::LoopMarker},
        {"%loop_zibble% and more", LineKind::LoopMarker},
        {"", LineKind::Chat},
        {" %delay=\"1000\"%", LineKind::Chat},
        {"%Delay=\"1000\"%", LineKind::Chat},
        {"%delay=1000%", LineKind::Chat},
        {"%MEDIA=\"a.wav\"%", LineKind::Chat},
        {" #not a comment", LineKind::Chat},
        {"%loop_zibble", LineKind::Chat},
        {"'heyhey", LineKind::Chat},
    };
    for (const auto &[line, kind] : cases)
        EXPECT_EQ(lineKind(line), kind) << line;
}

TEST(ScriptLanguageTest, TheArgumentEndsAtTheFirstQuoteAndNeedsOne)
{
    EXPECT_EQ(commandArgument("%delay=\"1000\"%"), "1000");
    EXPECT_EQ(commandArgument("%delay=\"1000\""), "1000");
    EXPECT_EQ(commandArgument("%delay=\"1000\" trailing \"x\"%"), "1000");
    EXPECT_EQ(commandArgument("%media=\"\"%"), "");
    EXPECT_EQ(commandArgument("%delay=\"1000%"), std::nullopt);
    EXPECT_EQ(commandArgument("%delay=\""), std::nullopt);
}

TEST(ScriptLanguageTest, DelayValuesReadAsSigned32BitNumbersOrZero)
{
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"1000", 1000},
        {"  250", 250},
        {"+30", 30},
        {"-5", -5},
        {"-0", 0},
        {"$FF", 255},
        {"$ff", 255},
        {"x1F4", 500},
        {"0x7530", 30000},
        {"0x7fffffff", 2147483647},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", 0},
        {"99999999999", 0},
        {"$80000000", 0},
        {"500 ", 0},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"$", 0},
        {"0x", 0},
        {"12a", 0},
        {"1 000", 0},
        {"\t100", 0},
        {"$G1", 0},
        {std::string("10\0" "0", 4), 0},
        {std::string(100000, '9'), 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(readDelayValue(text), value) << text;
}

} // namespace
