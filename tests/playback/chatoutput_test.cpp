// Chat-line output: the There window's titles, performers filtering and the
// waits between a performer's characters.
#include "fakes/fakedesktop.h"
#include "fakes/fakepump.h"

#include "core/programsettings.h"
#include "playback/chatoutput.h"
#include "playback/sendkeys.h"

#include <gtest/gtest.h>

using namespace zibbles;
using namespace zibbles::testing;

namespace {

class ChatOutputTest : public ::testing::Test {
protected:
    void performer(const std::string &name)
    {
        settings.PerformersMode = true;
        settings.CharacterName = name;
    }

    FakeDesktop desktop;
    FakePump pump;
    ProgramSettings settings;
    TSendkeys sendkeys{desktop, pump};
    ChatOutput chat{sendkeys, pump, settings};
};

TEST_F(ChatOutputTest, TheEightTitlesAreTriedInOrderAndTheFirstFoundWins)
{
    EXPECT_EQ(chat.FindThereWindow(), 0u);
    EXPECT_EQ(desktop.searched, (std::vector<std::string>{"There (OGL)", "There (dx8)", "There (DX8)", "There (dx9)",
                                                          "There (DX9)", "There (dx7)", "There (DX7)", "There"}));
    desktop.searched.clear();
    desktop.windows = {{"There", 1}, {"There (DX9)", 2}, {"There (dx7)", 3}};
    EXPECT_EQ(chat.FindThereWindow(), 2u);
    EXPECT_EQ(desktop.searched.back(), "There (DX9)");
}

TEST_F(ChatOutputTest, WithoutAThereWindowNothingIsTypedOrBroughtUp)
{
    desktop.windows = {{"there", 1}, {"There (ogl)", 2}};
    chat.SendChatLine("hello\n\r");
    EXPECT_TRUE(desktop.events.empty());
    EXPECT_TRUE(desktop.activations.empty());
}

TEST_F(ChatOutputTest, ALineIsTypedIntoTheActivatedWindowUnchanged)
{
    desktop.windows = {{"There (DX8)", 4}};
    desktop.iconic = {4};
    chat.SendChatLine("Hi all\n\r");
    EXPECT_EQ(desktop.activations, std::vector<std::string>{"restore 4"});
    EXPECT_EQ(desktop.typedText(), "Hi all\n\r");

    desktop.events.clear();
    chat.SendChatLine("");
    EXPECT_EQ(desktop.activations, (std::vector<std::string>{"restore 4", "raise 4"}));
    EXPECT_TRUE(desktop.events.empty());
}

TEST_F(ChatOutputTest, PerformersTypeOnlyTheirOwnLinesLessThePrefix)
{
    desktop.windows = {{"There (OGL)", 1}};
    performer("Bob");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Bob: hello\n\r", "hello\n\r"},
        {"bob: hello\n\r", ""},
        {"Bobby: hi\n\r", ""},
        {"Bob : Hello\n\r", ""},
        {"Narrator: Hi\n\r", ""},
        {"Bob:\n\r", "\n\r"},
        {"Bob:\t Hello all \x01\n\r", "Hello all\n\r"},
    };
    for (const auto &[line, typed] : cases) {
        desktop.events.clear();
        desktop.activations.clear();
        chat.SendChatLine(line);
        EXPECT_EQ(desktop.typedText(), typed) << line;
        EXPECT_EQ(desktop.activations.size(), 1u) << line;
    }
}

TEST_F(ChatOutputTest, AnEmptyOrBlankEndedCharacterNameIsPartOfThePrefix)
{
    desktop.windows = {{"There (OGL)", 1}};
    performer("");
    chat.SendChatLine(":hey\n\r");
    chat.SendChatLine("Bob: no\n\r");
    EXPECT_EQ(desktop.typedText(), "hey\n\r");

    desktop.events.clear();
    performer("Bob ");
    chat.SendChatLine("Bob: no\n\r");
    chat.SendChatLine("Bob : yes\n\r");
    EXPECT_EQ(desktop.typedText(), "yes\n\r");
}

TEST_F(ChatOutputTest, APerformerTypesEachCharacterAfterMoreThan25Ms)
{
    desktop.windows = {{"There (OGL)", 1}};
    performer("Bob");
    const int64_t start = pump.nowMs();
    chat.SendChatLine("Bob: ab\n\r");
    // The clock only moves in waits; count how far it went per character.
    EXPECT_EQ(desktop.typedText(), "ab\n\r");
    EXPECT_EQ(pump.nowMs() - start, 2 * 26);

    desktop.events.clear();
    settings.PerformersMode = false;
    const int64_t normal = pump.nowMs();
    chat.SendChatLine("Bob: ab\n\r");
    EXPECT_EQ(desktop.typedText(), "Bob: ab\n\r");
    EXPECT_EQ(pump.nowMs(), normal);
}

TEST_F(ChatOutputTest, WaitMsBlocksInTheEventLoopAndDispatchesMeanwhile)
{
    int fired = 0;
    pump.at(10, [&] { ++fired; });
    chat.WaitMs(25);
    EXPECT_EQ(pump.nowMs(), 26);
    EXPECT_EQ(fired, 1);
    EXPECT_LE(pump.waits, 3); // blocked until each event, no busy loop

    const int waits = pump.waits;
    chat.WaitMs(-5);
    EXPECT_EQ(pump.waits, waits);
    EXPECT_EQ(pump.nowMs(), 26);
}

} // namespace
