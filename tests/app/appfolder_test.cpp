// Where the zibbles live: beside a program that runs from a writable folder
// of its own, in the per-user data folder for an installed copy.
#include "fakes/tempdir.h"

#include "app/appfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using zibbles::appFolderFor;
using zibbles::testing::TempDir;

namespace {

class AppFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *old = std::getenv("XDG_DATA_HOME");
        m_oldDataHome = old ? old : "";
        m_hadDataHome = old != nullptr;
        setenv("XDG_DATA_HOME", data.file("data").c_str(), 1);
    }
    void TearDown() override
    {
        if (m_hadDataHome)
            setenv("XDG_DATA_HOME", m_oldDataHome.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    std::string perUserFolder() const { return data.file("data/zibbles/"); }

    TempDir data;
    TempDir program;

private:
    std::string m_oldDataHome;
    bool m_hadDataHome = false;
};

TEST_F(AppFolderTest, AProgramInAWritableFolderKeepsItsZibblesBesideIt)
{
    EXPECT_EQ(appFolderFor(program.file("zibbles")), program.path());
}

TEST_F(AppFolderTest, AnInstalledCopyUsesThePerUserDataFolderEvenForRoot)
{
    // Root can write these folders; the zibbles still do not go there.
    EXPECT_EQ(appFolderFor("/usr/bin/zibbles"), perUserFolder());
    EXPECT_EQ(appFolderFor("/usr/local/bin/zibbles"), perUserFolder());
    EXPECT_EQ(appFolderFor("/opt/zibbles/zibbles"), perUserFolder());
}

TEST_F(AppFolderTest, ACopyInstalledIntoAWritablePrefixUsesThePerUserDataFolder)
{
    // cmake --install --prefix PREFIX: the program in bin/, its sound module in lib/zibbles/.
    std::filesystem::create_directories(program.file("bin"));
    std::filesystem::create_directories(program.file("lib/zibbles"));
    EXPECT_EQ(appFolderFor(program.file("bin/zibbles")), perUserFolder());
}

TEST_F(AppFolderTest, AFolderThatCannotBeWrittenUsesThePerUserDataFolder)
{
    const std::string folder = program.file("readonly");
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes any folder";
    EXPECT_EQ(appFolderFor(folder + "/zibbles"), perUserFolder());
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

} // namespace
