// Playback wired into the main window: a zibble typed into the desktop by
// RunZibble, the sound player, sleep mode, and the performers settings and
// dialog at start-up.
#include "fakes/fakedesktop.h"
#include "fakes/fakemediaplayer.h"
#include "fakes/fakepump.h"
#include "fakes/formharness.h"
#include "fakes/recordingmessages.h"

#include "app/application.h"
#include "app/mainform.h"
#include "core/programsettings.h"
#include "library/zibbleslots.h"
#include "platform/atomicfile.h"
#include "platform/eventloop.h"
#include "platform/userstore.h"
#include "playback/chatoutput.h"
#include "playback/performersdialog.h"
#include "playback/playback.h"
#include "playback/scriptrunner.h"
#include "playback/sleepmode.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

#include <map>

#include <gtest/gtest.h>

using namespace zibbles;
using namespace zibbles::testing;

namespace {

class MainFormPlaybackTest : public ::testing::Test, protected FormHarness {
protected:
    MainFormPlaybackTest() : FormHarness(false)
    {
        desktop.windows = {{"There (OGL)", 3}};
        player.setFileName("left over");
        services.pump = &fakePump;
        services.timers = &fakePump;
        services.desktop = &desktop;
        services.mediaPlayer = &player;
    }

    // The window goes before the fakes it uses.
    void TearDown() override { form.reset(); }

    void storePerformers(const std::string &values)
    {
        ASSERT_TRUE(writeFileAtomically(configDir.file("user.reg"),
                                        "Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced]\r\n" +
                                            values));
    }

    FakePump fakePump;
    FakeDesktop desktop;
    FakeMediaPlayer player;
};

TEST_F(MainFormPlaybackTest, RunZibbleTypesTheSlotOfTheCurrentSetIntoTheThereWindow)
{
    TMainForm &main = start();
    EXPECT_EQ(player.fileName(), "");
    ASSERT_TRUE(writeFileAtomically(dir.file("Set2/F3"), "Hi all!\r\n%delay=\"2000\"%\r\n# quiet\r\n'bow"));
    main.zibbleSlots().SelectSet(2);
    main.playback().runner().RunZibble("F3");
    EXPECT_EQ(desktop.typedText(), "Hi all!\n\r'bow\n\r");
    EXPECT_EQ(fakePump.nowMs(), 2000);
    EXPECT_FALSE(main.state().ZibbleRunning);
    EXPECT_EQ(main.waitTimer().interval(), 2000);
    EXPECT_EQ(main.playback().chat().FindThereWindow(), 3u);
}

TEST_F(MainFormPlaybackTest, NoModifierStaysPressedWhenARunEndsByAnError)
{
    TMainForm &main = start();
    ASSERT_TRUE(writeFileAtomically(dir.file("Set1/F1"), "\xfa\xfc\xfe" "ab\r\n%delay=\"0\"%\r\nnever"));
    main.playback().runner().RunZibble("F1");
    std::map<uint8_t, bool> down;
    for (const KeyEventRecord &e : desktop.events)
        down[e.vk] = !e.up;
    for (const uint8_t modifier : {16, 17, 18})
        EXPECT_FALSE(down[modifier]) << int(modifier);
    EXPECT_EQ(desktop.typedText().find("never"), std::string::npos);
}

TEST_F(MainFormPlaybackTest, SleepModeTypesThroughTheSameOutput)
{
    TMainForm &main = start();
    main.playback().sleep().ToggleSleepMode();
    fakePump.advance(3300);
    main.playback().sleep().ToggleSleepMode();
    EXPECT_EQ(desktop.typedText(), "Sleep mode active. Press hotkey again to come back.\n\r'''z'\n\rBack!\n\r");
    EXPECT_FALSE(main.playback().sleep().SleeperMacro().isActive());
}

TEST_F(MainFormPlaybackTest, StoredPerformersSettingsFilterTheOutputFromStartUp)
{
    storePerformers("\"DirectorMode\"=dword:00000001\r\n\"CharName\"=\"Bob\"\r\n");
    TMainForm &main = start();
    EXPECT_TRUE(settings.PerformersMode);
    main.playback().chat().SendChatLine("Bob: yo\n\r");
    main.playback().chat().SendChatLine("Ann: no\n\r");
    EXPECT_EQ(desktop.typedText(), "yo\n\r");
}

TEST_F(MainFormPlaybackTest, AnUnreadableStoredSettingIsReportedAndTheStartValuesStay)
{
    storePerformers("\"CharName\"=\"Bob\"\r\n");
    start();
    EXPECT_FALSE(settings.PerformersMode);
    EXPECT_EQ(settings.CharacterName, "");
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Failed to get data for 'DirectorMode'"});
}

TEST_F(MainFormPlaybackTest, ThePerformersDialogIsFilledBeforeItShowsAndNotShownOnAReadError)
{
    TMainForm &main = start();
    TPerformers1 dialog(store, settings, messages);
    main.setPerformersDialog(&dialog);

    storePerformers("\"DirectorMode\"=dword:00000001\r\n\"CharName\"=\"Bob\"\r\n");
    bool shown = false;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.isVisible();
        dialog.reject();
    });
    main.showPerformersDialog();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(dialog.DirMode()->isChecked());
    EXPECT_EQ(dialog.DCharName()->text(), "Bob");
    EXPECT_EQ(messages.messages.size(), 2u); // the two warnings

    storePerformers("\"DirectorMode\"=\"1\"\r\n");
    main.showPerformersDialog(); // returns at once: nothing to close
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Invalid data type for 'DirectorMode'"});
}

} // namespace
