// The stored hotkey options: reading them into the settings, and the options
// dialog loading and saving its check boxes.
#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"

#include "app/application.h"
#include "core/error.h"
#include "core/programsettings.h"
#include "hotkeys/hotkeyoptions.h"
#include "hotkeys/optform.h"
#include "platform/atomicfile.h"
#include "platform/userstore.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zibbles;
using zibbles::testing::TempDir;

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\r\n";

std::string dwordLine(const std::string &name, unsigned value, const char *lineEnd = "\r\n")
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", value);
    return "\"" + name + "\"=dword:" + hex + lineEnd;
}

// The 24 settings in the stored order, as "1" and "0".
std::string settingsText(const ProgramSettings &s)
{
    std::string out;
    for (const HotkeyOption &option : hotkeyOptions())
        out += hotkeySetting(const_cast<ProgramSettings &>(s), option) ? '1' : '0';
    return out;
}

class HotkeyOptionsTest : public ::testing::Test {
protected:
    // Errors that end a click reach the top-level report.
    void SetUp() override { static_cast<ZibblesApplication *>(QCoreApplication::instance())->setMessageService(&report); }
    void TearDown() override { static_cast<ZibblesApplication *>(QCoreApplication::instance())->setMessageService(nullptr); }

    void storeText(const std::string &text) { ASSERT_TRUE(writeFileAtomically(storePath, text)); }
    std::string read()
    {
        ProgramSettings settings; // starts all false: the reader must set every one
        ReadHotkeySettings(store, settings);
        return settingsText(settings);
    }
    std::string boxes(const TOptForm &form) const
    {
        std::string out;
        for (int i = 0; i < kHotkeyOptionCount; ++i)
            out += form.checkBox(i)->isChecked() ? '1' : '0';
        return out;
    }
    void tick(TOptForm &form, const std::string &pattern)
    {
        for (int i = 0; i < kHotkeyOptionCount; ++i)
            form.checkBox(i)->setChecked(pattern[size_t(i)] == '1');
    }
    std::string storedText() const { return readWholeFile(storePath).value_or("<missing>"); }

    zibbles::testing::RecordingMessages report;
    TempDir dir;
    std::string storePath = dir.file("user.reg");
    UserStore store{storePath};
    const std::string all = std::string(24, '1');
};

} // namespace

TEST_F(HotkeyOptionsTest, ReadingStopsAtTheFirstMissingOrNonIntegerValue)
{
    EXPECT_EQ(read(), all) << "no file";

    storeText(kHeader);
    EXPECT_EQ(read(), all) << "a key without values";

    storeText(kHeader + dwordLine("F1", 1) + dwordLine("F2", 0) + dwordLine("F3", 1) + dwordLine("F4", 1) +
              dwordLine("F5", 1));
    EXPECT_EQ(read(), "10111" + std::string(19, '1'));

    storeText(kHeader + dwordLine("F1", 0) + dwordLine("F2", 0) + "\"F3\"=\"0\"\r\n" + dwordLine("F4", 0));
    EXPECT_EQ(read(), "00" + std::string(22, '1')) << "F3 as a string";

    storeText(kHeader + dwordLine("F1", 0) + "\"F2\"=hex(b):00,00,00,00,00,00,00,00\r\n" + dwordLine("F3", 0));
    EXPECT_EQ(read(), "0" + std::string(23, '1')) << "F2 as a 64-bit number";

    storeText(kHeader + dwordLine("F1", 0) + "\"F2\"=hex:00\r\n");
    EXPECT_EQ(read(), "0" + std::string(23, '1')) << "F2 as one byte of binary";

    std::string everyValue = kHeader;
    for (const HotkeyOption &option : hotkeyOptions())
        everyValue += dwordLine(option.valueName, std::string(option.valueName) == "F4" ? 7 : 0);
    storeText(everyValue + dwordLine("Unknown", 1));
    EXPECT_EQ(read(), "000100000000000000000000") << "7 is wanted; an unknown value changes nothing";

    // The values are found by name wherever they stand in the key.
    storeText(kHeader + dwordLine("AF2", 0) + dwordLine("f2", 0) + dwordLine("F1", 1));
    EXPECT_EQ(read(), "10" + std::string(22, '1'));
}

TEST_F(HotkeyOptionsTest, ReadingSurvivesAGarbledStore)
{
    storeText("this is not a registry export\r\n[[[\r\n\"F1\"=dword:zz\r\n\xff\xfe\x00garbage");
    EXPECT_EQ(read(), all);
}

