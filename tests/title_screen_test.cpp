// The title screen's own poll: C switches to play, Escape or a window close ends the game, and the
// play keys' state is left alone.
#include "title_screen.h"

#include "event_queue.h"
#include "play_screen.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TitlePoll : public EventQueueTest {};

bool isScreen(const Screen& screen, const Screen& expected) {
    return screen.update == expected.update && screen.draw == expected.draw;
}

TEST_F(TitlePoll, KeysAndQuit) {
    struct Case {
        const char* name;
        std::vector<KeyEvent> events;
        bool quit;
        bool expectedResult;
        bool expectedPlay;
    };
    const Case cases[] = {
        {"no input", {}, false, true, false},
        {"C down", {downC}, false, true, true},
        {"C repeat", {repeatC}, false, true, true},
        {"C up only", {upC}, false, true, false},
        {"X and W", {downX, upX, downW, upW}, false, true, false},
        {"Escape down", {downEscape}, false, false, false},
        {"Escape repeat", {repeatEscape}, false, false, false},
        {"Escape up only", {upEscape}, false, true, false},
        {"window closed", {}, true, false, false},
        {"C and Escape in one poll", {downC, upC, downEscape}, false, false, true},
        {"Escape then C in one poll", {downEscape, downC}, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Game game;
        game.screen = titleScreen;
        for (const KeyEvent& event : c.events)
            pushKey(event);
        if (c.quit)
            pushQuit();
        EXPECT_EQ(titleUpdate(game, 0.015625f), c.expectedResult);
        EXPECT_TRUE(isScreen(game.screen, c.expectedPlay ? playScreen : titleScreen));
        EXPECT_EQ(pendingEvents(), 0);
        // The C that starts play is not a C press for the play screen.
        EXPECT_EQ(game.keys.keyC.halfTransitions, 0);
        EXPECT_FALSE(game.keys.keyC.endedDown);
    }
}

} // namespace
