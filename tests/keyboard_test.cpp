// The play keys' poll driven by events pushed into SDL's queue: transition counts, the held flag,
// auto-repeats, and the ways the poll ends the game.
#include "keyboard.h"

#include "event_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PlayPoll : public EventQueueTest {
  protected:
    bool poll(const std::vector<KeyEvent>& events) {
        for (const KeyEvent& event : events)
            pushKey(event);
        return pollPlayInput(keys);
    }

    KeyboardState keys{};
};

struct OnePollCase {
    const char* name;
    std::vector<KeyEvent> events;
    KeyState expectedC;
    KeyState expectedX;
    bool pressedC, releasedC;
    bool pressedX, releasedX;
};

TEST_F(PlayPoll, CountsTransitionsWithinOnePoll) {
    const OnePollCase cases[] = {
        {"no events", {}, {0, false}, {0, false}, false, false, false, false},
        {"C down and up", {downC, upC}, {2, false}, {0, false}, true, true, false, false},
        {"C down, up, down", {downC, upC, downC}, {3, true}, {0, false}, true, true, false, false},
        {"C up without down", {upC}, {1, false}, {0, false}, false, true, false, false},
        {"X held with repeats",
         {downX, repeatX, repeatX, repeatX},
         {0, false},
         {1, true},
         false,
         false,
         true,
         false},
        {"W is no key of the game",
         {downW, upW, downW},
         {0, false},
         {0, false},
         false,
         false,
         false,
         false},
        {"both keys interleaved",
         {downX, downC, upX, repeatC},
         {1, true},
         {2, false},
         true,
         false,
         true,
         true},
    };
    for (const OnePollCase& c : cases) {
        SCOPED_TRACE(c.name);
        keys = {};
        EXPECT_TRUE(poll(c.events));
        EXPECT_EQ(keys.keyC.halfTransitions, c.expectedC.halfTransitions);
        EXPECT_EQ(keys.keyC.endedDown, c.expectedC.endedDown);
        EXPECT_EQ(keys.keyX.halfTransitions, c.expectedX.halfTransitions);
        EXPECT_EQ(keys.keyX.endedDown, c.expectedX.endedDown);
        EXPECT_EQ(wasPressed(keys.keyC), c.pressedC);
        EXPECT_EQ(wasReleased(keys.keyC), c.releasedC);
        EXPECT_EQ(wasPressed(keys.keyX), c.pressedX);
        EXPECT_EQ(wasReleased(keys.keyX), c.releasedX);
    }
}

TEST_F(PlayPoll, HeldKeyIsPressedInTheFirstPollOnly) {
    EXPECT_TRUE(poll({downC}));
    EXPECT_TRUE(wasPressed(keys.keyC));
    for (int step = 0; step < 10; step++) {
        SCOPED_TRACE(step);
        EXPECT_TRUE(poll(step % 2 == 0 ? std::vector<KeyEvent>{repeatC} : std::vector<KeyEvent>{}));
        EXPECT_EQ(keys.keyC.halfTransitions, 0);
        EXPECT_TRUE(keys.keyC.endedDown);
        EXPECT_FALSE(wasPressed(keys.keyC));
        EXPECT_FALSE(wasReleased(keys.keyC));
    }
    EXPECT_TRUE(poll({upC}));
    EXPECT_FALSE(keys.keyC.endedDown);
    EXPECT_TRUE(wasReleased(keys.keyC));
    EXPECT_FALSE(wasPressed(keys.keyC));
}

TEST_F(PlayPoll, EscapeEitherWayOrQuitEndsTheGame) {
    struct Case {
        const char* name;
        std::vector<KeyEvent> events;
        bool quit;
        bool expected;
    };
    const Case cases[] = {
        {"Escape down", {downEscape}, false, false},
        {"Escape up alone", {upEscape}, false, false},
        {"Escape repeat alone", {repeatEscape}, false, true},
        {"window closed", {}, true, false},
        {"other keys", {downC, downX, downW}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.quit)
            pushQuit();
        EXPECT_EQ(poll(c.events), c.expected);
        EXPECT_EQ(pendingEvents(), 0);
    }
}

TEST_F(PlayPoll, KeysBehindAQuitStillCount) {
    pushKey(downC);
    pushQuit();
    pushKey(upC);
    pushKey(downX);
    pushKey(upEscape);
    pushKey(downC);
    EXPECT_FALSE(pollPlayInput(keys));
    EXPECT_EQ(keys.keyC.halfTransitions, 3);
    EXPECT_TRUE(keys.keyC.endedDown);
    EXPECT_EQ(keys.keyX.halfTransitions, 1);
    EXPECT_TRUE(keys.keyX.endedDown);
    // The quit was taken from the queue: an empty poll goes on.
    EXPECT_TRUE(pollPlayInput(keys));
}

} // namespace
