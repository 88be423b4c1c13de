#pragma once
// A suite of tests that share one desktop with a Wine prefix: `Desktop` holds
// the prefix as `wine` and its chat window as `chat`. The desktop is made once
// for the suite (by its SetUpTestSuite, through startDesktop); at the end of
// the suite every Wine process of the prefix is ended and reaped, and one
// that outlives it fails the suite. A test runs only on a desktop that came
// up, and reads the lines logged since it began.
#include "wineprefix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

template <typename Desktop>
class WineSuite : public ::testing::Test {
protected:
    template <typename... Args>
    static void startDesktop(Args &&...args)
    {
        s_startError.clear();
        try {
            s_desktop = std::make_unique<Desktop>(std::forward<Args>(args)...);
        } catch (const std::exception &error) {
            s_startError = error.what();
        }
    }

    static void TearDownTestSuite()
    {
        if (!s_desktop)
            return;
        const std::set<int> left = s_desktop->wine.shutDown();
        EXPECT_TRUE(left.empty()) << left.size() << " Wine processes outlived the prefix's server";
        s_desktop.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_desktop) << s_startError;
        m_linesBefore = s_desktop->chat.lines().size();
    }

    // Brings up the chat window, so that Wine hands its program the hotkey,
    // and presses `key` there (through the suite desktop's `keys` and `probe`).
    static void press(const std::string &key, const std::vector<std::string> &modifiers = {})
    {
        s_desktop->keys.MakeWindowActive(s_desktop->chat.window());
        s_desktop->probe.tapKey(key, modifiers);
    }

    // The lines logged since the test began, once there are `count` of them
    // (or fewer, after 20 s).
    std::vector<std::string> newLines(size_t count) const
    {
        return newLinesOf(s_desktop->chat.waitForLines(m_linesBefore + count, std::chrono::seconds(20)));
    }

    // The lines of `all` (the chat log's) after the first m_linesBefore:
    // those that came since the test began, unless it moved m_linesBefore on.
    std::vector<std::string> newLinesOf(const std::vector<std::string> &all) const
    {
        return std::vector<std::string>(all.begin() + long(std::min(m_linesBefore, all.size())), all.end());
    }

    static inline std::unique_ptr<Desktop> s_desktop;
    static inline std::string s_startError;
    size_t m_linesBefore = 0;
};

} // namespace e2e
