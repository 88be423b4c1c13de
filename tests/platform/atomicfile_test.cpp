// Atomic writes never leave a torn, empty or temporary file behind.
#include "fakes/tempdir.h"
#include "platform/atomicfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#endif

using namespace zibbles;
using zibbles::testing::TempDir;

namespace {
size_t entriesIn(const std::string &folder)
{
    size_t n = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}
} // namespace

TEST(AtomicFile, ReplacesContentWholeAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string path = dir.file("F1");
    ASSERT_TRUE(writeFileAtomically(path, std::string("first\0line", 10)));
    ASSERT_TRUE(writeFileAtomically(path, "second"));
    EXPECT_EQ(*readWholeFile(path), "second");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFile, ReadOnlyFilesAndMissingFoldersRefuseTheWrite)
{
    TempDir dir;
    const std::string path = dir.file("F1");
    ASSERT_TRUE(writeFileAtomically(path, "kept"));
    ::chmod(path.c_str(), 0444); // on Windows: the read-only attribute
    EXPECT_FALSE(writeFileAtomically(path, "lost"));
    EXPECT_EQ(*readWholeFile(path), "kept");
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    EXPECT_FALSE(writeFileAtomically(dir.file("no-such-folder/F1"), "x"));
    std::filesystem::create_directory(dir.file("F2"));
    EXPECT_FALSE(writeFileAtomically(dir.file("F2"), "x")); // a folder of that name
}

#ifdef _WIN32
TEST(AtomicFile, KeepsTheAttributesOfTheReplacedFile)
{
    TempDir dir;
    const std::string path = dir.file("F1");
    ASSERT_TRUE(writeFileAtomically(path, "a"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(writeFileAtomically(path, "b"));
    EXPECT_EQ(*readWholeFile(path), "b");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}
#else
TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFile)
{
    TempDir dir;
    const std::string path = dir.file("F1");
    ASSERT_TRUE(writeFileAtomically(path, "a"));
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(writeFileAtomically(path, "b"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
#endif
