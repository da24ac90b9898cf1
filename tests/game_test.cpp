// The update hook's peek at the event queue: a window close ends the step before the screen runs,
// but only among the first 16 pending events; behind them it is the screen's poll that sees it.
#include "game.h"

#include "event_queue.h"
#include "level_generator.h"
#include "play_screen.h"
#include "title_screen.h"
#include "tyx.h"

#include <gtest/gtest.h>

namespace {

int screenUpdates = 0;
float lastDt = 0.0f;

// The title screen, counting its steps.
bool countingTitleUpdate(Game& game, float dt) {
    screenUpdates += 1;
    lastDt = dt;
    return titleUpdate(game, dt);
}

class GameUpdate : public EventQueueTest {
  protected:
    void SetUp() override {
        EventQueueTest::SetUp();
        screenUpdates = 0;
        lastDt = 0.0f;
        game.screen = {countingTitleUpdate, titleDraw};
    }
    // A play update builds the level and the template table, which the game keeps to the end.
    void TearDown() override {
        releaseLevel(game);
        releaseChunkTemplates();
        EventQueueTest::TearDown();
    }

    Game game;
};

TEST_F(GameUpdate, CallsTheScreenWithTheStep) {
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(screenUpdates, 1);
    EXPECT_EQ(lastDt, 0.015625f);
}

TEST_F(GameUpdate, QuitAmongTheFirstSixteenEventsSkipsTheScreen) {
    struct Case {
        int eventsAhead;
        int expectedScreenUpdates;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {15, 0}, {16, 1}, {17, 1}, {40, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.eventsAhead);
        SDL_FlushEvents(0, 0xFFFF);
        screenUpdates = 0;
        for (int i = 0; i < c.eventsAhead; i++)
            pushKey(i % 2 == 0 ? downW : upW);
        pushQuit();

        EXPECT_FALSE(gameUpdate(game, 0.015625f));
        EXPECT_EQ(screenUpdates, c.expectedScreenUpdates);
        if (c.expectedScreenUpdates == 0) {
            // The quit stays queued, so the next step stops at it again.
            EXPECT_EQ(pendingEvents(), c.eventsAhead + 1);
            EXPECT_FALSE(gameUpdate(game, 0.015625f));
            EXPECT_EQ(screenUpdates, 0);
        } else {
            EXPECT_EQ(pendingEvents(), 0);
        }
    }
}

TEST_F(GameUpdate, TitleToPlayAndOut) {
    pushKey(downC);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(game.screen.update, playScreen.update);
    EXPECT_EQ(game.screen.draw, playScreen.draw);

    // Still holding C: the play keys start from the title's untouched state.
    pushKey(repeatC);
    pushKey(upC);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(game.keys.keyC.halfTransitions, 1);
    EXPECT_FALSE(wasPressed(game.keys.keyC));

    // Escape released on the play screen ends the game.
    pushKey(upEscape);
    EXPECT_FALSE(gameUpdate(game, 0.015625f));
}

} // namespace
