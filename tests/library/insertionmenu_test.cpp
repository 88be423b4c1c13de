// The insertion menu: every item in order with its exact caption, and what
// choosing one does to the editor's text.
#include "editortesting.h"

#include "library/highlightrules.h"
#include "library/insertionmenu.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

using namespace zibbles;
using zibbles::testing::ShownEditor;

namespace {

// Each entry as "Submenu/Submenu/caption", "-" standing for a separator.
const std::vector<std::string> kExpected = {
    "Script Advanced/%delay=\"1000\"%", "Script Advanced/%media=\"filename.wav\"%", "Script Advanced/%loop_zibble%",
    "-",
    "Dance/'heyhey", "Dance/'twist", "Dance/'giddyup", "Dance/'bodywave", "Dance/'nightfever", "Dance/'jig",
    "Dance/'yessir", "Dance/'handstand", "Dance/'handstand 'whatever",
    "Emotions/Common/rofl", "Emotions/Common/'hmmm ", "Emotions/Common/'laugh ", "Emotions/Common/-",
    "Emotions/Common/'bye ", "Emotions/Common/'hello ", "Emotions/Common/-",
    "Emotions/Common/'surprise ", "Emotions/Common/''mad", "Emotions/Common/'sad", "Emotions/Common/'doh ",
    "Emotions/Common/''drat", "Emotions/Common/-",
    "Emotions/Common/'yay", "Emotions/Common/''yay", "Emotions/Common/'''yay",
    "Emotions/Model/'backpose ", "Emotions/Model/'leftpose ", "Emotions/Model/'rightpose ", "Emotions/Model/'tada ",
    "Emotions/Flirt/'wink ", "Emotions/Flirt/'tongue ", "Emotions/Flirt/'love ", "Emotions/Flirt/'sexy ",
    "Emotions/Flirt/'''sexy ", "Emotions/Flirt/''sexy ", "Emotions/Flirt/'bluesteel ", "Emotions/Flirt/'blush ",
    "Emotions/Smack Talk/'yata", "Emotions/Smack Talk/'what ", "Emotions/Smack Talk/''what ",
    "Emotions/Smack Talk/'whatever ", "Emotions/Smack Talk/'tth ", "Emotions/Smack Talk/'''what ",
    "Emotions/Smack Talk/'bow ", "Emotions/Smack Talk/'clap ", "Emotions/Smack Talk/'hole ",
    "Emotions/Smack Talk/'''sleep ",
    "Emotions/Other/'drat ", "Emotions/Other/''drat", "Emotions/Other/'hi5 ", "Emotions/Other/'nod ",
    "Emotions/Other/'td ", "Emotions/Other/'tu ",
    "Emotions/-",
    "Head Pops/'afk ", "Head Pops/'boo ", "Head Pops/'brb ", "Head Pops/'burp ", "Head Pops/'cash ",
    "Head Pops/'curse ", "Head Pops/'idea ", "Head Pops/'love ", "Head Pops/'sleep ",
    "Head Pops/'1", "Head Pops/'2", "Head Pops/'3", "Head Pops/'4", "Head Pops/'5",
    "Head Pops/'6", "Head Pops/'7", "Head Pops/'8", "Head Pops/'9", "Head Pops/'10",
    "Shooting/'blowkiss ", "Shooting/'flower ", "Shooting/'flowers ", "Shooting/'heart ", "Shooting/'hearts ",
    "Shooting/-",
    "Shooting/'chicken ", "Shooting/'dagger ", "Shooting/'snake ", "Shooting/'knife ",
    "Shooting/-",
    "Shooting/'paper ", "Shooting/'rock ", "Shooting/'scissors ",
    "Shooting/-",
    "Shooting/'takemic ", "Shooting/'givemic ",
    "Dog/good", "Dog/bad", "Dog/stupid", "Dog/fetch", "Dog/die", "Dog/sit", "Dog/lie", "Dog/beg", "Dog/go",
    "Dog/away", "Dog/ball", "Dog/bark", "Dog/down", "Dog/go", "Dog/heel", "Dog/no", "Dog/play", "Dog/run",
    "Dog/shake", "Dog/paw", "Dog/wag", "Dog/sleep", "Dog/sicem",
    "-",
    "'",
    "# Comment line - Zibbles does not see this line",
};

void walk(const QMenu *menu, const std::string &prefix, std::vector<std::string> &out,
          std::vector<QAction *> *items = nullptr)
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            out.push_back(prefix + "-");
        else if (action->menu())
            walk(action->menu(), prefix + action->text().toStdString() + "/", out, items);
        else {
            out.push_back(prefix + action->text().toStdString());
            if (items)
                items->push_back(action);
        }
    }
}

class InsertionMenuTest : public ::testing::Test {
protected:
    InsertionMenuTest() : menu(buildInsertionMenu(&shown.editor, nullptr)) { walk(menu.get(), "", entries, &items); }

    QAction *item(const std::string &caption) const
    {
        for (QAction *action : items)
            if (action->text().toStdString() == caption)
                return action;
        return nullptr;
    }

    ShownEditor shown;
    std::unique_ptr<QMenu> menu;
    std::vector<std::string> entries;
    std::vector<QAction *> items;
};

} // namespace

TEST_F(InsertionMenuTest, HoldsAllItemsInOrderWithExactCaptions)
{
    EXPECT_EQ(entries, kExpected);
    EXPECT_EQ(items.size(), 111u);
}

TEST_F(InsertionMenuTest, AnItemInsertsItsCaptionAtTheCaretAndNothingElse)
{
    shown.load("hello\r\nbye");
    shown.editor.setCursorPosition(0, 5);
    item("'hmmm ")->trigger();
    EXPECT_EQ(shown.text(), "hello'hmmm \r\nbye");
    EXPECT_TRUE(shown.editor.hasFocus());
    int line = 0, index = 0;
    shown.editor.getCursorPosition(&line, &index);
    EXPECT_EQ(index, 11);
}

TEST_F(InsertionMenuTest, AnItemReplacesTheSelection)
{
    shown.load("say hi now");
    shown.editor.setSelection(0, 4, 0, 6);
    item("'wink ")->trigger();
    EXPECT_EQ(shown.text(), "say 'wink  now");
    EXPECT_FALSE(shown.editor.hasSelectedText());
}

TEST_F(InsertionMenuTest, TheDelayItemInAnEmptyEditorMakesAOneLineDelay)
{
    shown.load("");
    item("%delay=\"1000\"%")->trigger();
    EXPECT_EQ(shown.text(), "%delay=\"1000\"%");
    const auto spans = findRuleSpans(shown.text());
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].rule, 7);
    EXPECT_EQ(spans[0].stop, shown.text().size());
}

TEST_F(InsertionMenuTest, AnAcceleratorMarkAddedByTheDesktopIsLeftOut)
{
    shown.load("");
    QAction marked(QStringLiteral("'&bow "));
    InsertMenuText(&shown.editor, &marked);
    EXPECT_EQ(shown.text(), "'bow ");
}

TEST_F(InsertionMenuTest, InsertionsAreOneUndoStepEach)
{
    shown.load("x");
    shown.editor.setCursorPosition(0, 1);
    item("'heyhey")->trigger();
    item("'bow ")->trigger();
    EXPECT_EQ(shown.text(), "x'heyhey'bow ");
    shown.editor.undo();
    EXPECT_EQ(shown.text(), "x'heyhey");
}
