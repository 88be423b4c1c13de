// Where the program finds its sound module: beside itself in a build
// folder, in lib/zibbles/ next to bin/ when installed. (Windows has no sound
// module: tests/platform/win32.)
#include "fakes/tempdir.h"

#include "platform/atomicfile.h"
#include "platform/mediaplayer.h"

#include <gtest/gtest.h>

using zibbles::defaultSoundModulePath;
using zibbles::makeFolders;
using zibbles::writeFileAtomically;

TEST(SoundModulePath, BesideTheProgramFirstThenTheInstalledLibraryFolder)
{
    zibbles::testing::TempDir root;
    const std::string bin = root.file("bin/");
    makeFolders(bin);
    // Neither there: the path beside the program, which the load error names.
    EXPECT_EQ(defaultSoundModulePath(bin), bin + "libzibbles_sound.so");

    makeFolders(root.file("lib/zibbles"));
    ASSERT_TRUE(writeFileAtomically(root.file("lib/zibbles/libzibbles_sound.so"), "module"));
    EXPECT_EQ(defaultSoundModulePath(bin), bin + "../lib/zibbles/libzibbles_sound.so");

    ASSERT_TRUE(writeFileAtomically(bin + "libzibbles_sound.so", "module"));
    EXPECT_EQ(defaultSoundModulePath(bin), bin + "libzibbles_sound.so");
}
