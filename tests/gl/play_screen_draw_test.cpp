// The play screen's drawing on the real renderer. Its level is culled to the view, so each frame is
// compared pixel for pixel with a plain drawing of everything (the level as it was drawn before
// culling) of the same game state: along a replayed run, far out along the x axis and through
// cameras of other sizes. A frame of a live run also stays within its draw-call budget, in the
// busiest stretch of a four-hour run too.
#include "gl_fixture.h"

#include "background.h"
#include "game.h"
#include "key_script.h"
#include "level_generator.h"
#include "play_screen.h"
#include "player_draw.h"
#include "text.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const Vec4 black(0.0f, 0.0f, 0.0f, 1.0f);
const Vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
const float dt = 1.0f / 64.0f;
// The most draw calls a frame of a live run may take.
const uint64_t drawCallBudget = 64;

// Everything the play screen draws, nothing left out: every platform and fill polygon twice (the
// dimmed copy behind, then the level), as the play screen drew them before culling.
void drawEverything(Game& game, Vec4 background) {
    const Camera& camera = game.camera;
    drawRect(camera, camera.position, camera.size, 0.0f, background);
    Vec4 shade = background * 0.85f;
    auto parallax = [&](Vec2 p) {
        return camera.position + (p - camera.position) * 0.3f + Vec2(0.0f, 64.0f);
    };
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform* p = game.platforms.data[i];
        drawRect(camera, parallax(p->centre), Vec2(p->width, p->height) * 0.3f, p->angle, shade);
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++) {
        const FillPolygon* f = game.fillPolygons.data[i];
        drawTriangleStrip(camera, parallax(f->origin), f->points, f->count, 0.3f, 0.0f, shade);
    }
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform* p = game.platforms.data[i];
        drawRect(camera, p->centre, Vec2(p->width, p->height), p->angle, black);
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++) {
        const FillPolygon* f = game.fillPolygons.data[i];
        drawTriangleStrip(camera, f->origin, f->points, f->count, 1.0f, 0.0f, black);
    }
    drawPlayer(game.player, camera);

    Camera screen{Vec2(0.0f, 0.0f), camera.size};
    float w = camera.size.x;
    float h = camera.size.y;
    char number[32];
    if (game.player.alive) {
        int n = snprintf(number, sizeof(number), "Score: %d", shownScore(game.score));
        drawText(screen, number, n, Vec2(-w / 2.0f + 20.0f, h / 2.0f - 20.0f), 32.0f, white);
        return;
    }
    drawText(screen, "Game over", 9, Vec2(-128.0f, 40.0f), 28.0f, white);
    drawText(screen, "Your score was:", 15, Vec2(-208.0f, 0.0f), 28.0f, white);
    int n = snprintf(number, sizeof(number), "%d", shownScore(game.score));
    drawText(screen, number, n, Vec2(-10.0f * (float)n, -40.0f), 28.0f, white);
    drawText(screen, "Press C to restart", 18, Vec2(-238.0f, -100.0f), 28.0f, white);
}

struct Comparison {
    uint64_t playScreenCalls = 0;
    uint64_t everythingCalls = 0;
};

// Draws the game state both ways from the same background colour and player pose, and compares.
Comparison compareFrames(Game& game, const std::string& where) {
    SCOPED_TRACE(where);
    Comparison result;
    // The colour the play screen's next frame will take, without advancing the program's clocks.
    BackgroundState clocks = currentBackgroundState();
    Vec4 background = advanceBackground(clocks);
    Player before = game.player; // drawing poses the player

    clearFrame(Vec4(0.0f, 0.0f, 0.0f, 0.0f));
    uint64_t start = drawCallCount();
    drawEverything(game, background);
    result.everythingCalls = drawCallCount() - start;
    Frame expected = readFrame();

    game.player = before;
    clearFrame(Vec4(0.0f, 0.0f, 0.0f, 0.0f));
    start = drawCallCount();
    playDraw(game);
    result.playScreenCalls = drawCallCount() - start;
    Frame actual = readFrame();

    int32_t differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < actual.pixels.size(); i++) {
        if (!(actual.pixels[i] == expected.pixels[i])) {
            if (differing == 0)
                first = i;
            differing++;
        }
    }
    EXPECT_EQ(differing, 0) << "first at column " << first % (size_t)actual.width << ", row "
                            << actual.height - 1 - (int32_t)(first / (size_t)actual.width)
                            << " from the top";
    return result;
}

