// The play screen's update: the one-time table build, generation and culling, the end of a run,
// the restart on C, the score and the camera. Input goes through SDL's event queue as in the game.
#include "play_screen.h"

#include "level_generator.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct ChunkRecord {
    int32_t templateIndex;
    Vec2 origin;
};
std::vector<ChunkRecord> chunks;

void recordChunk(int32_t templateIndex, Vec2 origin) {
    chunks.push_back({templateIndex, origin});
}

void pushKey(SDL_Keycode key, bool down) {
    SDL_Event event;
    SDL_zero(event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

class PlayScreen : public testing::Test {
  protected:
    static constexpr float dt = 1.0f / 64.0f;

    static void SetUpTestSuite() { SDL_Init(SDL_INIT_EVENTS); }
    static void TearDownTestSuite() {
        releaseChunkTemplates();
        SDL_Quit();
    }

    void SetUp() override {
        randomSeedOverride = 7;
        chunkGenerated = recordChunk;
        chunks.clear();
        game.camera.size = Vec2(640.0f, 480.0f);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        // The process's first update builds the table; every test then starts from a fresh run.
        ASSERT_TRUE(playUpdate(game, dt));
        ASSERT_EQ(chunkTemplates.count, chunkTemplateCount);
        chunks.clear();
        restartRun(game);
    }
    void TearDown() override {
        chunkGenerated = nullptr;
        releaseLevel(game);
    }

    // Replaces the level with the given platforms and keeps the generator from adding any.
    void useLevel(const std::vector<Platform>& platforms) {
        releaseLevel(game);
        for (const Platform& platform : platforms)
            game.platforms.add(new Platform(platform));
        game.frontier = Vec2(1.0e6f, 0.0f);
    }

    Game game;
};

} // namespace

TEST_F(PlayScreen, BuildsTheTableOnceAndKeepsTheLevelAhead) {
    // A run starts with five chunks from (-64, 0); updates then keep 2048 units generated ahead.
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[0].origin.x, -64.0f);
    EXPECT_EQ(chunks[0].origin.y, 0.0f);
    const ChunkTemplate* first = chunkTemplates.get(0);
    for (int step = 0; step < 200; step++) {
        float before = game.player.position.x;
        ASSERT_TRUE(playUpdate(game, dt));
        ASSERT_GE(game.frontier.x, before + 2048.0f);
    }
    EXPECT_EQ(chunkTemplates.count, chunkTemplateCount);
    EXPECT_EQ(chunkTemplates.get(0), first); // not rebuilt
    // Every chunk starts where the one before it ended.
    for (size_t i = 1; i < chunks.size(); i++) {
        const ChunkTemplate* previous = chunkTemplates.get(chunks[i - 1].templateIndex);
        Vec2 expected = chunks[i - 1].origin + previous->exit;
        EXPECT_EQ(chunks[i].origin.x, expected.x);
        EXPECT_EQ(chunks[i].origin.y, expected.y);
    }
}

TEST_F(PlayScreen, FindsTheFirstPlatformUnderThePlayer) {
    game.player.position = Vec2(0.0f, 0.0f);
    useLevel({makePlatform(Vec2(500.0f, -16.0f), 400.0f, 32.0f, 0.0f),
              makePlatform(Vec2(136.0f, -16.0f), 400.0f, 32.0f, 0.0f),
              makePlatform(Vec2(0.0f, -116.0f), 400.0f, 32.0f, 0.0f)});
    game.groundY = 999.0f;
    playUpdate(game, dt);
    // A 400-wide floor from x -64 with its top at 0: the bottom edge is at -32.
    EXPECT_EQ(game.groundY, -32.0f);
    EXPECT_TRUE(game.player.alive);

    // With nothing under the player the last ground is kept.
    game.player.position = Vec2(5000.0f, 0.0f);
    useLevel({});
    playUpdate(game, dt);
    EXPECT_EQ(game.groundY, -32.0f);
}

TEST_F(PlayScreen, CullsFarBehindAndExaminesTheMovedPlatform) {
    game.player.position = Vec2(3000.0f, 100.0f);
    // Slot 0 is too far behind; the last platform, also too far, moves into it and must go too.
    // The platform exactly 2048 behind stays.
    Platform exactly = makePlatform(Vec2(952.0f, -5000.0f), 10.0f, 10.0f, 0.0f);
    Platform justPast = makePlatform(Vec2(951.9f, -5000.0f), 10.0f, 10.0f, 0.0f);
    Platform ahead = makePlatform(Vec2(4000.0f, -5000.0f), 10.0f, 10.0f, 0.0f);
    Platform farBehind = makePlatform(Vec2(0.0f, -5000.0f), 10.0f, 10.0f, 0.0f);
    useLevel({justPast, exactly, ahead, farBehind});
    game.groundY = -10000.0f;
    playUpdate(game, dt);
    std::vector<int32_t> kept;
    for (int32_t i = 0; i < game.platforms.count; i++)
        kept.push_back(game.platforms.get(i)->id);
    EXPECT_EQ(kept, (std::vector<int32_t>{ahead.id, exactly.id}));
}

