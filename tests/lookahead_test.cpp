// Lookahead: a prediction follows the live run exactly, update for update, under the same keys,
// and making one touches nothing of the live run.
#include "lookahead.h"

#include "level_builder.h"

namespace {

class LookaheadTest : public LevelTest {};

// Keys of a lively run: jumps of every length, slides, and both keys at once.
std::vector<KeyEvent> keysAt(int64_t step) {
    std::vector<KeyEvent> keys;
    int64_t phase = step % 97;
    if (phase == 5 || phase == 40)
        keys.push_back({step, SDLK_x, true});
    if (phase == 6 || phase == 52)
        keys.push_back({step, SDLK_x, false});
    if (phase == 70)
        keys.push_back({step, SDLK_c, true});
    if (phase == 71)
        keys.push_back({step, SDLK_x, true});
    if (phase == 90) {
        keys.push_back({step, SDLK_c, false});
        keys.push_back({step, SDLK_x, false});
    }
    return keys;
}

} // namespace

TEST_F(LookaheadTest, FollowsTheLiveRunExactly) {
    // Every template, ramps and ledge markers included.
    buildLevel({0, 3, 1, 4, 5, 7, 6, 8, 2, 9, 0, 1, 0, 0});
    LevelView view;
    Prediction prediction = predictFrom(game);
    int64_t compared = 0;
    for (int64_t step = 1; step <= 2000 && game.player.alive; step++) {
        // The view is remade now and then, as the autopilot does at every search.
        if (step % 200 == 1) {
            float x = game.player.position.x;
            viewLevel(view, game, x - 1024.0f, x + 2048.0f);
        }
        std::vector<KeyEvent> keys = keysAt(step);
        predictStep(view, prediction, keys.data(), (int32_t)keys.size(), dt);
        ASSERT_TRUE(update(keys));
        ASSERT_EQ(prediction.fallen, !game.player.alive) << "update " << step;
        if (!game.player.alive)
            break;
        ASSERT_TRUE(samePlayerState(prediction.player, game.player)) << "update " << step;
        ASSERT_EQ(prediction.player.ledgeArmed, game.player.ledgeArmed) << "update " << step;
        ASSERT_EQ(prediction.groundY, game.groundY) << "update " << step;
        compared++;
    }
    EXPECT_GT(compared, 500);
}

TEST_F(LookaheadTest, TouchesNothingOfTheLiveRun) {
    buildLevel({0, 1, 5, 0});
    for (int64_t step = 1; step <= 100; step++)
        ASSERT_TRUE(update(keysAt(step)));
    LevelView view;
    viewLevel(view, game, -10000.0f, 10000.0f);

    Player player = game.player;
    KeyboardState keys = game.keys;
    std::vector<Platform> platforms;
    for (int32_t i = 0; i < game.platforms.count; i++)
        platforms.push_back(*game.platforms.get(i));
    int32_t markers = game.ledgeMarkers.count;
    float groundY = game.groundY;
    seedRandom(1234);
    int32_t id = nextId();

    Prediction prediction = predictFrom(game);
    for (int64_t step = 1; step <= 600; step++) {
        std::vector<KeyEvent> events = keysAt(step);
        predictStep(view, prediction, events.data(), (int32_t)events.size(), dt);
    }

    EXPECT_FALSE(samePlayerState(prediction.player, player)) << "the prediction went nowhere";
    EXPECT_EQ(nextId(), id + 1);
    int32_t drawn = nextRandom();
    seedRandom(1234);
    EXPECT_EQ(drawn, nextRandom());
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0);
    EXPECT_TRUE(samePlayerState(game.player, player));
    EXPECT_EQ(game.player.ledgeIds, player.ledgeIds);
    EXPECT_EQ(game.keys.keyX.endedDown, keys.keyX.endedDown);
    EXPECT_EQ(game.keys.keyC.halfTransitions, keys.keyC.halfTransitions);
    EXPECT_EQ(game.groundY, groundY);
    ASSERT_EQ(game.platforms.count, (int32_t)platforms.size());
    for (int32_t i = 0; i < game.platforms.count; i++) {
        EXPECT_EQ(game.platforms.get(i)->id, platforms[(size_t)i].id);
        EXPECT_EQ(game.platforms.get(i)->centre.x, platforms[(size_t)i].centre.x);
    }
    EXPECT_EQ(game.ledgeMarkers.count, markers);
}
