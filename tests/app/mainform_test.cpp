// The main window over a real folder: start-up, selecting sets and slots,
// saving, and the ways out (closing hides, Exit ends).
#include "fakes/formharness.h"

#include "app/mainform.h"
#include "app/trayicon.h"
#include "core/error.h"
#include "library/zibbleeditor.h"
#include "library/zibblefile.h"
#include "library/zibbleslots.h"
#include "platform/atomicfile.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace zibbles;
using zibbles::testing::FormHarness;

namespace {

class MainFormTest : public ::testing::Test, protected FormHarness {
protected:
    MainFormTest() : FormHarness(false) {}

    std::string slot(int set, int k) const { return dir.file("Set" + std::to_string(set) + "/F" + std::to_string(k)); }
    void put(int set, int k, const std::string &text)
    {
        makeFolders(dir.file("Set" + std::to_string(set)));
        ASSERT_TRUE(writeFileAtomically(slot(set, k), text));
    }
    std::string fileText(int set, int k) const { return readWholeFile(slot(set, k)).value_or("<missing>"); }
    void type(const QString &text) { QTest::keyClicks(form->editor(), text); }
    void click(int k) { QTest::mouseClick(form->slotButton(k), Qt::LeftButton); }
    int pressedSlot() const
    {
        for (int k = 1; k <= 12; ++k)
            if (form->slotButton(k)->isChecked())
                return k;
        return 0;
    }
};

} // namespace

TEST_F(MainFormTest, FirstStartInAnEmptyFolder)
{
    TMainForm &f = start();
    for (int n = 1; n <= 10; ++n)
        EXPECT_TRUE(folderExists(dir.file("Set" + std::to_string(n))));
    EXPECT_EQ(f.windowTitle(), "Zibbles by Quillmere");
    EXPECT_EQ(f.setButton()->text(), "Zibble Set 1");
    EXPECT_EQ(f.state().CurrentSet, 1);
    EXPECT_EQ(f.state().ActiveFileName, slot(1, 1));
    EXPECT_EQ(pressedSlot(), 1);
    EXPECT_EQ(f.editor()->textBytes(), "");
    EXPECT_FALSE(f.zibbleSlots().EditorModified());
    EXPECT_FALSE(f.saveButton()->isEnabled());
    EXPECT_FALSE(f.state().ZibbleRunning || f.state().StopRequested || f.state().SleepMode ||
                 f.state().ExitRequested || f.state().DelayPending);
    EXPECT_TRUE(f.state().ScriptLines.empty());
    EXPECT_FALSE(settings.PerformersMode);
    EXPECT_TRUE(f.waitTimer().isActive());
    EXPECT_EQ(f.waitTimer().interval(), 1000);
    EXPECT_EQ(f.size(), QSize(459, 461));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
}

TEST_F(MainFormTest, ExistingFoldersAndFilesAreLeftAlone)
{
    put(1, 1, "'heyhey\r\nhello");
    put(7, 3, "other");
    TMainForm &f = start();
    EXPECT_EQ(f.editor()->textBytes(), "'heyhey\r\nhello");
    EXPECT_EQ(fileText(1, 1), "'heyhey\r\nhello");
    EXPECT_EQ(fileText(7, 3), "other");
    EXPECT_FALSE(f.saveButton()->isEnabled());
}

TEST_F(MainFormTest, TypingEnablesSaveAndSaveCreatesTheSlotFile)
{
    TMainForm &f = start();
    click(4);
    EXPECT_EQ(f.state().ActiveFileName, slot(1, 4));
    EXPECT_FALSE(f.saveButton()->isEnabled());
    type("x");
    EXPECT_TRUE(f.zibbleSlots().EditorModified());
    EXPECT_TRUE(f.saveButton()->isEnabled());
    QTest::mouseClick(f.saveButton(), Qt::LeftButton);
    EXPECT_EQ(fileText(1, 4), "x");
    EXPECT_FALSE(f.zibbleSlots().EditorModified());
    EXPECT_FALSE(f.saveButton()->isEnabled());
}