void pushKey(const KeyEvent& key) {
    SDL_Event event;
    SDL_zero(event);
    event.type = key.down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = key.down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key.key;
    SDL_PushEvent(&event);
}

// Moves the whole game by offset, as if the run had gone that far.
void moveEverything(Game& game, Vec2 offset) {
    for (int32_t i = 0; i < game.platforms.count; i++) {
        game.platforms.data[i]->centre += offset;
        refreshCorners(*game.platforms.data[i]);
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++)
        game.fillPolygons.data[i]->origin += offset;
    game.player.position += offset;
    game.camera.position += offset;
}

} // namespace

class PlayScreenDraw : public GlTest {};

TEST_F(PlayScreenDraw, CulledFramesAreTheFramesOfDrawingEverything) {
    std::vector<KeyEvent> events;
    std::string error;
    ASSERT_TRUE(readKeyScript("tests/golden/busy.txt", events, error)) << error;
    randomSeedOverride = 11;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Game game;
    game.camera.size = Vec2((float)glTestWindowWidth, (float)glTestWindowHeight);

    uint64_t playScreenCalls = 0;
    uint64_t everythingCalls = 0;
    uint64_t mostInALiveFrame = 0;
    int32_t liveFrames = 0;
    int32_t overFrames = 0;
    size_t nextEvent = 0;
    for (int64_t step = 1; step <= 12000; step++) {
        while (nextEvent < events.size() && events[nextEvent].step <= step) {
            if (events[nextEvent].step == step)
                pushKey(events[nextEvent]);
            nextEvent++;
        }
        ASSERT_TRUE(playUpdate(game, dt));
        if (step % 47 != 0)
            continue;
        bool alive = game.player.alive;
        Comparison c = compareFrames(game, "step " + std::to_string(step));
        playScreenCalls += c.playScreenCalls;
        everythingCalls += c.everythingCalls;
        if (alive) {
            liveFrames++;
            mostInALiveFrame = std::max(mostInALiveFrame, c.playScreenCalls);
        } else {
            overFrames++;
        }
        if (HasFailure())
            break;
    }
    EXPECT_GT(liveFrames, 100);
    EXPECT_GT(game.fillPolygons.count, 0);
    EXPECT_GT(overFrames, 10);
    EXPECT_LE(mostInALiveFrame, drawCallBudget);
    // The comparison means something only if culling left shapes out.
    EXPECT_LT(playScreenCalls, everythingCalls);

    // The same state far along a run, and through cameras that show more or less of it. Moved
    // behind its back, the fill-polygon index no longer matches and every polygon is looked at;
    // rebuilt, it is used again.
    moveEverything(game, Vec2(3.0e6f, -2.0e5f));
    ASSERT_FALSE(fillIndexMatches(game.fillIndex, game.fillPolygons));
    compareFrames(game, "far along, every polygon looked at");
    clearFillIndex(game.fillIndex);
    for (int32_t i = 0; i < game.fillPolygons.count; i++)
        addFillPolygon(game.fillIndex, *game.fillPolygons.data[i]);
    ASSERT_TRUE(fillIndexMatches(game.fillIndex, game.fillPolygons));
    compareFrames(game, "far along");
    for (Vec2 size : {Vec2(1280.0f, 960.0f), Vec2(200.0f, 150.0f), Vec2(640.0f, 1800.0f)}) {
        game.camera.size = size;
        compareFrames(game, "camera " + std::to_string((int)size.x) + " x " +
                                std::to_string((int)size.y));
    }
    releaseLevel(game);
    releaseChunkTemplates();
}

