// The main window's hotkeys over a recording desktop: start-up registration,
// switching the program off and on, the options dialog, pressed hotkeys and
// the screenshot controls.
#include "fakes/fakeglobalhotkeys.h"
#include "fakes/formharness.h"
#include "fakes/recordingmessages.h"

#include "app/application.h"
#include "app/mainform.h"
#include "app/trayicon.h"
#include "core/programsettings.h"
#include "hotkeys/hotkeycode.h"
#include "hotkeys/hotkeymanager.h"
#include "hotkeys/hotkeyoptions.h"
#include "hotkeys/optform.h"
#include "platform/atomicfile.h"
#include "platform/qt/qteventloop.h"
#include "platform/userstore.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zibbles;
using zibbles::testing::FakeGlobalHotkeys;
using zibbles::testing::RecordingMessages;
using zibbles::testing::FormHarness;

namespace {

const std::string kKeyHeader = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\r\n";

class MainFormHotkeysTest : public ::testing::Test, protected FormHarness {
protected:
    MainFormHotkeysTest() : FormHarness(false) {}
    void TearDown() override
    {
        optForm.reset();
        form.reset();
    }

    TMainForm &start()
    {
        services.hotkeys = &desktop;
        FormHarness::start();
        optForm = std::make_unique<TOptForm>(store, [this] { form->SetUpHotkeys(); });
        form->setOptionsForm(optForm.get());
        return *form;
    }
    void storeOptions(const std::string &values) { ASSERT_TRUE(writeFileAtomically(configDir.file("user.reg"), kKeyHeader + values)); }
    bool registered(unsigned modifiers, unsigned vk) const
    {
        const auto all = desktop.combinations();
        return std::find(all.begin(), all.end(), std::make_pair(modifiers, vk)) != all.end();
    }
    // Runs `inDialog` once the modal options dialog is up, then closes it.
    void whileOptionsShown(const std::function<void()> &inDialog)
    {
        QTimer::singleShot(0, optForm.get(), [this, inDialog] {
            inDialog();
            optForm->reject();
        });
    }

    FakeGlobalHotkeys desktop;
    std::unique_ptr<TOptForm> optForm;
};

} // namespace

TEST_F(MainFormHotkeysTest, StartUpRegistersTheWantedHotkeysAndShowsTheProgramEnabled)
{
    storeOptions("\"F1\"=dword:00000001\r\n\"F2\"=dword:00000000\r\n");
    TMainForm &f = start();
    EXPECT_EQ(desktop.registered.size(), 23u);
    EXPECT_TRUE(registered(0, 112));
    EXPECT_FALSE(registered(0, 113));
    EXPECT_TRUE(registered(ModShift, 121));
    EXPECT_FALSE(registered(ModShift, 122)) << "Shift+F11 is never registered";
    EXPECT_EQ(f.trayIcon()->shownIcon(), 0);
    EXPECT_TRUE(f.trayIcon()->enabledItem()->isChecked());
    EXPECT_FALSE(f.trayIcon()->disabledItem()->isChecked());
}

TEST_F(MainFormHotkeysTest, DisabledProgramUnregistersAndEnabledProgramReadsTheStoreAgain)
{
    TMainForm &f = start();
    const QList<QAction *> items = f.trayIcon()->menu()->actions();
    ASSERT_GE(items.size(), 5);
    EXPECT_EQ(items[2]->text(), "Enabled Program");
    EXPECT_EQ(items[3]->text(), "Disabled Program");
    EXPECT_TRUE(items[4]->isSeparator());

    f.trayIcon()->disabledItem()->trigger();
    EXPECT_TRUE(desktop.registered.empty());
    EXPECT_TRUE(f.HotKeyManager1().entries().empty());
    EXPECT_EQ(f.trayIcon()->shownIcon(), 1);
    EXPECT_TRUE(f.trayIcon()->disabledItem()->isChecked());
    EXPECT_FALSE(f.trayIcon()->enabledItem()->isChecked());
    EXPECT_FALSE(desktop.press(0, 112)) << "F1 does nothing";
    f.trayIcon()->disabledItem()->trigger();
    EXPECT_TRUE(desktop.registered.empty());
    EXPECT_EQ(f.trayIcon()->shownIcon(), 1);

    storeOptions("\"F1\"=dword:00000000\r\n");
    f.trayIcon()->enabledItem()->trigger();
    EXPECT_EQ(desktop.registered.size(), 23u);
    EXPECT_FALSE(registered(0, 112)) << "the option changed meanwhile counts";
    EXPECT_EQ(f.trayIcon()->shownIcon(), 0);
    EXPECT_TRUE(f.trayIcon()->enabledItem()->isChecked());
    f.trayIcon()->enabledItem()->trigger();
    EXPECT_EQ(desktop.registered.size(), 23u);
}

