// One copy per user: the first claim holds, a later one is refused and asks
// the holder, through its hidden window, to show itself; the hold ends with
// the copy that had it.
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <windows.h>

using namespace zibbles;

TEST(SingleInstance, TheFirstClaimHoldsALaterOneIsRefusedAndAsksItToShow)
{
    const std::string base = "singleinstance-test-" + std::to_string(GetCurrentProcessId());

    auto first = std::make_unique<SingleInstance>(base);
    int shown = 0;
    first->onShowRequested = [&] { ++shown; };
    ASSERT_TRUE(first->claim());
    EXPECT_TRUE(first->claim()) << "the holder's own claim still holds";

    SingleInstance second(base);
    EXPECT_FALSE(second.claim(2000));
    EXPECT_EQ(shown, 0) << "the request arrives through the event loop, not inside claim()";
    QElapsedTimer waited;
    waited.start();
    while (shown == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_EQ(shown, 1) << "the running copy was not asked to show itself";

    SingleInstance other("singleinstance-other-" + std::to_string(GetCurrentProcessId()));
    EXPECT_TRUE(other.claim(100)) << "another user's hold is not this one";

    // Once the first copy has ended, the next one holds.
    first.reset();
    SingleInstance third(base);
    EXPECT_TRUE(third.claim(100));
}
