// The script editor as a widget: colours, struck-out commands and their hand
// cursor, clicks on coloured text, the right-click menu, and the settings a
// user notices (font, margin, overwrite, block selection, word ends, scroll
// bars, the end-of-text line).
#include "editortesting.h"

#include "library/editmenu.h"
#include "library/zibblelexer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace zibbles;
using zibbles::testing::ShownEditor;
using Sci = QsciScintillaBase;

namespace {

const std::string kSample = "%delay=\"500\"%\r\n"          // complete delay
                            " %media=\"ding.wav\"%\r\n"    // space in front
                            "%MEDIA=\"x.wav\" loud\r\n"    // closed at the quote only
                            "hi %DELAY=\"9\"%\r\n"         // space in front, mid line
                            "%loop_zibble%\r\n"
                            "%LOOP_ZIBBLE%\r\n"
                            "say #1 now";

QColor colourOf(long bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

struct Look {
    QColor text, background;
    bool struck, hand;
};

class EditorTest : public ::testing::Test {
protected:
    int styleAt(long offset) const { return int(shown.send(Sci::SCI_GETSTYLEAT, offset)); }
    Look lookAt(long offset) const
    {
        const int style = styleAt(offset);
        return {colourOf(shown.send(Sci::SCI_STYLEGETFORE, style)), colourOf(shown.send(Sci::SCI_STYLEGETBACK, style)),
                shown.send(Sci::SCI_INDICATORVALUEAT, kStrikeOutIndicator, offset) != 0,
                shown.send(Sci::SCI_STYLEGETHOTSPOT, style) != 0};
    }
    void expectLook(long offset, QColor text, QColor background, bool struck, const char *what) const
    {
        ASSERT_GE(offset, 0) << what;
        const Look look = lookAt(offset);
        EXPECT_EQ(look.text, text) << what;
        EXPECT_EQ(look.background, background) << what;
        EXPECT_EQ(look.struck, struck) << what;
        EXPECT_EQ(look.hand, struck) << what; // the hand shows over struck-out text only
    }
    // Clicks with `button` at the character and returns the reported contexts.
    std::vector<int> clickAt(long offset, Qt::MouseButton button = Qt::LeftButton)
    {
        std::vector<int> contexts;
        auto connection = QObject::connect(&shown.editor, &ZibbleEditor::colouredTextClicked,
                                           [&](int context, long, long) { contexts.push_back(context); });
        QTest::mouseClick(shown.editor.viewport(), button, {}, shown.pointOf(offset));
        QObject::disconnect(connection);
        return contexts;
    }

    ShownEditor shown;
    const QColor black{0, 0, 0}, red{255, 0, 0}, yellow{255, 255, 0}, lightYellow{255, 255, 128},
        grey{128, 128, 128};
};

} // namespace

TEST_F(EditorTest, EachRuleDrawsItsColoursAtItsOffsets)
{
    shown.load(kSample);
    const QColor paper = colourOf(shown.send(Sci::SCI_STYLEGETBACK, 0));
    const QColor ink = colourOf(shown.send(Sci::SCI_STYLEGETFORE, 0));

    expectLook(shown.offsetOf("%delay"), black, yellow, false, "delay command start");
    expectLook(shown.offsetOf("\"%\r\n"), black, yellow, false, "delay command's closing quote");
    expectLook(shown.offsetOf("\"%\r\n") + 1, black, yellow, false, "delay command's closing percent");

    const long spaced = shown.offsetOf(" %media");
    expectLook(spaced, red, yellow, true, "space in front of a media command");
    expectLook(shown.offsetOf("ding"), red, yellow, true, "file name of a spaced media command");
    expectLook(shown.offsetOf(".wav\"%") + 4, red, yellow, true, "its closing quote");
    expectLook(shown.offsetOf(".wav\"%") + 5, ink, paper, false, "the percent after it is plain");

    expectLook(shown.offsetOf("%MEDIA"), black, lightYellow, false, "media command closed by the quote");
    expectLook(shown.offsetOf(" loud"), ink, paper, false, "text after it");

    expectLook(shown.offsetOf("hi"), ink, paper, false, "chat text before a spaced delay");
    expectLook(shown.offsetOf(" %DELAY"), red, yellow, true, "space in front of a delay command");
    expectLook(shown.offsetOf("9\""), red, yellow, true, "its milliseconds");

    expectLook(shown.offsetOf("%loop_zibble%") + 5, black, yellow, false, "loop keyword");
    expectLook(shown.offsetOf("%LOOP_ZIBBLE%") + 5, ink, paper, false, "loop keyword in capitals");

    expectLook(shown.offsetOf("say"), ink, paper, false, "chat before a hash");
    expectLook(shown.offsetOf("#1"), grey, paper, false, "the hash");
    expectLook(shown.offsetOf("now"), grey, paper, false, "the rest of the line after the hash");
}

TEST_F(EditorTest, ColoursFollowEdits)
{
    shown.load("%media=\"a.wav\"%");
    EXPECT_FALSE(lookAt(0).struck);
    shown.editor.setCursorPosition(0, 0);
    QTest::keyClick(&shown.editor, Qt::Key_Space);
    QCoreApplication::processEvents();
    shown.send(Sci::SCI_COLOURISE, 0, -1);
    EXPECT_TRUE(lookAt(0).struck);
    EXPECT_TRUE(lookAt(5).struck);
    QTest::keyClick(&shown.editor, Qt::Key_Backspace);
    shown.send(Sci::SCI_COLOURISE, 0, -1);
    EXPECT_FALSE(lookAt(0).struck);
    EXPECT_EQ(lookAt(0).background, yellow);
}

TEST_F(EditorTest, TheMouseTurnsToAHandOverStruckOutTextOnly)
{
    shown.load(kSample);
    QWidget *viewport = shown.editor.viewport();
    auto cursorOver = [&](long offset) {
        const QPoint at = shown.pointOf(offset);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        return viewport->cursor().shape();
    };
    EXPECT_EQ(cursorOver(shown.offsetOf("ding")), Qt::PointingHandCursor);
    EXPECT_NE(cursorOver(shown.offsetOf("loud")), Qt::PointingHandCursor);
    EXPECT_NE(cursorOver(shown.offsetOf("500")), Qt::PointingHandCursor);
    EXPECT_EQ(cursorOver(shown.offsetOf("9\"")), Qt::PointingHandCursor);
}

TEST_F(EditorTest, ClickingColouredTextReportsItsContextAndSpan)
{
    shown.load(kSample);
    long start = -1, stop = -1;
    QObject::connect(&shown.editor, &ZibbleEditor::colouredTextClicked, [&](int, long a, long b) {
        start = a;
        stop = b;
    });
    EXPECT_EQ(clickAt(shown.offsetOf("ding")), std::vector<int>{5});
    EXPECT_EQ(start, shown.offsetOf(" %media"));
    EXPECT_EQ(stop, shown.offsetOf(".wav\"%") + 5);

    // The same command at the start of its line is context 1.
    EXPECT_EQ(clickAt(shown.offsetOf("%MEDIA")), std::vector<int>{1});
    EXPECT_EQ(clickAt(shown.offsetOf("500")), std::vector<int>{1});
    EXPECT_EQ(clickAt(shown.offsetOf(" %DELAY") + 3), std::vector<int>{5});
    // Plain text reports nothing.
    EXPECT_TRUE(clickAt(shown.offsetOf("loud") + 1).empty());
    EXPECT_TRUE(clickAt(shown.offsetOf("%LOOP")).empty());
}

TEST_F(EditorTest, TheRightButtonReportsButADraggedSelectionDoesNot)
{
    shown.load(kSample);
    EXPECT_EQ(clickAt(shown.offsetOf("ding"), Qt::RightButton), std::vector<int>{5});

    std::vector<int> contexts;
    QObject::connect(&shown.editor, &ZibbleEditor::colouredTextClicked,
                     [&](int context, long, long) { contexts.push_back(context); });
    QWidget *viewport = shown.editor.viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, shown.pointOf(shown.offsetOf(" %media")));
    QMouseEvent move(QEvent::MouseMove, shown.pointOf(shown.offsetOf("ding") + 2),
                     viewport->mapToGlobal(shown.pointOf(shown.offsetOf("ding") + 2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, shown.pointOf(shown.offsetOf("ding") + 2));
    EXPECT_TRUE(shown.editor.hasSelectedText());
    EXPECT_TRUE(contexts.empty());
}

TEST_F(EditorTest, TheRightClickMenuOpensOverPlainTextOnly)
{
    shown.load(kSample);
    QStringList seen;
    auto openAt = [&](long offset) {
        seen.clear();
        QTimer::singleShot(0, [&] {
            if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                for (QAction *item : popup->actions())
                    seen << (item->isSeparator() ? QStringLiteral("-") : item->text());
                popup->close();
            }
        });
        const QPoint at = shown.pointOf(offset);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, shown.editor.viewport()->mapToGlobal(at));
        QApplication::sendEvent(shown.editor.viewport(), &event);
        QCoreApplication::processEvents();
    };
    openAt(shown.offsetOf("loud") + 1);
    EXPECT_EQ(seen, (QStringList{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "&Select all"}));
    openAt(shown.offsetOf("ding"));
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(EditorTest, EditMenuItemsAreEnabledOnlyWhenTheyCanAct)
{
    auto enabled = [&] {
        std::unique_ptr<QMenu> menu(createEditMenu(&shown.editor, nullptr));
        QStringList on;
        for (QAction *item : menu->actions())
            if (!item->isSeparator() && item->isEnabled())
                on << item->text();
        return on;
    };
    QGuiApplication::clipboard()->clear();
    shown.load("");
    EXPECT_EQ(enabled(), QStringList{});

    QTest::keyClicks(&shown.editor, "abc");
    EXPECT_EQ(enabled(), (QStringList{"&Undo", "&Select all"}));

    shown.editor.selectAll(true);
    EXPECT_EQ(enabled(), (QStringList{"&Undo", "Cu&t", "&Copy", "&Select all"}));

    shown.editor.undo();
    QGuiApplication::clipboard()->setText(QStringLiteral("'wave "));
    EXPECT_EQ(enabled(), (QStringList{"&Redo", "&Paste"}));
    QGuiApplication::clipboard()->clear();
}

TEST_F(EditorTest, FontMarginCaretAndUndo)
{
    char face[128] = {};
    shown.editor.SendScintilla(Sci::SCI_STYLEGETFONT, std::uintptr_t{0}, face); // the string overload everywhere
    const QString family = QString::fromLatin1(face);
    const QStringList twins{"Courier New", "Liberation Mono", "Cousine", "DejaVu Sans Mono"};
    EXPECT_TRUE(twins.contains(family) || family == QFontDatabase::systemFont(QFontDatabase::FixedFont).family())
        << family.toStdString();
    for (int style = 0; style <= 8; ++style)
        EXPECT_EQ(shown.send(Sci::SCI_STYLEGETSIZE, style), 8) << style;

    shown.load("abc");
    EXPECT_EQ(shown.send(Sci::SCI_POINTXFROMPOSITION, 0, 0), 15); // text begins after the left margin
    EXPECT_EQ(shown.send(Sci::SCI_GETCARETWIDTH), 1);
    EXPECT_EQ(shown.editor.wrapMode(), QsciScintilla::WrapNone);

    shown.editor.setCursorPosition(0, 3);
    QTest::keyClicks(&shown.editor, "'hmmm ");
    EXPECT_EQ(shown.text(), "abc'hmmm ");
    shown.editor.undo();
    EXPECT_EQ(shown.text(), "abc");
    shown.editor.redo();
    EXPECT_EQ(shown.text(), "abc'hmmm ");
}

TEST_F(EditorTest, InsertTogglesOverwriteWhichStartsOff)
{
    shown.load("abcd");
    shown.editor.setCursorPosition(0, 0);
    EXPECT_FALSE(shown.editor.overwriteMode());
    QTest::keyClick(&shown.editor, Qt::Key_Insert);
    EXPECT_TRUE(shown.editor.overwriteMode());
    QTest::keyClicks(&shown.editor, "XY");
    EXPECT_EQ(shown.text(), "XYcd");
    QTest::keyClick(&shown.editor, Qt::Key_Insert);
    EXPECT_FALSE(shown.editor.overwriteMode());
    QTest::keyClicks(&shown.editor, "Z");
    EXPECT_EQ(shown.text(), "XYZcd");
}

TEST_F(EditorTest, AltShiftArrowsSelectABlock)
{
    shown.load("abc\r\ndef\r\nghi");
    shown.editor.setCursorPosition(0, 1);
    QTest::keyClick(&shown.editor, Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(&shown.editor, Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(shown.send(Sci::SCI_SELECTIONISRECTANGLE));
    QTest::keyClick(&shown.editor, Qt::Key_Delete);
    EXPECT_EQ(shown.text(), "ac\r\ndf\r\nghi");
}

TEST_F(EditorTest, WordsEndAtBlanksAndSeparators)
{
    auto wordEnd = [&](const std::string &text) {
        shown.load(text);
        return shown.send(Sci::SCI_WORDENDPOSITION, 0, 1);
    };
    for (char separator : std::string("$%&,./:;<=> \t"))
        EXPECT_EQ(wordEnd(std::string("ab") + separator + "cd"), 2) << separator;
    for (char joined : std::string("'#!-_\"?*0"))
        EXPECT_EQ(wordEnd(std::string("ab") + joined + "cd"), 5) << joined;
}

TEST_F(EditorTest, ScrollBarsShowOnlyWhenNeeded)
{
    shown.load("short");
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown.editor.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(shown.editor.verticalScrollBar()->isVisible());

    std::string tall;
    for (int i = 0; i < 60; ++i)
        tall += "line\r\n";
    shown.load(tall + std::string(300, 'w'));
    shown.editor.setCursorPosition(60, 300);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.editor.horizontalScrollBar()->isVisible());
    EXPECT_TRUE(shown.editor.verticalScrollBar()->isVisible());

    // Another slot: the long line is gone, and so is the bar.
    shown.load("short");
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown.editor.horizontalScrollBar()->isVisible()) << "the bar stayed after the long line";

    // A long line out of sight below needs the bar as well, before it is seen.
    shown.load(tall + std::string(300, 'w'));
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.editor.horizontalScrollBar()->isVisible()) << "no bar for a line not yet shown";

