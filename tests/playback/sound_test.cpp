// The real sound path: the sound module is loaded only when the first sound
// is opened, and plays a .wav into a PulseAudio null sink of the test's own.
#include "x11harness.h"

#include "core/error.h"
#include "platform/mediaplayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace zibbles;

namespace {

// A mono 16-bit PCM .wav of `seconds` of a 440 Hz tone.
void writeWav(const std::string &path, int seconds)
{
    const uint32_t rate = 22050;
    const uint32_t samples = rate * uint32_t(seconds);
    std::string data;
    for (uint32_t i = 0; i < samples; ++i) {
        const auto v = int16_t(8000 * std::sin(2 * M_PI * 440 * i / rate));
        data.append(reinterpret_cast<const char *>(&v), 2);
    }
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char *>(&v), 2); };
    const std::string header = "RIFF" + u32(36 + uint32_t(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
                               u32(rate) + u32(rate * 2) + u16(2) + u16(16) + "data" + u32(uint32_t(data.size()));
    std::ofstream(path, std::ios::binary) << header << data;
}

bool multimediaLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

// Dispatches Qt events until `done` holds or `ms` pass.
bool pumpUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// A PulseAudio server with one null sink, private to the test: its own
// runtime folder, no D-Bus, ended with the test (and, should the test die,
// by itself after 30 idle seconds).
class NullSinkServer {
public:
    NullSinkServer()
        : m_socket(m_folder.path() + "/native"),
          m_server({"pulseaudio", "--daemonize=no", "-n", "--system=no", "--log-level=error",
                    "--exit-idle-time=30", "--use-pid-file=no", "--load=module-null-sink sink_name=zibbles_null",
                    "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket},
                   {{"HOME", m_folder.path()},
                    {"XDG_RUNTIME_DIR", m_folder.path()},
                    {"XDG_CONFIG_HOME", m_folder.path()},
                    {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
                    {"DISPLAY", ""}})
    {
    }
    const std::string &socket() const { return m_socket; }
    // The number of streams playing into the server now.
    int sinkInputs()
    {
        QProcess pactl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), QString::fromStdString("unix:" + m_socket));
        pactl.setProcessEnvironment(env);
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
        if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0)
            return -1;
        return int(pactl.readAllStandardOutput().count('\n'));
    }
    bool ready()
    {
        return e2e::waitFor([this] { return sinkInputs() == 0; }, std::chrono::seconds(10));
    }

private:
    e2e::TempFolder m_folder;
    std::string m_socket;
    e2e::ChildProcess m_server;
};

TEST(SoundTest, AWavPlaysIntoANullSinkAndSoundSupportLoadsOnlyThen)
{
    NullSinkServer pulse;
    ASSERT_TRUE(pulse.ready()) << "PulseAudio did not start";
    qputenv("PULSE_SERVER", QByteArray::fromStdString("unix:" + pulse.socket()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    e2e::TempFolder media;
    const std::string wav = media.path() + "/tone.wav";
    writeWav(wav, 3);

    auto player = createDeferredMediaPlayer(defaultSoundModulePath(e2e::binDir() + "/"));
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(multimediaLoaded());

    player->setFileName(media.path() + "/missing.wav");
    EXPECT_THROW(player->open(), AppError);
    EXPECT_TRUE(multimediaLoaded());

    player->setFileName(wav);
    player->open();
    player->play();
    EXPECT_TRUE(pumpUntil([&] { return player->isPlaying() && pulse.sinkInputs() == 1; }, 10000))
        << "playing " << player->isPlaying() << ", streams " << pulse.sinkInputs();
    EXPECT_EQ(player->fileName(), wav);

    player->close();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_TRUE(pumpUntil([&] { return pulse.sinkInputs() == 0; }, 10000));
    player.reset();
}

TEST(SoundTest, AMissingModuleIsAnErrorOnlyWhenASoundIsOpened)
{
    auto player = createDeferredMediaPlayer("/nonexistent/libzibbles_sound.so");
    player->setFileName("/nonexistent/x.wav");
    EXPECT_FALSE(player->isPlaying());
    player->close();
    try {
        player->open();
        ADD_FAILURE() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(std::string(e.what()).rfind("Sound support is not available: ", 0), 0u) << e.what();
    }
    EXPECT_THROW(player->play(), AppError);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
