// Choosing a set or a slot without widgets: the edit is written first, and a
// choice that fails leaves the editor, the shown slot and the active file
// together.
#include "fakes/tempdir.h"

#include "core/error.h"
#include "core/mainstate.h"
#include "library/zibbleset.h"
#include "library/zibbleslots.h"
#include "platform/atomicfile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <ostream>

using namespace zibbles;

namespace {

class RecordingEditor : public SlotEditor {
public:
    std::string textBytes() const override { return text; }
    void setTextBytes(const std::string &bytes) override { text = bytes; }
    void showSet(int set) override { shownSet = set; }
    void showSlot(int slot) override { shownSlot = slot; }
    void showModified(bool modified) override { saveEnabled = modified; }

    std::string text;
    int shownSet = 0;
    int shownSlot = 0;
    bool saveEnabled = false;
};

enum class Choice { Slot, Set };
enum class Fault { None, SaveFails, ReadFails };

struct Case {
    const char *name;
    Choice choice;
    int number;         // the slot of set 1, or the set
    Fault fault;
    bool throws;
    int set;            // afterwards
    int slot;           // the active file is this slot of `set`
    const char *shown;  // the editor's text
    const char *saved;  // set 1 F1 on disk, "" if not there
    bool modified;
};

const Case kCases[] = {
    {"another slot", Choice::Slot, 2, Fault::None, false, 1, 2, "two", "edit", false},
    {"another set", Choice::Set, 4, Fault::None, false, 4, 1, "four", "edit", false},
    {"a slot when the edit cannot be written", Choice::Slot, 2, Fault::SaveFails, true, 1, 1, "edit", "", true},
    {"a set when the edit cannot be written", Choice::Set, 4, Fault::SaveFails, true, 1, 1, "edit", "", true},
    {"a slot that cannot be read", Choice::Slot, 9, Fault::ReadFails, true, 1, 1, "edit", "edit", true},
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class ZibbleSlotsTest : public ::testing::TestWithParam<Case> {};

TEST_P(ZibbleSlotsTest, ChoosingKeepsEditorAndActiveFileTogether)
{
    const Case &c = GetParam();
    zibbles::testing::TempDir dir;
    MainState state;
    state.AppFolder = dir.path();
    createMissingSetFolders(state.AppFolder);
    ASSERT_TRUE(writeFileAtomically(SlotFilePath(state.AppFolder, 1, 2), "two"));
    ASSERT_TRUE(writeFileAtomically(SlotFilePath(state.AppFolder, 4, 1), "four"));
    RecordingEditor editor;
    ZibbleSlots choice(state, editor);
    choice.SelectSet(1);
    editor.text = "edit";
    choice.setEditorModified(true);
    if (c.fault == Fault::SaveFails) { // set 1's folder becomes a file
        std::filesystem::remove_all(dir.file("Set1"));
        ASSERT_TRUE(writeFileAtomically(dir.file("Set1"), ""));
    }
    if (c.fault == Fault::ReadFails) // a folder where the slot file should be
        std::filesystem::create_directory(SlotFilePath(state.AppFolder, 1, c.number));

    const auto choose = [&] { c.choice == Choice::Slot ? choice.SelectSlot(c.number) : choice.SelectSet(c.number); };
    if (c.throws)
        EXPECT_THROW(choose(), AppError);
    else
        EXPECT_NO_THROW(choose());

    EXPECT_EQ(state.CurrentSet, c.set);
    EXPECT_EQ(editor.shownSet, c.set);
    EXPECT_EQ(state.ActiveFileName, SlotFilePath(state.AppFolder, c.set, c.slot));
    EXPECT_EQ(editor.shownSlot, c.slot);
    EXPECT_EQ(editor.text, c.shown);
    EXPECT_EQ(readWholeFile(SlotFilePath(state.AppFolder, 1, 1)).value_or(""), c.saved);
    EXPECT_EQ(choice.EditorModified(), c.modified);
    EXPECT_EQ(editor.saveEnabled, c.modified);
}

INSTANTIATE_TEST_SUITE_P(Choices, ZibbleSlotsTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

} // namespace