TEST_F(MainFormTest, AnEditIsWrittenBeforeAnotherSlotIsShown)
{
    put(1, 5, "five");
    TMainForm &f = start();
    click(2);
    type("two");
    click(5);
    EXPECT_EQ(fileText(1, 2), "two");
    EXPECT_EQ(f.editor()->textBytes(), "five");
    EXPECT_EQ(f.state().ActiveFileName, slot(1, 5));
    EXPECT_EQ(pressedSlot(), 5);
    EXPECT_FALSE(f.saveButton()->isEnabled());
}

TEST_F(MainFormTest, ASetChangeWritesTheEditToTheOldSetAndShowsF1)
{
    put(3, 1, "set three");
    TMainForm &f = start();
    click(6);
    type("edit");
    f.setMenu()->actions().at(2)->trigger(); // "Zibble Set 3 [Shift F3]"
    EXPECT_EQ(fileText(1, 6), "edit");
    EXPECT_FALSE(std::filesystem::exists(slot(3, 6)));
    EXPECT_EQ(f.setButton()->text(), "Zibble Set 3");
    EXPECT_EQ(f.state().CurrentSet, 3);
    EXPECT_EQ(pressedSlot(), 1);
    EXPECT_EQ(f.editor()->textBytes(), "set three");
}

TEST_F(MainFormTest, SetMenuListsTheTenSets)
{
    TMainForm &f = start();
    const auto actions = f.setMenu()->actions();
    ASSERT_EQ(actions.size(), 10);
    EXPECT_EQ(actions.first()->text(), "Zibble Set 1 [Shift F1]");
    EXPECT_EQ(actions.last()->text(), "Zibble Set 10 [Shift F10]");
}

TEST_F(MainFormTest, SaveWithoutEditsWritesNothing)
{
    TMainForm &f = start();
    f.zibbleSlots().SaveActiveZibble();
    click(3);
    f.zibbleSlots().SelectSet(2);
    EXPECT_FALSE(std::filesystem::exists(slot(1, 1)));
    EXPECT_FALSE(std::filesystem::exists(slot(1, 3)));
}

TEST_F(MainFormTest, UneditedBytesSurviveAnEditElsewhere)
{
    std::string line;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            line += char(b);
    put(1, 1, line + "\r\nsecond\r\n");
    TMainForm &f = start();
    f.editor()->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    type("third");
    f.zibbleSlots().SaveActiveZibble();
    EXPECT_EQ(fileText(1, 1), line + "\r\nsecond\r\nthird");
}

TEST_F(MainFormTest, AFailedSaveReportsThePathAndKeepsTheEdit)
{
    put(1, 1, "original");
    ::chmod(slot(1, 1).c_str(), 0444);
    TMainForm &f = start();
    type("new ");
    QTest::mouseClick(f.saveButton(), Qt::LeftButton); // the error ends the click's handler
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "Cannot create file " + slot(1, 1));
    EXPECT_TRUE(f.zibbleSlots().EditorModified());
    EXPECT_TRUE(f.saveButton()->isEnabled());
    EXPECT_EQ(f.editor()->textBytes(), "new original");
    EXPECT_EQ(fileText(1, 1), "original");

    // Choosing another slot fails the same way and stays on the edited slot.
    click(2);
    EXPECT_EQ(messages.errors.size(), 2u);
    EXPECT_EQ(pressedSlot(), 1);
    EXPECT_EQ(f.state().ActiveFileName, slot(1, 1));
    EXPECT_EQ(f.editor()->textBytes(), "new original");
}

TEST_F(MainFormTest, ASetChangeWhoseSaveFailsChangesNothing)
{
    put(1, 1, "original");
    ::chmod(slot(1, 1).c_str(), 0444);
    TMainForm &f = start();
    type("new ");
    EXPECT_THROW(f.zibbleSlots().SelectSet(4), AppError);
    EXPECT_EQ(f.state().CurrentSet, 1);
    EXPECT_EQ(f.setButton()->text(), "Zibble Set 1");
    EXPECT_EQ(pressedSlot(), 1);
    EXPECT_EQ(f.state().ActiveFileName, slot(1, 1));
    EXPECT_EQ(f.editor()->textBytes(), "new original");
    EXPECT_TRUE(f.saveButton()->isEnabled());
}

