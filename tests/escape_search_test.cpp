// The escape search and the rollouts under it: a way off the step of the drop with a step, where
// no single move gets on; a closed room searched to the end with no way on and no way down; and a
// slide pressed into a wall under a ceiling taken for the dead end it is.
#include "escape_search.h"

#include "level_builder.h"
#include "progress.h"

namespace {

class EscapeSearchTest : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        lookahead.chunks = &log;
    }

    // Puts the player running at p, moving right at speed.
    void standAt(Vec2 p, float speed) {
        game.player.position = p;
        game.player.velocity = Vec2(speed, 0.0f);
        game.player.motionState = Running;
        game.player.onGround = true;
    }

    RolloutContext lookahead;
};

} // namespace

TEST_F(EscapeSearchTest, FindsTheWayOffTheStepOfTheDropWithAStep) {
    // Template 6: landed on the step against the right wall, the way on is back down to the floor
    // and under the wall, or up and over it; either takes several moves.
    buildLevel({0, 6, 0, 0});
    Vec2 origin = log.chunks[1].origin;
    standAt(origin + Vec2(357.0f, -162.0f), 0.0f);
    game.groundY = origin.y - 194.0f;
    viewLevel(lookahead.view, game, origin.x - 1024.0f, origin.x + 2048.0f);
    float goal = exitPotential(log, game.player.position.x);

    Outcome waiting = rollOut(lookahead, predictFrom(game), 0, 320, {}, nullptr, nullptr);
    EXPECT_LT(waiting.best, goal) << "the step is no trap: nothing needs doing";

    Escape escape = searchEscape(lookahead, predictFrom(game), {}, goal, 960, 400000);
    ASSERT_TRUE(escape.found);
    EXPECT_GE(escape.moves.size(), 2u);
    // Played back, the moves get through and the run goes on.
    std::vector<PlannedKey> keys = planKeys({}, escape.moves.data(), (int32_t)escape.moves.size());
    Outcome played =
        rollOut(lookahead, predictFrom(game), 0, escape.length + 64, keys, nullptr, nullptr);
    EXPECT_FALSE(played.fell);
    EXPECT_GE(played.best, goal);
}

TEST_F(EscapeSearchTest, SearchesAClosedRoomToTheEnd) {
    releaseLevel(game);
    addClosedRoom(game);
    log.chunks.clear();
    logChunk(log, 0, Vec2(-100.0f, 0.0f));
    resetPlayer(game.player);
    standAt(Vec2(100.0f, 0.0f), 200.0f);
    game.groundY = -32.0f;
    viewLevel(lookahead.view, game, -1000.0f, 1000.0f);

    Escape escape = searchEscape(lookahead, predictFrom(game), {}, 1000.0f, 960, 400000);
    EXPECT_TRUE(escape.exhausted);
    EXPECT_FALSE(escape.found);
    EXPECT_FALSE(escape.canFall);
    EXPECT_LT(lookahead.steps, 400000);
}

TEST_F(EscapeSearchTest, TakesASlideStuckUnderACeilingForADeadEnd) {
    // A tunnel just tall enough to slide through, closed by a wall.
    releaseLevel(game);
    game.platforms.add(new Platform(makePlatform(Vec2(200.0f, -16.0f), 800.0f, 32.0f, 0.0f)));
    game.platforms.add(new Platform(makePlatform(Vec2(300.0f, 48.0f), 200.0f, 32.0f, 0.0f)));
    game.platforms.add(new Platform(makePlatform(Vec2(416.0f, 16.0f), 32.0f, 32.0f, 0.0f)));
    log.chunks.clear();
    logChunk(log, 0, Vec2(-200.0f, 0.0f));
    resetPlayer(game.player);
    standAt(Vec2(100.0f, 0.0f), 400.0f);
    game.groundY = -32.0f;
    viewLevel(lookahead.view, game, -1000.0f, 1000.0f);

    // Sliding in and holding on: it stops at the wall, cannot stand, and no key gets it out.
    Move slide{0, Slide, 60};
    std::vector<PlannedKey> keys = planKeys({}, &slide, 1);
    Outcome outcome = rollOut(lookahead, predictFrom(game), 0, 320, keys, nullptr, nullptr);
    EXPECT_TRUE(outcome.fell);
    EXPECT_LT(outcome.fellAt, 100);
    // Running into the tunnel without sliding is merely stopped: no dead end.
    Outcome running = rollOut(lookahead, predictFrom(game), 0, 320, {}, nullptr, nullptr);
    EXPECT_FALSE(running.fell);
}
