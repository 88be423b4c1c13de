// Every caption of every window fits its control: the text of each button,
// check box and label, in the font it is drawn in, within the room the style
// leaves it. CTest runs this with only DejaVu, only Liberation, or neither of
// the named fonts installed, as Debian desktops have them.
#include "fakes/formharness.h"

#include "app/chrome.h"
#include "hotkeys/optform.h"
#include "playback/performersdialog.h"
#include "share/livesharebutton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace zibbles;
using zibbles::testing::FormHarness;

namespace {

// The room a control gives its text, and the size its text needs.
struct Room {
    QSize available, needed;
};

QSize textSize(const QWidget *w, const QString &text, int flags = Qt::TextShowMnemonic)
{
    return QFontMetrics(w->font()).size(flags, text);
}

// The room beside the indicator: the control less the indicator and the gap.
Room checkBoxRoom(const QCheckBox *box)
{
    const QStyle *style = box->style();
    const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
    const int gap = style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
    return {QSize(box->width() - indicator - gap, box->height()), textSize(box, box->text())};
}

// The room inside the button's bevel.
Room buttonRoom(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.rect = button->rect();
    const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return {inside.size(), textSize(button, button->text())};
}

Room labelRoom(const QLabel *label)
{
    const QRect inside = label->contentsRect();
    if (!label->wordWrap())
        return {inside.size(), textSize(label, label->text(), Qt::TextShowMnemonic)};
    const QRect wrapped = QFontMetrics(label->font()).boundingRect(QRect(0, 0, inside.width(), 10000),
                                                                   Qt::TextWordWrap, label->text());
    return {inside.size(), wrapped.size()};
}

// "<control> <text>: needs WxH, has WxH" for every caption that does not fit.
std::vector<std::string> cutCaptions(const QWidget *window)
{
    std::vector<std::string> cut;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        Room room;
        QString text;
        if (const auto *box = qobject_cast<const QCheckBox *>(w)) {
            room = checkBoxRoom(box);
            text = box->text();
        } else if (const auto *button = qobject_cast<const QPushButton *>(w)) {
            room = buttonRoom(button);
            text = button->text();
        } else if (const auto *label = qobject_cast<const QLabel *>(w)) {
            room = labelRoom(label);
            text = label->text();
        } else {
            continue;
        }
        if (text.isEmpty() || (room.needed.width() <= room.available.width() &&
                               room.needed.height() <= room.available.height()))
            continue;
        std::ostringstream out;
        out << w->metaObject()->className() << " \"" << text.toStdString() << "\" in "
            << QFontInfo(w->font()).family().toStdString() << " " << QFontInfo(w->font()).pixelSize()
            << "px: needs " << room.needed.width() << "x" << room.needed.height() << ", has "
            << room.available.width() << "x" << room.available.height();
        cut.push_back(out.str());
    }
    return cut;
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string out;
    for (const auto &line : lines)
        out += "\n  " + line;
    return out;
}

class CaptionsTest : public ::testing::Test, protected FormHarness {
protected:
    CaptionsTest() : FormHarness(false) {}
    void SetUp() override
    {
        ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts in this set-up: run scripts/setup";
        start();
        optForm = std::make_unique<TOptForm>(store, [this] { form->SetUpHotkeys(); });
        optForm->setFont(windowFont());
        form->setOptionsForm(optForm.get());
        performers = std::make_unique<TPerformers1>(store, settings, messages);
        form->setPerformersDialog(performers.get());
        form->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        form.reset();
        optForm.reset();
        performers.reset();
    }

    // Opens a dialog as the user would, and measures it while it is shown.
    std::vector<std::string> cutInDialog(const std::function<void()> &open)
    {
        std::vector<std::string> cut;
        bool seen = false;
        QTimer::singleShot(0, form.get(), [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            seen = true;
            cut = cutCaptions(dialog);
            dialog->close();
        });
        open();
        EXPECT_TRUE(seen) << "no dialog was shown";
        return cut;
    }

    std::unique_ptr<TOptForm> optForm;
    std::unique_ptr<TPerformers1> performers;
};

} // namespace

TEST_F(CaptionsTest, MainWindow)
{
    EXPECT_EQ(cutCaptions(form.get()), std::vector<std::string>{}) << joined(cutCaptions(form.get()));
}

TEST_F(CaptionsTest, OptionsDialog)
{
    const auto cut = cutInDialog([this] { form->ToolbarButton973Click(); });
    EXPECT_TRUE(cut.empty()) << joined(cut);
}

TEST_F(CaptionsTest, PerformersDialog)
{
    const auto cut = cutInDialog([this] { form->showPerformersDialog(); });
    EXPECT_TRUE(cut.empty()) << joined(cut);
}

TEST_F(CaptionsTest, LiveShareDialogs)
{
    const QList<QAction *> items = form->liveShareButton()->menu()->actions();
    ASSERT_GE(items.size(), 2);
    for (QAction *item : {items[0], items[1]}) {
        const auto cut = cutInDialog([item] { item->trigger(); });
        EXPECT_TRUE(cut.empty()) << item->text().toStdString() << joined(cut);
    }
}