TEST_F(HotkeyOptionsTest, LoadingTicksTheOptionsInEffectThenRaisesWithTheBadValuesName)
{
    int setUps = 0;
    TOptForm form(store, [&] { ++setUps; });
    EXPECT_EQ(boxes(form), std::string(24, '0')) << "all clear when created";

    tick(form, "110000000000000000000011");
    form.LoadHotkeyOptions();
    EXPECT_EQ(boxes(form), all) << "no key: every hotkey is in effect";

    // As the hotkeys were set up: the values before F6 as stored, F6 and
    // every one after it wanted.
    storeText(kHeader + dwordLine("F1", 1) + dwordLine("F2", 0) + dwordLine("F3", 1) + dwordLine("F4", 1) +
              dwordLine("F5", 1));
    tick(form, std::string(24, '0'));
    try {
        form.LoadHotkeyOptions();
        FAIL() << "no error for the missing F6";
    } catch (const AppError &e) {
        EXPECT_STREQ(e.what(), "Failed to get data for 'F6'");
    }
    EXPECT_EQ(boxes(form), "10111" + std::string(19, '1'));
    EXPECT_EQ(boxes(form), read()) << "the boxes show what the hotkeys were set up from";

    storeText(kHeader + dwordLine("F1", 0) + "\"F2\"=\"1\"\r\n" + dwordLine("F3", 0));
    EXPECT_THROW(
        try { form.LoadHotkeyOptions(); } catch (const AppError &e) {
            EXPECT_STREQ(e.what(), "Invalid data type for 'F2'");
            throw;
        },
        AppError);
    EXPECT_EQ(boxes(form), "0" + std::string(23, '1'));

    storeText(kHeader + dwordLine("F1", 0) + "\"F2\"=hex:01,00,00,00,00\r\n");
    EXPECT_THROW(
        try { form.LoadHotkeyOptions(); } catch (const AppError &e) {
            EXPECT_STREQ(e.what(), "Failed to get data for 'F2'");
            throw;
        },
        AppError);
    EXPECT_EQ(setUps, 0) << "loading never sets the hotkeys up";
}

TEST_F(HotkeyOptionsTest, OkStoresEveryBoxAsOneOrZeroThenSetsTheHotkeysUp)
{
    std::string storedAtSetUp;
    TOptForm form(store, [&] { storedAtSetUp = storedText(); });
    tick(form, "100100000001100000000101");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_TRUE(report.errors.empty());

    std::string expected = "Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\n";
    for (size_t i = 0; i < 24; ++i)
        expected += dwordLine(hotkeyOptions()[i].valueName, "100100000001100000000101"[i] == '1', "\n");
    EXPECT_EQ(storedText(), expected);
    EXPECT_EQ(storedAtSetUp, storedText()) << "the hotkeys are set up from what was just stored";

    ProgramSettings settings;
    ReadHotkeySettings(store, settings);
    EXPECT_EQ(settingsText(settings), "100100000001100000000101");

    // A stored 7 ticks its box and is stored as 1 at the next OK.
    storeText(kHeader + dwordLine("F1", 7));
    form.checkBox(0)->setChecked(false);
    EXPECT_THROW(form.LoadHotkeyOptions(), AppError) << "F2 is missing";
    EXPECT_TRUE(form.checkBox(0)->isChecked());
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_NE(storedText().find("\"F1\"=dword:00000001\n"), std::string::npos) << storedText();
}

TEST_F(HotkeyOptionsTest, OkWritesEveryValueInOneWriteAndKeepsEveryOtherKeyAndValue)
{
    const std::string other = "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced]\r\n"
                              "\"CharName\"=\"Bob\"\r\n\r\n";
    storeText("Windows Registry Editor Version 5.00\r\n\r\n" + other +
              "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\r\n" + dwordLine("F3", 0) +
              dwordLine("Unknown", 5));
    TOptForm form(store, {});
    tick(form, "100100000001100000000101");

    // Each write of the store creates a temporary file and renames it onto
    // user.reg. (Watching the creations too keeps the system from merging
    // the renames into one event.)
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE | IN_MOVED_TO), 0);
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    int writes = 0;
    alignas(inotify_event) char events[16384];
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
        for (char *at = events; at < events + n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            writes += (event->mask & IN_MOVED_TO) && std::string(event->name) == "user.reg";
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_EQ(writes, 1);

    EXPECT_EQ(read(), "100100000001100000000101");
    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly(kHotkeyOptionsKey));
    EXPECT_EQ(key.readInteger("Unknown"), 5);
    ASSERT_TRUE(key.openKeyReadOnly("\\Software\\Quillmere\\Zibbles\\Advanced"));
    EXPECT_EQ(key.readString("CharName"), "Bob");
}