    // Deleting the long line takes the bar away.
    shown.editor.setSelection(60, 0, 60, 300);
    shown.editor.removeSelectedText();
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown.editor.horizontalScrollBar()->isVisible());
}

TEST_F(EditorTest, ADottedFuchsiaLineLiesUnderTheLastLine)
{
    const QColor fuchsia(255, 0, 255);
    auto fuchsiaIn = [&](const QImage &image, int row) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += QColor(image.pixel(x, row)) == fuchsia;
        return count;
    };
    shown.load("one\r\ntwo");
    const int height = int(shown.send(Sci::SCI_TEXTHEIGHT, 0));
    const int y = shown.editor.endMarkY();
    EXPECT_EQ(y, 2 * height);
    QImage image = shown.editor.viewport()->grab().toImage();
    const int dots = fuchsiaIn(image, y);
    EXPECT_GT(dots, image.width() / 4); // across the editor ...
    EXPECT_LT(dots, image.width() * 3 / 4); // ... and dotted
    EXPECT_EQ(fuchsiaIn(image, y - height / 2), 0);

    QTest::keyClick(&shown.editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&shown.editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.editor.endMarkY(), 3 * height);
    image = shown.editor.viewport()->grab().toImage();
    EXPECT_GT(fuchsiaIn(image, 3 * height), image.width() / 4);
    EXPECT_EQ(fuchsiaIn(image, y), 0);
}