TEST_F(MainFormTest, AnUnreadableSlotLeavesTheShownSlotAsItWas)
{
    TMainForm &f = start();
    std::filesystem::create_directory(slot(1, 9)); // a folder where F9 should be
    type("edit");
    click(9);
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "Cannot open file " + slot(1, 9));
    EXPECT_EQ(fileText(1, 1), "edit"); // the edit was saved before
    EXPECT_EQ(f.state().ActiveFileName, slot(1, 1));
    EXPECT_EQ(pressedSlot(), 1);
    EXPECT_EQ(f.editor()->textBytes(), "edit");
}

TEST_F(MainFormTest, WithATrayClosingHidesAndOnlyExitEnds)
{
    TMainForm &f = start();
    f.trayIcon()->isAvailable = [] { return true; };
    f.show();
    EXPECT_FALSE(f.close());
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.state().ExitRequested);
    f.RestoreFromTray();
    EXPECT_TRUE(f.isVisible());
}

TEST_F(MainFormTest, WithoutATrayClosingMinimisesInsteadOfHiding)
{
    TMainForm &f = start();
    f.trayIcon()->isAvailable = [] { return false; };
    f.show();
    EXPECT_FALSE(f.close());
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.isVisible()) << "hidden with no tray icon to bring it back";
    EXPECT_TRUE(f.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(f.state().ExitRequested);
    f.RestoreFromTray();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.windowState() & Qt::WindowMinimized);
}

TEST_F(MainFormTest, ExitSavesAnEditFirst)
{
    TMainForm &f = start();
    f.show();
    type("last words");
    f.Exit1Click();
    EXPECT_EQ(fileText(1, 1), "last words");
    EXPECT_TRUE(f.state().ExitRequested);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(MainFormTest, ExitWhoseSaveFailsAsksWhetherToDiscardTheEditAndExitOrGoBack)
{
    // Set 1's folder is a file, so the edit cannot be saved.
    ASSERT_TRUE(writeFileAtomically(dir.file("Set1"), "a file"));
    TMainForm &f = start();
    f.show();
    type("x");
    for (const bool discard : {false, true}) {
        messages.answerYes = discard;
        messages.questions.clear();
        f.Exit1Click();
        ASSERT_EQ(messages.questions.size(), 1u) << "discard " << discard;
        EXPECT_NE(messages.questions[0].find("Cannot create file " + slot(1, 1)), std::string::npos)
            << messages.questions[0];
        EXPECT_EQ(f.state().ExitRequested, discard);
        EXPECT_EQ(f.isVisible(), !discard);
        EXPECT_EQ(readWholeFile(dir.file("Set1")), "a file") << "nothing is written";
    }
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainFormTest, OddFilesLoadAndUneditedSlotsAreNeverRewritten)
{
    std::string huge(3 * 1024 * 1024, 'a');
    huge += "\n" + std::string(1 << 20, '\xe9') + "\r";
    put(1, 1, "cr\ronly\r");
    put(1, 2, "lf\nonly");
    put(1, 3, huge);
    put(1, 4, std::string("nul\0inside", 10));
    TMainForm &f = start();
    EXPECT_EQ(f.editor()->textBytes(), "cr\r\nonly\r\n");
    click(2);
    EXPECT_EQ(f.editor()->textBytes(), "lf\r\nonly");
    click(3);
    EXPECT_EQ(f.editor()->textBytes(), withCrLfBreaks(huge));
    click(4);
    EXPECT_EQ(f.editor()->textBytes(), std::string("nul\0inside", 10));
    click(1);
    // Only an edit writes a slot file: the files keep their own line breaks.
    EXPECT_EQ(fileText(1, 1), "cr\ronly\r");
    EXPECT_EQ(fileText(1, 2), "lf\nonly");
    EXPECT_EQ(fileText(1, 3), huge);
}