TEST_F(HotkeyOptionsTest, OkOverAStoreThatCannotBeReadKeepsItBesideTheNewOne)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of any mode";
    const std::string original = kHeader + dwordLine("F1", 0) + dwordLine("Mine", 1);
    storeText(original);
    ASSERT_EQ(::chmod(storePath.c_str(), 0200), 0);
    std::vector<std::string> told;
    store.onKeptAside = [&](const std::string &copy) { told.push_back(copy); };
    TOptForm form(store, {});
    tick(form, "010000000000000000000000");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(told, std::vector<std::string>{storePath + ".unreadable"});
    EXPECT_EQ(read(), "010000000000000000000000") << "every value is stored, not only the last";
    ASSERT_EQ(::chmod((storePath + ".unreadable").c_str(), 0600), 0);
    EXPECT_EQ(readWholeFile(storePath + ".unreadable"), original);
}

TEST_F(HotkeyOptionsTest, CancelWritesNothingAndTheNextShowingShowsWhatIsInEffect)
{
    int setUps = 0;
    TOptForm form(store, [&] { ++setUps; });
    form.show();
    tick(form, "010000000000000000000000");
    QTest::mouseClick(form.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(fileExists(storePath));
    EXPECT_EQ(setUps, 0);
    form.LoadHotkeyOptions();
    EXPECT_EQ(boxes(form), all) << "no key: every hotkey is in effect";
}

TEST_F(HotkeyOptionsTest, AStoreThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    // The store's folder is a file, so no key can be created: nothing is
    // stored and the hotkeys are not set up again.
    ASSERT_TRUE(writeFileAtomically(dir.file("blocked"), "a file"));
    UserStore blocked(dir.file("blocked/user.reg"));
    int setUps = 0;
    TOptForm form(blocked, [&] { ++setUps; });
    form.show();
    form.checkBox(0)->setChecked(true);
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(report.errors, std::vector<std::string>{"Failed to set data for 'F1'"});
    EXPECT_EQ(setUps, 0);
    EXPECT_TRUE(form.isVisible()) << "the dialog stays open";
    EXPECT_EQ(readWholeFile(dir.file("blocked")), "a file");
}

TEST_F(HotkeyOptionsTest, AValueThatCannotBeWrittenRaisesWithItsName)
{
    // The key exists; the store file turns read-only, so the write fails: nothing changes.
    storeText(kHeader);
    ASSERT_EQ(::chmod(storePath.c_str(), 0444), 0);
    int setUps = 0;
    TOptForm form(store, [&] { ++setUps; });
    form.show();
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(report.errors, std::vector<std::string>{"Failed to set data for 'F1'"});
    EXPECT_EQ(setUps, 0);
    EXPECT_TRUE(form.isVisible()) << "the dialog stays open";
    EXPECT_EQ(storedText(), kHeader);
    ::chmod(storePath.c_str(), 0644);
}

TEST(OptForm, HasItsCaptionBoxesButtonsAndLayout)
{
    TempDir dir;
    UserStore store(dir.file("user.reg"));
    TOptForm form(store, {});
    EXPECT_EQ(form.windowTitle(), "Zibble Options");
    EXPECT_EQ(form.size(), QSize(461, 454));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    const struct {
        const char *name, *caption;
        QRect geometry;
    } expected[] = {
        {"Df1", "F1", {58, 61, 50, 17}},       {"Df2", "F2", {58, 84, 50, 17}},
        {"df6", "F6", {58, 176, 50, 17}},      {"df7", "F7", {122, 62, 50, 17}},
        {"df12", "F12", {122, 177, 50, 17}},   {"sdf1", "Shift F1", {271, 144, 65, 17}},
        {"sdf5", "Shift F5", {271, 240, 65, 17}}, {"sdf6", "Shift F6", {335, 144, 65, 17}},
        {"sdf10", "Shift F10", {335, 240, 65, 17}}, {"asdf1", "Page Up (Sleep)", {72, 304, 115, 17}},
        {"asdf2", "Print Screen Trap", {72, 328, 113, 17}},
    };
    for (const auto &e : expected) {
        auto *box = form.findChild<QCheckBox *>(e.name);
        ASSERT_TRUE(box) << e.name;
        EXPECT_EQ(box->text(), e.caption);
        EXPECT_EQ(box->geometry(), e.geometry) << e.name;
    }
    EXPECT_EQ(form.findChildren<QCheckBox *>().size(), 24);
    EXPECT_EQ(form.findChildren<QPushButton *>().size(), 2);

    auto *ok = form.findChild<QPushButton *>("RzToolbarButton1");
    auto *cancel = form.findChild<QPushButton *>("RzToolbarButton2");
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_EQ(ok->toolTip(), "Accept");
    EXPECT_EQ(ok->geometry(), QRect(256, 368, 70, 22));
    EXPECT_EQ(cancel->text(), " &Cancel");
    EXPECT_EQ(cancel->toolTip(), "Reject");
    EXPECT_EQ(cancel->geometry(), QRect(344, 368, 70, 22));
}
