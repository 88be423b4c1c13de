// Sounds through the multimedia commands: a missing file is refused with the
// player's own text, a real .wav opens and closes, and Windows needs no sound
// module. (Whether a sound is heard needs an audio device: the end-to-end
// test plays one.)
#include "fakes/tempdir.h"

#include "core/error.h"
#include "platform/atomicfile.h"
#include "platform/mediaplayer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zibbles {
namespace {

void putLittleEndian(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

// Half a second of 8 kHz 8-bit mono silence as a RIFF wave file.
std::string silentWave()
{
    const uint32_t rate = 8000;
    const std::string samples(rate / 2, char(0x80));
    std::string file = "RIFF";
    putLittleEndian(file, uint32_t(36 + samples.size()), 4);
    file += "WAVEfmt ";
    putLittleEndian(file, 16, 4);
    putLittleEndian(file, 1, 2); // PCM
    putLittleEndian(file, 1, 2); // mono
    putLittleEndian(file, rate, 4);
    putLittleEndian(file, rate, 4); // bytes per second
    putLittleEndian(file, 1, 2);    // block alignment
    putLittleEndian(file, 8, 2);    // bits per sample
    file += "data";
    putLittleEndian(file, uint32_t(samples.size()), 4);
    return file + samples;
}

std::string errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const AppError &e) {
        return e.what();
    }
    return {};
}

TEST(MciMediaPlayer, AMissingFileIsReportedAndLeavesNothingOpen)
{
    testing::TempDir folder;
    auto player = createDeferredMediaPlayer(defaultSoundModulePath(folder.path()));
    const std::string missing = folder.file("media/none.wav");
    player->setFileName(missing);
    EXPECT_EQ(errorOf([&] { player->open(); }), "Cannot open sound " + missing);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(errorOf([&] { player->play(); }), "Cannot play sound " + missing);
    EXPECT_EQ(player->fileName(), missing);
}

TEST(MciMediaPlayer, AWaveFileOpensAndCloses)
{
    testing::TempDir folder;
    const std::string wave = folder.file("bell.wav");
    ASSERT_TRUE(writeFileAtomically(wave, silentWave()));
    auto player = createDeferredMediaPlayer(defaultSoundModulePath(folder.path()));
    player->setFileName(wave);
    EXPECT_EQ(errorOf([&] { player->open(); }), "");
    EXPECT_FALSE(player->isPlaying()); // open, not started
    player->close();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->fileName(), wave); // the name is kept
    // Closed, nothing plays until it is opened again.
    EXPECT_EQ(errorOf([&] { player->play(); }), "Cannot play sound " + wave);
    EXPECT_EQ(errorOf([&] { player->open(); }), "");
}

TEST(SoundModulePath, WindowsHasNoModuleEvenWithOneBesideTheProgram)
{
    testing::TempDir root;
    const std::string bin = root.file("bin/");
    makeFolders(bin);
    ASSERT_TRUE(writeFileAtomically(bin + "zibbles_sound.dll", "module"));
    EXPECT_EQ(defaultSoundModulePath(bin), "");
}

} // namespace
} // namespace zibbles
