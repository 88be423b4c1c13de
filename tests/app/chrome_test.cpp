// The main window's chrome: the fixed size and the place of every control,
// the pictures, font and hints, the " Emotes" button with its insertion menu,
// the message about misplaced commands, and the logo animation.
#include "fakes/formharness.h"

#include "library/editortesting.h"

#include "app/chrome.h"
#include "app/logoanimation.h"
#include "app/picture.h"
#include "library/zibbleeditor.h"
#include "library/zibbleslots.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QStyleHintReturnMask>
#include <QStyleOption>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace zibbles;
using zibbles::testing::FormHarness;
using zibbles::testing::pointOfOffset;

namespace {

const char *const kMisplaced =
    "Zibbles commands must be on lines by themselves with not spaces before them or after them.";

class ChromeTest : public ::testing::Test {
protected:
    TMainForm &form() { return *harness.form; }
    WindowChrome &chrome() { return *harness.form->chrome(); }
    QPushButton *button(const QString &caption)
    {
        for (auto *candidate : form().findChildren<QPushButton *>())
            if (candidate->text() == caption)
                return candidate;
        return nullptr;
    }
    void showForm()
    {
        form().show();
        QCoreApplication::processEvents();
    }

    FormHarness harness;
};

struct Place {
    const char *caption;
    QRect geometry;
    const char *hint;
};

} // namespace

TEST_F(ChromeTest, EveryControlHasItsPlaceCaptionAndHint)
{
    const Place places[] = {
        {"Zibble Set 1", {296, 125, 105, 22}, "You may only have 12 Function keys but you have 10 sets!"},
        {"Save", {128, 125, 65, 22}, "Save edited work"},
        {" Emotes", {200, 125, 89, 22}, "Quick access to common Zibbles emotes and commands."},
        {"Screen Shots", {192, 32, 105, 22}, "Open screen shots folder"},
        {"Options", {328, 64, 81, 22}, "Set options and hot keys"},
        {"Live Share", {168, 80, 89, 22}, "LIVE SHARE!!!!"},
    };
    for (const Place &place : places) {
        QPushButton *found = button(QString::fromLatin1(place.caption));
        ASSERT_NE(found, nullptr) << place.caption;
        EXPECT_EQ(found->geometry(), place.geometry) << place.caption;
        EXPECT_EQ(found->toolTip().toStdString(), place.hint) << place.caption;
    }
    EXPECT_EQ(form().emotesButton(), button(QStringLiteral(" Emotes")));
    EXPECT_EQ(form().emotesButton()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form().editor()->geometry(), QRect(32, 152, 393, 257));
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(form().slotButton(k)->geometry(), QRect(24 + 32 * (k - 1), 416, 27, 22)) << k;
}

TEST_F(ChromeTest, PicturesLieUnderTheControlsAndOnlyTheHotSpotTakesClicks)
{
    EXPECT_EQ(chrome().background()->geometry(), QRect(0, 0, 460, 460));
    EXPECT_EQ(chrome().logo()->geometry(), QRect(16, 16, 138, 128));
    EXPECT_EQ(chrome().alternateLogo()->geometry(), QRect(16, 16, 138, 128));
    for (Picture *picture : {chrome().background(), chrome().logo(), chrome().alternateLogo()})
        EXPECT_TRUE(picture->isLoaded());
    showForm();
    EXPECT_TRUE(chrome().logo()->isVisible());
    EXPECT_FALSE(chrome().alternateLogo()->isVisible());

    EXPECT_EQ(chrome().logoHotSpot()->geometry(), QRect(32, 24, 33, 33));
    EXPECT_EQ(form().childAt(48, 40), chrome().logoHotSpot());  // the circle's middle
    EXPECT_EQ(form().childAt(33, 25), nullptr);                 // its box's corner is the picture's
    EXPECT_EQ(form().childAt(244, 136), form().emotesButton());
    EXPECT_EQ(form().childAt(100, 100), nullptr);
}

TEST_F(ChromeTest, TheWindowKeepsItsSize)
{
    showForm();
    EXPECT_EQ(form().size(), QSize(459, 461));
    EXPECT_EQ(form().minimumSize(), form().maximumSize());
    form().resize(600, 500);
    EXPECT_EQ(form().size(), QSize(459, 461));
    form().showMaximized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form().windowState() & Qt::WindowMaximized);
    form().showFullScreen();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form().windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(form().size(), QSize(459, 461));
}