TEST_F(PlayScreen, RunEndsOnlyBeyondSixtyFourBelowTheGround) {
    useLevel({});
    game.groundY = 0.0f;
    game.player.position = Vec2(0.0f, -64.0f);
    playUpdate(game, dt);
    EXPECT_TRUE(game.player.alive);

    game.player.position = Vec2(0.0f, -64.01f);
    game.player.velocity = Vec2(0.0f, 0.0f);
    float score = game.score;
    Vec2 camera = game.camera.position;
    playUpdate(game, dt);
    EXPECT_FALSE(game.player.alive);
    // Once the run is over the score and the camera stay where they were.
    for (int step = 0; step < 10; step++)
        playUpdate(game, dt);
    EXPECT_EQ(game.score, score);
    EXPECT_EQ(game.camera.position.x, camera.x);
    EXPECT_EQ(game.camera.position.y, camera.y);
}

TEST_F(PlayScreen, ScoresTheSquaredStepAndFollowsWithTheCamera) {
    useLevel({});
    game.groundY = -1000.0f;
    game.player.motionState = Airborne;
    game.player.position = Vec2(10.0f, 20.0f);
    game.player.velocity = Vec2(192.0f, 256.0f); // (3, 4) in one step
    game.score = 1.0f;
    playUpdate(game, dt);
    EXPECT_EQ(game.player.position.x, 13.0f);
    EXPECT_EQ(game.player.position.y, 24.0f);
    EXPECT_FLOAT_EQ(game.score, 1.25f);
    EXPECT_EQ(game.camera.position.x, 13.0f + 64.0f);
    EXPECT_EQ(game.camera.position.y, 24.0f + 32.0f);
}

TEST_F(PlayScreen, CRestartsAFinishedRunContinuingTheChain) {
    useLevel({});
    game.groundY = 0.0f;
    // C during a run is only the slide key.
    int32_t runs = runsStarted();
    pushKey(SDLK_c, true);
    pushKey(SDLK_c, false);
    playUpdate(game, dt);
    EXPECT_EQ(runsStarted(), runs);
    EXPECT_EQ(game.platforms.count, 0);

    game.player.position = Vec2(0.0f, -100.0f);
    playUpdate(game, dt);
    ASSERT_FALSE(game.player.alive);
    game.score = 42.0f;

    // After the fall C starts a new run at once.
    int32_t last = chunks.back().templateIndex;
    chunks.clear();
    seedRandom(7);
    int32_t expectedFirst = chooseNextTemplate(*chunkTemplates.get(last), nextRandom());
    pushKey(SDLK_c, true);
    EXPECT_TRUE(playUpdate(game, dt));
    EXPECT_TRUE(game.player.alive);
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[0].origin.x, -64.0f);
    EXPECT_EQ(chunks[0].origin.y, 0.0f);
    EXPECT_EQ(chunks[0].templateIndex, expectedFirst);
    int32_t platforms = 0;
    for (const ChunkRecord& chunk : chunks)
        platforms += chunkTemplates.get(chunk.templateIndex)->platforms.count;
    EXPECT_EQ(game.platforms.count, platforms);
    // The new run has already taken its first step, so only that step's movement is scored.
    EXPECT_LT(game.score, 1.0f);
    EXPECT_GT(game.player.position.x, 0.0f);
    pushKey(SDLK_c, false);
}

TEST_F(PlayScreen, EscapeOrQuitEndsTheGame) {
    pushKey(SDLK_ESCAPE, true);
    EXPECT_FALSE(playUpdate(game, dt));
    EXPECT_TRUE(playUpdate(game, dt));
    SDL_Event quit;
    SDL_zero(quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_FALSE(playUpdate(game, dt));
}

TEST(ShownScore, TruncatesAndSaturates) {
    EXPECT_EQ(shownScore(12.9f), 12);
    EXPECT_EQ(shownScore(0.0f), 0);
    EXPECT_EQ(shownScore(2147483520.0f), 2147483520);
    EXPECT_EQ(shownScore(2147483648.0f), 2147483647);
    EXPECT_EQ(shownScore(1.0e30f), 2147483647);
    EXPECT_EQ(shownScore(INFINITY), 2147483647);
}