TEST_F(MainFormHotkeysTest, OkAfterDisabledProgramRegistersTheTickedKeysAndTheTrayFollows)
{
    TMainForm &f = start();
    f.DisableProgram();
    optForm->checkBox(0)->setChecked(true);   // F1
    optForm->checkBox(23)->setChecked(true);  // Print Screen
    for (int i = 1; i < 23; ++i)
        optForm->checkBox(i)->setChecked(false);
    QTest::mouseClick(optForm->okButton(), Qt::LeftButton);
    EXPECT_EQ(desktop.combinations(), (std::vector<std::pair<unsigned, unsigned>>{{0, 112}, {0, 44}}));
    EXPECT_EQ(f.trayIcon()->shownIcon(), 0) << "the hotkeys work again: the program is enabled";
    EXPECT_TRUE(f.trayIcon()->enabledItem()->isChecked());
    EXPECT_FALSE(f.trayIcon()->disabledItem()->isChecked());
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainFormHotkeysTest, OnAFirstStartTheDialogShowsEveryHotkeyOnAndOkKeepsThemWorking)
{
    TMainForm &f = start();
    ASSERT_EQ(desktop.registered.size(), 24u);
    std::string ticks;
    QTimer::singleShot(0, optForm.get(), [&] {
        for (int i = 0; i < kHotkeyOptionCount; ++i)
            ticks += optForm->checkBox(i)->isChecked() ? '1' : '0';
        QTest::mouseClick(optForm->okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(f.optionsButton(), Qt::LeftButton);
    EXPECT_EQ(ticks, std::string(24, '1'));
    EXPECT_FALSE(optForm->isVisible());
    EXPECT_EQ(desktop.registered.size(), 24u) << "OK without changes switched hotkeys off";
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainFormHotkeysTest, PressedHotkeysSelectSetsOrOnlyStopARunningZibble)
{
    ASSERT_TRUE(makeFolders(dir.file("Set2")));
    ASSERT_TRUE(writeFileAtomically(dir.file("Set2/F1"), "set two"));
    TMainForm &f = start();
    ASSERT_TRUE(desktop.press(ModShift, 113));
    EXPECT_EQ(f.setButton()->text(), "Zibble Set 2");
    EXPECT_EQ(f.state().CurrentSet, 2);

    f.state().ZibbleRunning = true;
    ASSERT_TRUE(desktop.press(ModShift, 114));
    EXPECT_TRUE(f.state().StopRequested);
    EXPECT_EQ(f.state().CurrentSet, 2) << "the key's own action is dropped";
    f.state().ZibbleRunning = false;
}

TEST_F(MainFormHotkeysTest, OptionsButtonLoadsTheStoredOptionsAndShowsTheDialogModally)
{
    TMainForm &f = start();
    QPushButton *options = f.optionsButton();
    EXPECT_EQ(options->text(), "Options");
    EXPECT_EQ(options->geometry(), QRect(328, 64, 81, 22));
    EXPECT_EQ(options->toolTip(), "Set options and hot keys");
    EXPECT_EQ(options->cursor().shape(), Qt::PointingHandCursor);
    const QList<QAction *> menu = f.optionsMenu()->actions();
    ASSERT_EQ(menu.size(), 2);
    EXPECT_EQ(menu[0]->text(), "Main Options");
    EXPECT_EQ(menu[1]->text(), "Performers [The Director's Cut]");

    std::string all24;
    for (const HotkeyOption &o : hotkeyOptions())
        all24 += std::string("\"") + o.valueName + "\"=dword:0000000" + (o.index % 2 ? "1" : "0") + "\r\n";
    storeOptions(all24);
    bool shownModally = false;
    std::string ticks;
    whileOptionsShown([&] {
        shownModally = optForm->isVisible() && optForm->isModal();
        for (int i = 0; i < kHotkeyOptionCount; ++i)
            ticks += optForm->checkBox(i)->isChecked() ? '1' : '0';
    });
    QTest::mouseClick(options, Qt::LeftButton);
    EXPECT_TRUE(shownModally);
    EXPECT_EQ(ticks, "101010101010101010101010");
    EXPECT_FALSE(optForm->isVisible());

    // The menu item does the same.
    shownModally = false;
    whileOptionsShown([&] { shownModally = optForm->isVisible(); });
    menu[0]->trigger();
    EXPECT_TRUE(shownModally);
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainFormHotkeysTest, AnUnreadableOptionIsReportedThenTheDialogShowsWhatIsInEffectAndOkRepairsIt)
{
    TMainForm &f = start();
    // From the button and from the options menu's "Main Options".
    const std::vector<std::function<void()>> entries{
        [&] { QTest::mouseClick(f.optionsButton(), Qt::LeftButton); },
        [&] { f.optionsMenu()->actions().at(0)->trigger(); },
    };
    for (const auto &open : entries) {
        messages.errors.clear();
        storeOptions("\"F1\"=dword:00000001\r\n\"F2\"=dword:00000000\r\n\"F3\"=dword:00000001\r\n"
                     "\"F4\"=dword:00000001\r\n\"F5\"=dword:00000001\r\n\"F6\"=\"0\"\r\n\"F7\"=dword:00000000\r\n");
        f.SetUpHotkeys();
        std::string ticks;
        std::vector<std::string> errorsBeforeTheDialog;
        QTimer::singleShot(0, optForm.get(), [&] {
            errorsBeforeTheDialog = messages.errors;
            for (int i = 0; i < kHotkeyOptionCount; ++i)
                ticks += optForm->checkBox(i)->isChecked() ? '1' : '0';
            QTest::mouseClick(optForm->okButton(), Qt::LeftButton);
        });
        open();
        EXPECT_EQ(errorsBeforeTheDialog, std::vector<std::string>{"Invalid data type for 'F6'"});
        EXPECT_EQ(ticks, "10111" + std::string(19, '1')) << "as the hotkeys were set up";
        EXPECT_FALSE(optForm->isVisible());

        RegistryKey key(store);
        ASSERT_TRUE(key.openKeyReadOnly(kHotkeyOptionsKey));
        for (const HotkeyOption &option : hotkeyOptions())
            EXPECT_NO_THROW(key.readInteger(option.valueName)) << option.valueName << " is not repaired";
        EXPECT_EQ(key.readInteger("F6"), 1);
        EXPECT_EQ(key.readInteger("F7"), 1) << "F7 was in effect, whatever its stored 0 said";
        EXPECT_EQ(messages.errors.size(), 1u);
    }
}

TEST_F(MainFormHotkeysTest, ASettingsFileThatCannotBeReadIsKeptAsideAndTheUserIsTold)
{
    const std::string garbage = "not a registry export \x01\r\n";
    ASSERT_TRUE(writeFileAtomically(configDir.file("user.reg"), garbage));
    TMainForm &f = start();
    EXPECT_TRUE(messages.messages.empty()) << "reading alone keeps nothing aside";
    QTimer::singleShot(0, optForm.get(), [&] { QTest::mouseClick(optForm->okButton(), Qt::LeftButton); });
    QTest::mouseClick(f.optionsButton(), Qt::LeftButton);
    const std::string copy = configDir.file("user.reg") + ".unreadable";
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Zibbles could not read all of its settings file \"" +
                                                          configDir.file("user.reg") + "\". A copy of it is kept as \"" +
                                                          copy + "\"."});
    EXPECT_EQ(readWholeFile(copy), garbage);
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MainFormHotkeysTest, TheDialogMarksTheKeysAnotherProgramHoldsWithANote)
{
    desktop.heldElsewhere = {{0, 44}, {ModShift, 121}}; // Print Screen, Shift+F10
    TMainForm &f = start();
    ASSERT_EQ(desktop.registered.size(), 22u);
    for (const bool disabled : {false, true}) {
        if (disabled)
            f.DisableProgram();
        const auto before = desktop.combinations();
        std::string marks;
        bool noteShown = false;
        QTimer::singleShot(0, optForm.get(), [&] {
            for (int i = 0; i < kHotkeyOptionCount; ++i)
                marks += optForm->isMarkedHeld(i) ? 'H' : '.';
            noteShown = optForm->heldNote()->isVisible();
            optForm->reject();
        });
        QTest::mouseClick(f.optionsButton(), Qt::LeftButton);
        EXPECT_EQ(marks, std::string(21, '.') + "H.H") << "disabled " << disabled;
        EXPECT_TRUE(noteShown);
        EXPECT_EQ(desktop.combinations(), before) << "looking leaves the registrations as they were";
    }

    desktop.heldElsewhere.clear();
    bool noteShown = true;
    QTimer::singleShot(0, optForm.get(), [&] {
        noteShown = optForm->heldNote()->isVisible();
        optForm->reject();
    });
    QTest::mouseClick(f.optionsButton(), Qt::LeftButton);
    EXPECT_FALSE(noteShown) << "no key is held: no note";
    EXPECT_FALSE(optForm->isMarkedHeld(23));
}

TEST_F(MainFormHotkeysTest, ScreenShotsButtonAndPrintScreen)
{
    TMainForm &f = start();
    QPushButton *shots = f.screenShotsButton();
    EXPECT_EQ(shots->text(), "Screen Shots");
    EXPECT_EQ(shots->geometry(), QRect(192, 32, 105, 22));
    EXPECT_EQ(shots->toolTip(), "Open screen shots folder");
    EXPECT_EQ(shots->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(shots, Qt::LeftButton);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"\"" + dir.path() + "ScreenShots\" is not a folder."});

    ASSERT_TRUE(desktop.press(0, 44));
    EXPECT_FALSE(folderExists(dir.file("ScreenShots"))) << "the program never creates the folder";

    ASSERT_TRUE(makeFolders(dir.file("ScreenShots")));
    ASSERT_TRUE(desktop.press(0, 44));
    const QStringList files = QDir(QString::fromStdString(dir.file("ScreenShots"))).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].endsWith(".bmp"));
    QImage shot;
    ASSERT_TRUE(shot.load(QString::fromStdString(dir.file("ScreenShots/")) + files[0], "BMP"));
    EXPECT_EQ(shot.size(), QGuiApplication::primaryScreen()->geometry().size());
    EXPECT_TRUE(messages.errors.empty());
}
