// The colouring rules on single lines: which rule draws which bytes.
#include "library/highlightrules.h"

#include <gtest/gtest.h>

#include <string>

using namespace zibbles;

namespace {

// The spans of a line written as "rule:text|rule:text", text being the bytes
// each span covers.
std::string spansOf(const std::string &line)
{
    std::string out;
    for (const RuleSpan &span : findRuleSpans(line)) {
        if (!out.empty())
            out += '|';
        out += std::to_string(span.rule) + ':' + line.substr(span.start, span.stop - span.start);
    }
    return out;
}

} // namespace

TEST(HighlightRules, CompleteCommandsInAnyCaseAreYellowFromStartToClosingPercent)
{
    EXPECT_EQ(spansOf("%delay=\"1000\"%"), "7:%delay=\"1000\"%");
    EXPECT_EQ(spansOf("%DELAY=\"1000\"%"), "7:%DELAY=\"1000\"%");
    EXPECT_EQ(spansOf("%media=\"filename.wav\"%"), "8:%media=\"filename.wav\"%");
    EXPECT_EQ(spansOf("%MeDiA=\"a b.mp3\"%"), "8:%MeDiA=\"a b.mp3\"%");
}

TEST(HighlightRules, CommandsClosedOnlyByTheQuoteUseTheShortRules)
{
    EXPECT_EQ(spansOf("%media=\"x.wav\" and"), "3:%media=\"x.wav\"");
    EXPECT_EQ(spansOf("%delay=\"9\""), "5:%delay=\"9\"");
}

TEST(HighlightRules, ASpaceInFrontMakesTheStruckOutRuleRunFromTheSpaceToTheQuote)
{
    EXPECT_EQ(spansOf(" %media=\"ding.wav\"%"), "4: %media=\"ding.wav\"");
    EXPECT_EQ(spansOf("hi %DELAY=\"500\"%"), "6: %DELAY=\"500\"");
    EXPECT_EQ(spansOf("  %delay=\"5\"%"), "6: %delay=\"5\"");
}

TEST(HighlightRules, TheLoopKeywordMatchesOnlyInItsExactCase)
{
    EXPECT_EQ(spansOf("%loop_zibble%"), "1:%loop_zibble%");
    EXPECT_EQ(spansOf("x %loop_zibble% y"), "1:%loop_zibble%");
    EXPECT_EQ(spansOf("%LOOP_ZIBBLE%"), "");
    EXPECT_EQ(spansOf("%Loop_Zibble%"), "");
}

TEST(HighlightRules, AHashRunsGreyToTheEndOfTheLine)
{
    EXPECT_EQ(spansOf("# Comment line - %delay=\"1\"%"), "2:# Comment line - %delay=\"1\"%");
    EXPECT_EQ(spansOf("say #1 now"), "2:#1 now");
    // Inside a command the hash is part of the command.
    EXPECT_EQ(spansOf("%media=\"#1.wav\"%"), "8:%media=\"#1.wav\"%");
}

TEST(HighlightRules, SeveralSpansOnOneLineAndPlainLines)
{
    EXPECT_EQ(spansOf("%delay=\"1\"%%loop_zibble% #end"), "7:%delay=\"1\"%|1:%loop_zibble%|2:#end");
    EXPECT_EQ(spansOf("'heyhey"), "");
    EXPECT_EQ(spansOf(""), "");
    EXPECT_EQ(spansOf("100% sure = yes"), "");
}

TEST(HighlightRules, AnUnclosedCommandRunsToTheEndOfTheLine)
{
    EXPECT_EQ(spansOf("%delay=\"10"), "7:%delay=\"10");
    EXPECT_EQ(spansOf("a %media=\"x"), "4: %media=\"x");
}

TEST(HighlightRules, OnlyTheSpaceRulesReportContextFiveAndShowAHand)
{
    for (const HighlightRule &rule : highlightRules()) {
        const bool spaced = rule.start.front() == ' ';
        EXPECT_EQ(rule.context, spaced ? 5 : 1) << rule.number;
        EXPECT_EQ(rule.handCursor, spaced) << rule.number;
        EXPECT_EQ(rule.strikeOut, spaced) << rule.number;
        EXPECT_EQ(ruleForStyle(rule.number), &rule);
    }
    EXPECT_EQ(ruleForStyle(0), nullptr);
    EXPECT_EQ(ruleForStyle(9), nullptr);
}
