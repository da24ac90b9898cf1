// The play screen's update: the one-time table build, generation and culling, the end of a run,
// the restart on C, the score, the camera and the shift back past 2^21. Input goes through SDL's
// event queue as in the game.
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

TEST_F(PlayScreen, PastTwoToTheTwentyOneTheRunMovesBackExactly) {
    // A run started 8 units before the shift, its level generated 2048 ahead: seed 11 puts fill
    // polygons and ledge markers in it.
    randomSeedOverride = 11;
    runStartX = shiftSpan - 8.0f;
    restartRun(game);
    runStartX = 0.0f;
    while (game.player.position.x <= shiftSpan) {
        ASSERT_TRUE(playUpdate(game, dt));
        ASSERT_EQ(game.shifts, 0);
    }
    ASSERT_GT(game.fillPolygons.count, 0);
    ASSERT_GT(game.ledgeMarkers.count, 0);

    // What the shift must move, as it is before.
    std::vector<Platform> platforms;
    for (int32_t i = 0; i < game.platforms.count; i++)
        platforms.push_back(*game.platforms.get(i));
    std::vector<LedgeMarker> markers;
    for (int32_t i = 0; i < game.ledgeMarkers.count; i++)
        markers.push_back(*game.ledgeMarkers.get(i));
    std::vector<Vec2> polygonOrigins;
    for (int32_t i = 0; i < game.fillPolygons.count; i++)
        polygonOrigins.push_back(game.fillPolygons.get(i)->origin);
    Vec2 frontier = game.frontier;
    Player player = game.player;
    Vec2 camera = game.camera.position;
    ChunkTemplate* chain = currentTemplate;

    shiftRun(game);
    EXPECT_EQ(game.shifts, 1);
    // Exactly 2^21 to the left, nothing else changed, the corners cached again.
    auto moved = [](Vec2 after, Vec2 before) {
        return after.x + shiftSpan == before.x && after.y == before.y;
    };
    ASSERT_EQ(game.platforms.count, (int32_t)platforms.size());
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform& p = *game.platforms.get(i);
        EXPECT_TRUE(moved(p.centre, platforms[(size_t)i].centre)) << "platform " << i;
        EXPECT_EQ(p.id, platforms[(size_t)i].id);
        EXPECT_EQ(p.width, platforms[(size_t)i].width);
        EXPECT_EQ(p.angle, platforms[(size_t)i].angle);
        EXPECT_TRUE(cornersAreCurrent(p));
    }
    for (int32_t i = 0; i < game.ledgeMarkers.count; i++) {
        const LedgeMarker& m = *game.ledgeMarkers.get(i);
        EXPECT_TRUE(moved(m.box.centre, markers[(size_t)i].box.centre)) << "marker " << i;
        EXPECT_EQ(m.id, markers[(size_t)i].id);
        EXPECT_TRUE(cornersAreCurrent(m.box));
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++)
        EXPECT_TRUE(moved(game.fillPolygons.get(i)->origin, polygonOrigins[(size_t)i]));
    // The indexes hold the same records in the same order, their spans moved with them.
    EXPECT_TRUE(fillIndexMatches(game.fillIndex, game.fillPolygons));
    EXPECT_TRUE(ledgeIndexMatches(game.ledgeIndex, game.ledgeMarkers));
    EXPECT_TRUE(moved(game.frontier, frontier));
    EXPECT_TRUE(moved(game.player.position, player.position));
    EXPECT_TRUE(moved(game.camera.position, camera));

    // Play goes on as in a run built 2^21 to the left to begin with: the same level records, moved
    // by hand, the same player, the same chain and random numbers, the same keys (a jump).
    Game built;
    built.camera = game.camera;
    built.camera.position = Vec2(camera.x - shiftSpan, camera.y);
    for (const Platform& p : platforms)
        built.platforms.add(new Platform(
            makePlatform(p.centre - Vec2(shiftSpan, 0.0f), p.width, p.height, p.angle)));
    for (const LedgeMarker& m : markers) {
        LedgeMarker* marker = new LedgeMarker(m);
        marker->box.centre.x -= shiftSpan;
        refreshCorners(marker->box);
        built.ledgeMarkers.add(marker);
        addLedgeMarker(built.ledgeIndex, *marker);
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++) {
        FillPolygon* polygon = new FillPolygon(*game.fillPolygons.get(i));
        polygon->origin = polygonOrigins[(size_t)i] - Vec2(shiftSpan, 0.0f);
        built.fillPolygons.add(polygon);
        addFillPolygon(built.fillIndex, *polygon);
    }
    built.frontier = frontier - Vec2(shiftSpan, 0.0f);
    built.player = player;
    built.player.position.x -= shiftSpan;
    built.groundY = game.groundY;
    built.score = game.score;
    auto play = [&](Game& g, std::vector<Vec2>& path) {
        currentTemplate = chain;
        seedRandom(1234);
        for (int32_t step = 0; step < 1200; step++) {
            if (step == 10 || step == 40)
                pushKey(SDLK_x, step == 10);
            ASSERT_TRUE(playUpdate(g, dt));
            path.push_back(g.player.position);
            path.push_back(g.player.velocity);
        }
    };
    std::vector<Vec2> shiftedPath;
    std::vector<Vec2> builtPath;
    play(game, shiftedPath);
    play(built, builtPath);
    ASSERT_EQ(shiftedPath.size(), builtPath.size());
    for (size_t i = 0; i < shiftedPath.size(); i++) {
        ASSERT_EQ(shiftedPath[i].x, builtPath[i].x) << "update " << i / 2;
        ASSERT_EQ(shiftedPath[i].y, builtPath[i].y) << "update " << i / 2;
    }
    EXPECT_EQ(game.platforms.count, built.platforms.count);
    EXPECT_EQ(game.fillPolygons.count, built.fillPolygons.count);
    EXPECT_EQ(game.frontier.x, built.frontier.x);
    EXPECT_EQ(game.shifts, 1);
    releaseLevel(built);
}