TEST_F(ChromeTest, FontAndBalloonHints)
{
    const QStringList faces{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"};
    EXPECT_TRUE(faces.contains(form().font().family())) << form().font().family().toStdString();
    EXPECT_EQ(form().font().pointSize(), 8);
    EXPECT_EQ(form().emotesButton()->font(), form().font());
    EXPECT_EQ(QToolTip::font(), form().font());

    QStyle *style = form().style();
    EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
    QStyleOption option;
    option.rect = QRect(0, 0, 120, 24);
    QStyleHintReturnMask mask;
    ASSERT_TRUE(style->styleHint(QStyle::SH_ToolTip_Mask, &option, nullptr, &mask));
    EXPECT_TRUE(mask.region.contains(QPoint(60, 12)));
    EXPECT_FALSE(mask.region.contains(QPoint(0, 0))); // rounded corners
    EXPECT_FALSE(mask.region.contains(QPoint(119, 23)));
}

TEST_F(ChromeTest, TheEmotesButtonDropsDownTheInsertionMenuWhichEditsTheZibble)
{
    showForm();
    QPushButton *emotes = form().emotesButton();
    QTest::mouseClick(emotes, Qt::LeftButton);
    QMenu *menu = form().insertionMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), emotes->mapToGlobal(QPoint(0, 22)));
    menu->hide();

    EXPECT_FALSE(form().zibbleSlots().EditorModified());
    QMenu *script = menu->actions().at(0)->menu();
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->title(), "Script Advanced");
    script->actions().at(2)->trigger();
    EXPECT_EQ(form().editor()->textBytes(), "%loop_zibble%");
    EXPECT_TRUE(form().zibbleSlots().EditorModified());
    EXPECT_TRUE(form().saveButton()->isEnabled());
}

TEST_F(ChromeTest, ClickingASpacedCommandExplainsWhatIsWrong)
{
    showForm();
    ZibbleEditor *editor = form().editor();
    editor->setTextBytes(" %media=\"a.wav\"%\r\n%media=\"a.wav\"%");
    const std::string text = editor->textBytes();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, pointOfOffset(*editor, long(text.find("a.wav"))));
    EXPECT_EQ(harness.messages.messages, std::vector<std::string>{kMisplaced});

    harness.messages.messages.clear();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, pointOfOffset(*editor, long(text.rfind("a.wav"))));
    QTest::mouseClick(editor->viewport(), Qt::RightButton, {}, pointOfOffset(*editor, long(text.rfind("a.wav"))));
    EXPECT_TRUE(harness.messages.messages.empty());
    QTest::mouseClick(editor->viewport(), Qt::RightButton, {}, pointOfOffset(*editor, 0));
    EXPECT_EQ(harness.messages.messages, std::vector<std::string>{kMisplaced});
}

TEST_F(ChromeTest, TheLogoAnimationRunsOnceForTwoSecondsWhateverTheClicks)
{
    showForm();
    RoundHotSpot *spot = chrome().logoHotSpot();
    const QTimer &timer = chrome().logoAnimation()->timer();
    EXPECT_TRUE(timer.isSingleShot());
    EXPECT_EQ(timer.interval(), 2000);

    QTest::mouseClick(spot, Qt::LeftButton, {}, QPoint(1, 1)); // outside the circle
    EXPECT_FALSE(timer.isActive());

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(spot, Qt::RightButton, {}, QPoint(16, 16));
    EXPECT_TRUE(timer.isActive());
    EXPECT_FALSE(chrome().logo()->isVisible());
    EXPECT_TRUE(chrome().alternateLogo()->isVisible());

    // A coarse timer may report its full interval for a while, so the
    // second click comes a second later and restarting shows in the end time.
    QTest::qWait(1000);
    QTest::mouseClick(spot, Qt::LeftButton, {}, QPoint(16, 16));
    EXPECT_TRUE(timer.isActive());
    EXPECT_TRUE(chrome().alternateLogo()->isVisible());

    EXPECT_TRUE(QTest::qWaitFor([&] { return chrome().logo()->isVisible(); }, 5000));
    EXPECT_GE(clock.elapsed(), 1800); // not cut short by the second click
    EXPECT_LT(clock.elapsed(), 2700); // nor started again by it
    EXPECT_FALSE(chrome().alternateLogo()->isVisible());
    EXPECT_FALSE(timer.isActive());
}