TEST_F(PlayScreenDraw, BusiestStretchOfALongRunStaysWithinTheBudget) {
    // The autopilot's run of seed 11 up to the stretch of its first four hours whose frames take
    // the most draw calls (the simulator's --timing and --draw-from found it), every frame of
    // that stretch drawn.
    std::vector<KeyEvent> events;
    std::string error;
    ASSERT_TRUE(readKeyScript("tests/gl/autopilot_11_busiest.txt", events, error)) << error;
    randomSeedOverride = 11;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Game game;
    game.camera.size = Vec2((float)glTestWindowWidth, (float)glTestWindowHeight);
    const int64_t firstDrawn = 271201;
    const int64_t last = 271680;
    uint64_t most = 0;
    int32_t liveFrames = 0;
    size_t nextEvent = 0;
    for (int64_t step = 1; step <= last; step++) {
        while (nextEvent < events.size() && events[nextEvent].step <= step) {
            if (events[nextEvent].step == step)
                pushKey(events[nextEvent]);
            nextEvent++;
        }
        ASSERT_TRUE(playUpdate(game, dt));
        if (step < firstDrawn || !game.player.alive)
            continue;
        uint64_t start = drawCallCount();
        playDraw(game);
        most = std::max(most, drawCallCount() - start);
        liveFrames++;
        glFinish();
    }
    EXPECT_EQ(liveFrames, last - firstDrawn + 1);
    EXPECT_LE(most, drawCallBudget);
    // The stretch is busy enough to mean something: with the score line drawn a glyph at a time
    // (eleven calls more for its twelve glyphs) it would break the budget.
    EXPECT_GE(most, drawCallBudget - 10);
    releaseLevel(game);
    releaseChunkTemplates();
}

TEST_F(PlayScreenDraw, ShapesJustInsideOrOutsideTheViewMatchDrawingEverything) {
    // Platforms and their dimmed copies placed a little inside, on and a little outside each edge
    // of the view, at fractions of a pixel, turned and not.
    Game game;
    game.camera.size = Vec2((float)glTestWindowWidth, (float)glTestWindowHeight);
    game.camera.position = Vec2(1000.3f, -200.7f);
    game.player.alive = true;
    game.player.position = game.camera.position - Vec2(64.0f, 32.0f);
    Vec2 half = game.camera.size / 2.0f;
    const float offsets[] = {-3.0f, -1.0f, -0.5f, -0.25f, 0.0f, 0.25f, 0.5f, 1.0f, 2.5f, 4.0f};
    for (float offset : offsets) {
        SCOPED_TRACE(testing::Message() << "offset " << offset);
        releaseLevel(game);
        Vec2 c = game.camera.position;
        // Each platform's near edge lies offset beyond one edge of the view.
        game.platforms.add(
            new Platform(makePlatform(c + Vec2(half.x + offset + 20.0f, 0.0f), 40, 40, 0)));
        game.platforms.add(
            new Platform(makePlatform(c - Vec2(half.x + offset + 20.0f, 0.0f), 40, 40, 0)));
        game.platforms.add(
            new Platform(makePlatform(c + Vec2(0.0f, half.y + offset + 5.0f), 300, 10, 0)));
        game.platforms.add(
            new Platform(makePlatform(c - Vec2(0.0f, half.y + offset + 5.0f), 300, 10, 0)));
        game.platforms.add(
            new Platform(makePlatform(c + Vec2(half.x + offset + 30.0f, half.y), 40, 40, 0.7f)));
        // The dimmed copy's edge at the same offsets: its centre at C + (p - C) * 0.3 + (0, 64).
        float copyHalf = 40.0f * 0.3f / 2.0f;
        game.platforms.add(new Platform(
            makePlatform(c + Vec2((half.x + offset + copyHalf) / 0.3f, -64.0f / 0.3f), 40, 40, 0)));
        compareFrames(game, "platforms");
    }
    releaseLevel(game);
}
