// Zibble files: line breaks on reading, CR LF on writing, bytes untouched.
#include "core/error.h"
#include "fakes/tempdir.h"
#include "library/zibblefile.h"
#include "library/zibbleset.h"
#include "platform/atomicfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace zibbles;
using zibbles::testing::TempDir;
using Lines = std::vector<std::string>;

TEST(ZibbleFile, SplitsAtCrLfCrAndLf)
{
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\n\rb"), (Lines{"a", "", "b"})); // LF then CR: two breaks
    EXPECT_EQ(splitLines("a\r\n"), (Lines{"a"}));           // a final break adds no line
    EXPECT_EQ(splitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines(std::string("x\0y\r\nz", 6)), (Lines{std::string("x\0y", 3), "z"}));
}

TEST(ZibbleFile, WritesEveryBreakAsCrLf)
{
    EXPECT_EQ(withCrLfBreaks("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(withCrLfBreaks("a\n\r"), "a\r\n\r\n");
    EXPECT_EQ(withCrLfBreaks("'hmmm \r\n"), "'hmmm \r\n"); // trailing blanks stay
}

TEST(ZibbleFile, EveryByteButLineBreaksRoundTripsExactly)
{
    TempDir dir;
    std::string text;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            text += char(b);
    text = text + "\r\n" + text + "  \r\n\t";
    saveZibble(dir.file("F1"), text);
    EXPECT_EQ(loadZibble(dir.file("F1")), text);
}

TEST(ZibbleFile, SavingReplacesTheWholeFileAndMissingReadsEmpty)
{
    TempDir dir;
    EXPECT_EQ(loadZibble(dir.file("F9")), "");
    saveZibble(dir.file("F9"), "a long first version\nwith two lines");
    saveZibble(dir.file("F9"), "b");
    EXPECT_EQ(*readWholeFile(dir.file("F9")), "b");
}

TEST(ZibbleFile, FailuresNameThePath)
{
    TempDir dir;
    const std::string readOnly = dir.file("F1");
    saveZibble(readOnly, "keep me");
    ::chmod(readOnly.c_str(), 0444);
    try {
        saveZibble(readOnly, "changed");
        FAIL() << "a read-only slot file was written";
    } catch (const AppError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + readOnly);
    }
    EXPECT_EQ(loadZibble(readOnly), "keep me");

    const std::string missingFolder = dir.file("Set11/F1");
    EXPECT_THROW(saveZibble(missingFolder, "x"), AppError);

    std::filesystem::create_directory(dir.file("F2"));
    try {
        loadZibble(dir.file("F2"));
        FAIL() << "a folder was read as a zibble";
    } catch (const AppError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir.file("F2"));
    }
}

TEST(ZibbleSet, PathsAndFolders)
{
    EXPECT_EQ(SlotFilePath("/z/", 3, 12), "/z/Set3/F12");
    EXPECT_EQ(slotFilePathForKey("/z/", 10, "F1"), "/z/Set10/F1");
    EXPECT_EQ(SlotFilePath("C:\\Z\\", 1, 2), "C:\\Z\\Set1\\F2"); // one separator throughout

    TempDir dir;
    std::filesystem::create_directory(dir.file("Set4"));
    saveZibble(dir.file("Set4/F1"), "kept");
    createMissingSetFolders(dir.path());
    for (int n = 1; n <= 10; ++n)
        EXPECT_TRUE(folderExists(dir.file("Set" + std::to_string(n))));
    EXPECT_EQ(loadZibble(dir.file("Set4/F1")), "kept");
}
