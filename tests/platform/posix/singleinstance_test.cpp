// One copy per user and display: the first claim holds, a later one asks the
// holder to show itself, and what a crashed copy left behind is no hold.
#include "fakes/tempdir.h"
#include "platform/atomicfile.h"
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace zibbles;
using zibbles::testing::TempDir;

TEST(SingleInstance, TheFirstClaimHoldsALaterOneAsksItToShowAndCrashLeftoversHoldNothing)
{
    int argc = 1;
    char name[] = "singleinstance_test";
    char *argv[] = {name};
    QCoreApplication app(argc, argv);
    TempDir dir;
    const std::string base = dir.file("zibbles-test");
    // What a copy that crashed leaves behind: its socket's file and a lock
    // file that nobody holds.
    ASSERT_TRUE(writeFileAtomically(base + ".socket", ""));
    ASSERT_TRUE(writeFileAtomically(base + ".lock", ""));

    auto first = std::make_unique<SingleInstance>(base);
    int shown = 0;
    first->onShowRequested = [&] { ++shown; };
    ASSERT_TRUE(first->claim());

    SingleInstance second(base);
    EXPECT_FALSE(second.claim(2000));
    QElapsedTimer waited;
    waited.start();
    while (shown == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_EQ(shown, 1) << "the running copy was not asked to show itself";

    // Once the first copy has ended, the next one holds.
    first.reset();
    SingleInstance third(base);
    EXPECT_TRUE(third.claim(100));
}
