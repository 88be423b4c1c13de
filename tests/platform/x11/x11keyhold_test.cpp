// Which typed keys the user's Shift changed, told from the server's notices
// and the request numbers they carry; and where the keys a hotkey's grab
// took are among those sent.
#include "platform/x11/x11hotkeyhold.h"
#include "platform/x11/x11modifierstate.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace zibbles;

namespace {

constexpr int kShiftKey = 50, kA = 38, kB = 56;
constexpr unsigned kShift = 1;

// One step of what the server and we did: a key event of ours sent as
// request `number`, a notice of the modifiers once request `number` was
// carried out, or presses forgotten (a grab took them).
struct Step {
    enum Kind { Press, Release, Notice, Forget } kind;
    int keyOrCount;
    uint32_t number;
    unsigned base;
};

Step press(int key, uint32_t request) { return {Step::Press, key, request, 0}; }
Step release(int key, uint32_t request) { return {Step::Release, key, request, 0}; }
Step notice(uint32_t request, unsigned base) { return {Step::Notice, 0, request, base}; }
Step forget(int count) { return {Step::Forget, count, 0, 0}; }

} // namespace

TEST(X11ModifierState, CountsThePressesFromTheFirstOneTheUsersShiftChanged)
{
    struct Case {
        const char *what;
        std::vector<Step> steps;
        size_t changed;
    };
    const std::vector<Case> cases = {
        {"no change", {press(kA, 10), press(kB, 11), notice(11, 0)}, 0},
        {"Shift down between the two", {press(kA, 10), press(kB, 11), notice(10, kShift), notice(11, kShift)}, 1},
        {"Shift down before both", {press(kA, 10), notice(9, kShift), press(kB, 11), notice(11, kShift)}, 2},
        {"our own Shift", {press(kShiftKey, 9), press(kA, 10), notice(9, kShift), notice(10, kShift)}, 0},
        {"the user lets go of the Shift we hold",
         {press(kShiftKey, 9), notice(9, kShift), press(kA, 10), notice(9, 0), notice(10, 0)}, 1},
        {"request numbers wrap around",
         {press(kA, 0xFFFF), press(kB, 0x10000), notice(0xFFFF, kShift), notice(0x10000, kShift)}, 1},
        {"a press a grab took is not counted",
         {press(kA, 10), press(kB, 11), forget(1), notice(10, kShift), notice(11, kShift)}, 0},
        {"a release only is not a press", {press(kA, 10), release(kA, 11), notice(10, kShift)}, 0},
    };
    for (const Case &c : cases) {
        X11ModifierState state;
        ModifierMapping mapping;
        mapping[0] = {kShiftKey};
        state.setModifierMapping(mapping);
        state.reset(0, 0);
        for (const Step &step : c.steps) {
            if (step.kind == Step::Press || step.kind == Step::Release)
                state.noteKeyEvent(step.keyOrCount, step.kind == Step::Press, step.number);
            else if (step.kind == Step::Notice)
                state.noteChange(step.number, step.base, 0);
            else
                state.forgetLastPresses(size_t(step.keyOrCount));
        }
        EXPECT_EQ(state.takePressesShiftChangedByUser(), c.changed) << c.what;
        EXPECT_FALSE(state.pressesPending()) << c.what;
    }
}

TEST(X11SentPresses, FindsTheEarliestPlaceOfTheKeysAGrabTook)
{
    struct Case {
        std::vector<int> sent, taken;
        std::optional<X11SentPresses::Place> place;
    };
    const std::vector<Case> cases = {
        {{10, 11, 12, 13}, {11, 12}, X11SentPresses::Place{1, 2}},
        {{10, 11, 10, 11}, {10, 11}, X11SentPresses::Place{0, 2}},     // the same keys twice: the earliest
        {{10, 11, 12}, {99, 11, 98, 12}, X11SentPresses::Place{1, 2}}, // the user's keys do not count
        {{10, 11, 12}, {12, 11}, std::nullopt},  // not in the order sent
        {{10, 11, 12}, {10, 12}, std::nullopt},  // not one after the other
        {{10, 11}, {}, std::nullopt},
        {{10, 11}, {99}, std::nullopt},
        {{10}, {10, 10}, std::nullopt},
    };
    for (const Case &c : cases) {
        X11SentPresses sent;
        for (int key : c.sent)
            sent.note({key, {}, true});
        const auto place = sent.placeOfTaken(c.taken);
        EXPECT_EQ(place.has_value(), c.place.has_value()) << ::testing::PrintToString(c.taken);
        if (place && c.place)
            EXPECT_TRUE(*place == *c.place) << ::testing::PrintToString(c.taken) << ": " << place->first << ", "
                                            << place->count;
    }
}

TEST(X11SentPresses, TypesAgainFromTheFirstKeyThatBackSpaceCanReach)
{
    using Place = X11SentPresses::Place;
    struct Case {
        const char *what;
        std::vector<bool> characters; // of the presses sent, in order
        std::optional<Place> taken;
        std::optional<size_t> from;
    };
    const std::vector<Case> cases = {
        {"characters only: all of them", {true, true, true}, Place{1, 1}, 0},
        {"only a part of a character taken", {true, true}, std::nullopt, 0},
        {"a line end before the ones taken", {false, true, true}, Place{1, 1}, 1},
        {"a line end after the ones taken", {true, false, true}, Place{0, 1}, std::nullopt},
        {"the line end itself taken", {false}, Place{0, 1}, 0},
        {"nothing sent", {}, std::nullopt, std::nullopt},
    };
    for (const Case &c : cases) {
        X11SentPresses sent;
        for (bool character : c.characters)
            sent.note({10, {}, character});
        EXPECT_EQ(sent.firstToTypeAgain(c.taken), c.from) << c.what;
    }
}
