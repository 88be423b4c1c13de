// Performers settings in the per-user store, and the performers dialog.
#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"

#include "core/error.h"
#include "core/programsettings.h"
#include "platform/atomicfile.h"
#include "platform/userstore.h"
#include "playback/performers.h"
#include "playback/performersdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zibbles;
using namespace zibbles::testing;

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced]\r\n";

class PerformersTest : public ::testing::Test {
protected:
    void store(const std::string &values) { ASSERT_TRUE(writeFileAtomically(dir.file("user.reg"), kHeader + values)); }
    std::string stored() { return readWholeFile(dir.file("user.reg")).value_or("<none>"); }

    TempDir dir;
    UserStore userStore{dir.file("user.reg")};
    ProgramSettings settings;
    RecordingMessages messages;
};

TEST_F(PerformersTest, LoadingReplacesTheSettingsOnlyWhenTheKeyExists)
{
    settings.CharacterName = "start";
    LoadPerformersSettings(userStore, settings);
    EXPECT_FALSE(settings.PerformersMode);
    EXPECT_EQ(settings.CharacterName, "start");

    store("\"DirectorMode\"=dword:00000002\r\n\"CharName\"=\"" + std::string(300, 'n') + "\"\r\n");
    LoadPerformersSettings(userStore, settings);
    EXPECT_TRUE(settings.PerformersMode);
    EXPECT_EQ(settings.CharacterName, std::string(255, 'n'));

    store("\"DirectorMode\"=dword:00000000\r\n");
    LoadPerformersSettings(userStore, settings);
    EXPECT_FALSE(settings.PerformersMode);
    EXPECT_EQ(settings.CharacterName, "");
}

TEST_F(PerformersTest, TheStoredNameBecomesWindows1252Text)
{
    applyPerformersSettings({true, "Zo\xc3\xab \xe2\x82\xac\xce\xa9"}, settings); // Zoë €Ω
    EXPECT_EQ(settings.CharacterName, "Zo\xeb \x80?");
}

TEST_F(PerformersTest, AValueThatCannotBeReadRaisesAndChangesNothing)
{
    settings.CharacterName = "start";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\"CharName\"=\"Bob\"\r\n", "Failed to get data for 'DirectorMode'"},
        {"\"DirectorMode\"=\"1\"\r\n", "Invalid data type for 'DirectorMode'"},
        {"\"DirectorMode\"=dword:00000001\r\n\"CharName\"=dword:00000001\r\n", "Invalid data type for 'CharName'"},
    };
    for (const auto &[values, error] : cases) {
        store(values);
        try {
            LoadPerformersSettings(userStore, settings);
            ADD_FAILURE() << "no error for " << values;
        } catch (const AppError &e) {
            EXPECT_EQ(std::string(e.what()), error);
        }
        EXPECT_FALSE(settings.PerformersMode);
        EXPECT_EQ(settings.CharacterName, "start");
    }
}

class PerformersDialogTest : public PerformersTest {
protected:
    TPerformers1 dialog{userStore, settings, messages};
};

const std::vector<std::string> kWarnings = {
    "You are about to go into performers mode. Standard Zibbles will not work in performers mode. See the Zibbles "
    "web site for additional information on performers mode and its use in THERE.",
    "During testing it was found that some users assumed Zibbles stopped working for them, when in fact they we in "
    "performers mode. If you are not sure about performs mode please leave this box unchecked.",
};

TEST_F(PerformersDialogTest, ShowsItsTextsAndStartsOffWithAnEmptyName)
{
    EXPECT_EQ(dialog.windowTitle(), "Performers [The Director's Cut]");
    EXPECT_EQ(dialog.DirModeText()->text(),
              "With this option all chat dialog will be ignored except chat dialog lines that start with your character "
              "name. Zibbles will still process all delays so the timing is in sequence! ");
    EXPECT_EQ(dialog.RzLabel2()->text(),
              "In Performers mode you need to tell Zibbles what character you are in a performance so it knows what to "
              "process. Note: Character name is case sensitive.");
    EXPECT_EQ(dialog.RzToolbarButton1()->toolTip(), "Accept");
    EXPECT_EQ(dialog.RzToolbarButton2()->toolTip(), "Reject");
    dialog.LoadFromRegistry();
    EXPECT_FALSE(dialog.DirMode()->isChecked());
    EXPECT_EQ(dialog.DCharName()->text(), "");
    EXPECT_EQ(stored(), "<none>"); // only OK creates the key
}

TEST_F(PerformersDialogTest, CheckingTheBoxWarnsTwiceAndUncheckingSaysNothing)
{
    dialog.DirMode()->click();
    EXPECT_EQ(messages.messages, kWarnings);
    dialog.DirMode()->click();
    EXPECT_EQ(messages.messages.size(), 2u);
}

TEST_F(PerformersDialogTest, LoadingTurnsTheBoxOnWithTheWarningsOnlyWhenItWasOff)
{
    store("\"DirectorMode\"=dword:00000001\r\n\"CharName\"=\"Bob \"\r\n");
    dialog.LoadFromRegistry();
    EXPECT_TRUE(dialog.DirMode()->isChecked());
    EXPECT_EQ(dialog.DCharName()->text(), "Bob ");
    EXPECT_EQ(messages.messages, kWarnings);
    dialog.LoadFromRegistry();
    EXPECT_EQ(messages.messages.size(), 2u);
}

TEST_F(PerformersDialogTest, ABadStoredValueLeavesTheControlsAsTheyWere)
{
    dialog.DCharName()->setText("Kept");
    store("\"CharName\"=\"Bob\"\r\n");
    EXPECT_THROW(dialog.LoadFromRegistry(), AppError);
    EXPECT_EQ(dialog.DCharName()->text(), "Kept");
}

TEST_F(PerformersDialogTest, OkWritesTheStoreAndTheSettingsCancelNeither)
{
    dialog.show();
    dialog.DirMode()->setChecked(true);
    dialog.DCharName()->setText(QStringLiteral("Bob é "));
    dialog.RzToolbarButton2()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(settings.PerformersMode);
    EXPECT_EQ(stored(), "<none>");

    dialog.show();
    dialog.RzToolbarButton1()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(settings.PerformersMode);
    EXPECT_EQ(settings.CharacterName, "Bob \xe9 ");
    ProgramSettings reread;
    LoadPerformersSettings(userStore, reread);
    EXPECT_TRUE(reread.PerformersMode);
    EXPECT_EQ(reread.CharacterName, "Bob \xe9 ");
}

TEST_F(PerformersDialogTest, AStoreThatCannotBeWrittenLeavesTheSettings)
{
    UserStore unwritable(dir.file("user.reg/inside/user.reg"));
    ASSERT_TRUE(writeFileAtomically(dir.file("user.reg"), "not a folder"));
    TPerformers1 other(unwritable, settings, messages);
    other.DirMode()->setChecked(true);
    other.show();
    other.RzToolbarButton1()->click();
    EXPECT_FALSE(other.isVisible());
    EXPECT_FALSE(settings.PerformersMode);
}

} // namespace
