// playback-bench MODE [N]: figures of the script runner on Qt's real event
// loop, printed one "name: value" per line for scripts/bench-playback.
//   delay-cpu   CPU time spent during one 10-second delay
//   accuracy    how long delays of various lengths really wait
//   loop [N]    resident memory of a looping zibble (250 ms delay) at pass
//               100 and at pass N (default 2000)
#include "core/mainstate.h"
#include "core/programsettings.h"
#include "platform/atomicfile.h"
#include "platform/desktop.h"
#include "platform/mediaplayer.h"
#include "platform/qt/qteventloop.h"
#include "playback/chatoutput.h"
#include "playback/scriptrunner.h"
#include "playback/sendkeys.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace zibbles;

namespace {

// A desktop with a There window that swallows every key event, so the whole
// typing path runs without an X server.
class SwallowingDesktop : public Desktop {
public:
    WindowHandle findWindow(const std::string &title) override { return title == "There (OGL)" ? 1 : 0; }
    bool isIconic(WindowHandle) override { return false; }
    void restoreWindow(WindowHandle) override {}
    void bringWindowToTop(WindowHandle) override {}
    void refreshKeymap() override {}
    int16_t vkKeyScan(unsigned char ch) override { return ch; }
    unsigned mapVirtualKey(unsigned vk) override { return vk; }
    bool userHoldsKeys() override { return false; }
    std::optional<size_t> keysToTypeAgain() override { return 0; }
    void keyEvent(uint8_t, uint8_t, bool) override { ++events; }
    void flush() override {}
    long events = 0;
};

// Observes each line on its way to the chat output.
class WatchedChat : public ChatTarget {
public:
    explicit WatchedChat(ChatTarget &inner) : m_inner(inner) {}
    void SendChatLine(const std::string &text) override
    {
        m_inner.SendChatLine(text);
        if (onLine)
            onLine(text);
    }
    WindowHandle FindThereWindow() override { return m_inner.FindThereWindow(); }
    void MakeWindowActive(WindowHandle w) override { m_inner.MakeWindowActive(w); }
    std::function<void(const std::string &)> onLine;

private:
    ChatTarget &m_inner;
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long rssKb()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

struct Bench {
    Bench()
    {
        state.AppFolder = dir.path().toStdString() + "/";
        makeFolders(state.AppFolder + "Set1");
        timer1.onTick = [this] { state.DelayPending = false; };
        timer1.start(1000);
    }
    void put(const std::string &zibble) { writeFileAtomically(state.AppFolder + "Set1/F1", zibble); }

    QTemporaryDir dir;
    MainState state;
    QtMessagePump pump;
    QtTimer timer1;
    ProgramSettings settings;
    SwallowingDesktop desktop;
    TSendkeys sendkeys{desktop, pump};
    ChatOutput output{sendkeys, pump, settings};
    WatchedChat chat{output};
    std::unique_ptr<MediaPlayer> player = createDeferredMediaPlayer("");
    ScriptRunner runner{state, timer1, pump, *player, chat};
};

int delayCpu()
{
    Bench b;
    b.put("%delay=\"10000\"%");
    const double cpu0 = cpuSeconds(), wall0 = nowMs();
    b.runner.RunZibble("F1");
    const double cpu = cpuSeconds() - cpu0, wall = (nowMs() - wall0) / 1000;
    std::printf("delay_wall_s: %.3f\ndelay_cpu_s: %.4f\ndelay_cpu_percent_of_wall: %.3f\n", wall, cpu, 100 * cpu / wall);
    return 0;
}

int accuracy()
{
    Bench b;
    const std::vector<int> delays = {1, 2, 5, 10, 20, 25, 50, 100, 249, 250, 333, 500, 750, 1000};
    std::string zibble;
    for (int round = 0; round < 3; ++round)
        for (int d : delays)
            zibble += "mark\r\n%delay=\"" + std::to_string(d) + "\"%\r\n";
    zibble += "mark\r\n";
    b.put(zibble);
    std::vector<double> marks;
    b.chat.onLine = [&](const std::string &) { marks.push_back(nowMs()); };
    b.runner.RunZibble("F1");
    std::vector<double> overshoot;
    for (size_t i = 0; i + 1 < marks.size(); ++i) {
        const int d = delays[i % delays.size()];
        const double waited = marks[i + 1] - marks[i];
        overshoot.push_back(waited - d);
    }
    std::vector<double> sorted = overshoot;
    std::sort(sorted.begin(), sorted.end());
    std::printf("delays_measured: %zu\n", sorted.size());
    std::printf("delays_shorter_than_value: %ld\n",
                long(std::count_if(sorted.begin(), sorted.end(), [](double o) { return o < 0; })));
    std::printf("delay_overshoot_min_ms: %.3f\ndelay_overshoot_median_ms: %.3f\ndelay_overshoot_max_ms: %.3f\n",
                sorted.front(), sorted[sorted.size() / 2], sorted.back());
    return 0;
}

int loop(long passes)
{
    Bench b;
    b.put("%loop_zibble%\r\nHello There, one more pass!\r\n%delay=\"250\"%\r\n");
    long count = 0, rssAt100 = 0;
    const double wall0 = nowMs();
    b.chat.onLine = [&](const std::string &) {
        ++count;
        if (count == 100)
            rssAt100 = rssKb();
        if (count == passes)
            b.state.StopRequested = true;
    };
    b.runner.RunZibble("F1");
    const long rssEnd = rssKb();
    std::printf("loop_passes: %ld\nloop_wall_s: %.1f\nloop_key_events: %ld\n", count, (nowMs() - wall0) / 1000,
                b.desktop.events);
    std::printf("loop_rss_kb_at_pass_100: %ld\nloop_rss_kb_at_pass_%ld: %ld\nloop_rss_growth_kb: %ld\n", rssAt100, passes,
                rssEnd, rssEnd - rssAt100);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "delay-cpu")
        return delayCpu();
    if (mode == "accuracy")
        return accuracy();
    if (mode == "loop")
        return loop(argc > 2 ? std::max(100L, std::atol(argv[2])) : 2000);
    std::fprintf(stderr, "usage: playback-bench delay-cpu | accuracy | loop [PASSES]\n");
    return 2;
}
