// The play screen's update and draw.
#include "play_screen.h"

#include "background.h"
#include "draw.h"
#include "keyboard.h"
#include "level_generator.h"
#include "player.h"
#include "player_draw.h"
#include "text.h"

#include <climits>
#include <cmath>
#include <cstdio>

// ---- Tunables ----------------------------------------------------------------------------------

// The level is kept generated this far ahead of the player and culled this far behind it.
constexpr float generateAhead = 2048.0f;
constexpr float cullBehind = 2048.0f;
// A run ends when the player is more than this far below the platform last found under it.
constexpr float fallDistance = 64.0f;
constexpr float scorePerSquaredUnit = 0.01f;
// The camera looks a little ahead of and above the player.
const Vec2 cameraLead(64.0f, 32.0f);
// The dimmed copy of the level behind it: shrunk towards the camera and raised.
constexpr float parallaxScale = 0.3f;
const Vec2 parallaxLift(0.0f, 64.0f);
constexpr float parallaxShade = 0.85f;
// Shapes wholly this far outside the view are not drawn, which changes no pixel. The GPU places a
// vertex to within a few units in the last place of its world coordinates, far less than the
// margin, which grows with the distance from the origin to keep it so far along a run.
constexpr float cullMargin = 2.0f;
constexpr float cullMarginPerUnit = 1.0f / 65536.0f;
// The fill-polygon index is asked for a range of x wider by this than the view shows; the exact
// test on each polygon found then decides, so the slack only has to outgrow rounding.
constexpr float fillSlack = 64.0f;
constexpr float fillSlackPerUnit = 1.0f / 4096.0f;
const Vec4 levelColour(0.0f, 0.0f, 0.0f, 1.0f);
const Vec4 textColour(1.0f, 1.0f, 1.0f, 1.0f);

// Whether the template table is built is the table's own state: releasing it (tests and tools do)
// lets the next update build it again and start a fresh run, as the first one did.
static bool tableBuilt() {
    return chunkTemplates.count > 0;
}
static int32_t runCount = 0;
float runStartX = 0.0f;
int64_t runStartShifts = 0;
void (*runShifted)(float dx) = nullptr;

// ---- Update ------------------------------------------------------------------------------------

// Finds the platform under the player (the first one in array order) and, in the same pass,
// removes the platforms far behind it. A removal moves the last platform into slot i, so slot i
// is examined again.
static void findGroundAndCull(Game& game) {
    Vec2 p = game.player.position;
    bool found = false;
    int32_t i = 0;
    while (i < game.platforms.count) {
        Platform* platform = game.platforms.get(i);
        if (!found && groundUnder(*platform, p, game.groundY)) {
            found = true;
        } else if (p.x - cullBehind > platform->centre.x) {
            game.platforms.removeAt(i);
            delete platform;
            continue;
        }
        i++;
    }
}

// Generates chunks until the frontier is far enough ahead. Far out, a float frontier can stop
// moving when a chunk's exit is below its precision; generation then stops instead of spinning.
static void generateAheadOfPlayer(Game& game) {
    while (game.player.position.x + generateAhead > game.frontier.x) {
        float before = game.frontier.x;
        generateChunk(game);
        if (!(game.frontier.x > before))
            break;
    }
}

bool groundUnder(const Platform& platform, Vec2 position, float& groundY) {
    BoxCorners scratch;
    const BoxCorners& corners = cornersOf(platform, scratch);
    // The corners are top-left, top-right, bottom-left, bottom-right.
    if (position.x > corners.corners[0].x && corners.corners[1].x > position.x &&
        position.y > platform.centre.y) {
        groundY = corners.corners[2].y;
        return true;
    }
    return false;
}

bool hasFallen(float groundY, Vec2 position) {
    return groundY - fallDistance > position.y;
}

void restartRun(Game& game) {
    releaseLevel(game);
    seedRandomFromClock();
    game.score = 0.0f;
    game.shifts = runStartShifts;
    // The first chunk begins a little behind the player.
    game.frontier = Vec2(runStartX - 64.0f, 0.0f);
    for (int chunk = 0; chunk < 5; chunk++)
        generateChunk(game);
    resetPlayer(game.player);
    game.player.position = Vec2(runStartX, 0.0f);
    runCount++;
}

void shiftRun(Game& game) {
    shiftLevel(game, -shiftSpan);
    game.player.position.x -= shiftSpan;
    game.camera.position.x -= shiftSpan;
    game.shifts++;
    if (runShifted)
        runShifted(-shiftSpan);
}

int32_t runsStarted() {
    return runCount;
}

bool playUpdate(Game& game, float dt) {
    if (!tableBuilt()) {
        buildChunkTemplates();
        restartRun(game);
    }
    Player& player = game.player;
    if (player.position.x > shiftSpan)
        shiftRun(game);

    generateAheadOfPlayer(game);
    findGroundAndCull(game);
    if (hasFallen(game.groundY, player.position))
        player.alive = false;

    bool running = pollPlayInput(game.keys);
    if (!player.alive && wasPressed(game.keys.keyC))
        restartRun(game);

    // A finished run keeps stepping the player (it keeps falling) but no longer scores or moves
    // the camera.
    Vec2 before = player.position;
    updatePlayer(player, game, dt);
    Vec2 moved = player.position - before;
    if (player.alive) {
        game.score += scorePerSquaredUnit * lengthSquared(moved);
        game.camera.position = player.position + cameraLead;
    }
    return running;
}

// ---- Draw --------------------------------------------------------------------------------------

int32_t shownScore(float score) {
    // Converting a float beyond the int range is undefined, so the shown number saturates.
    if (!(score < 2147483648.0f))
        return std::isnan(score) ? 0 : INT_MAX;
    if (score <= -2147483648.0f)
        return INT_MIN;
    return (int32_t)score;
}

static Vec2 parallaxPosition(Vec2 camera, Vec2 position) {
    return camera + (position - camera) * parallaxScale + parallaxLift;
}

// The world rectangle a camera shows, widened by the cull margin.
struct ViewBounds {
    Vec2 low;
    Vec2 high;
};

static ViewBounds viewBounds(const Camera& camera) {
    Vec2 half(fabsf(camera.size.x) / 2.0f, fabsf(camera.size.y) / 2.0f);
    float farthest = fmaxf(fabsf(camera.position.x), fabsf(camera.position.y)) + half.x + half.y;
    float margin = cullMargin + farthest * cullMarginPerUnit;
    Vec2 reach = half + Vec2(margin, margin);
    return ViewBounds{camera.position - reach, camera.position + reach};
}

// Whether everything between low and high lies outside the view. NaN bounds never do.
static bool outsideView(const ViewBounds& view, Vec2 low, Vec2 high) {
    return high.x < view.low.x || low.x > view.high.x || high.y < view.low.y || low.y > view.high.y;
}

// Whether a fill polygon drawn unturned at position and scale lies outside the view.
static bool polygonOutsideView(const ViewBounds& view, const FillPolygon& polygon, Vec2 position,
                               float scale) {
    if (polygon.count <= 0)
        return true;
    Vec2 low = polygon.points[0];
    Vec2 high = polygon.points[0];
    for (int32_t i = 1; i < polygon.count; i++) {
        Vec2 p = polygon.points[i];
        low = Vec2(fminf(low.x, p.x), fminf(low.y, p.y));
        high = Vec2(fmaxf(high.x, p.x), fmaxf(high.y, p.y));
    }
    return outsideView(view, position + low * scale, position + high * scale);
}

// Calls draw for every fill polygon that may reach into world x from low to high: those the index
// finds when it matches the level, otherwise all of them. The index gives them in order of x, not
// of the array; within one layer every polygon has the same colour, so the pixels are the same.
template <typename Draw>
static void forFillPolygonsBetween(const Game& game, float low, float high, Draw draw) {
    if (!fillIndexMatches(game.fillIndex, game.fillPolygons)) {
        for (int32_t i = 0; i < game.fillPolygons.count; i++)
            draw(*game.fillPolygons.get(i));
        return;
    }
    int32_t first = 0;
    int32_t end = 0;
    findFillPolygonsBetween(game.fillIndex, low, high, first, end);
    for (int32_t i = first; i < end; i++)
        draw(*game.fillIndex.entries[(size_t)i].record);
}

// Draws the dimmed copy, then the level, each only where the view shows it: the live platforms are
// bounded, and the fill polygons, which pile up for the whole run, are found through their index.
static void drawLevel(const Game& game, const Vec4& background) {
    const Camera& camera = game.camera;
    ViewBounds view = viewBounds(camera);
    Vec4 shade = background * parallaxShade;
    // A platform's bounds are those of its corners; the dimmed copy's are the same corners carried
    // over by the parallax, which keeps the order of coordinates.
    BoxCorners scratch;
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform* platform = game.platforms.get(i);
        const BoxCorners& corners = cornersOf(*platform, scratch);
        if (outsideView(view, parallaxPosition(camera.position, corners.low),
                        parallaxPosition(camera.position, corners.high)))
            continue;
        drawRect(camera, parallaxPosition(camera.position, platform->centre),
                 Vec2(platform->width, platform->height) * parallaxScale, platform->angle, shade);
    }
    // The world x whose dimmed copies the view shows: the parallax undone on the view's edges.
    float c = camera.position.x;
    float slack = fillSlack + fabsf(c) * fillSlackPerUnit;
    forFillPolygonsBetween(game, c + (view.low.x - c) / parallaxScale - slack,
                           c + (view.high.x - c) / parallaxScale + slack,
                           [&](const FillPolygon& polygon) {
                               Vec2 position = parallaxPosition(camera.position, polygon.origin);
                               if (!polygonOutsideView(view, polygon, position, parallaxScale))
                                   drawTriangleStrip(camera, position, polygon.points,
                                                     polygon.count, parallaxScale, 0.0f, shade);
                           });
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform* platform = game.platforms.get(i);
        const BoxCorners& corners = cornersOf(*platform, scratch);
        if (!outsideView(view, corners.low, corners.high))
            drawRect(camera, platform->centre, Vec2(platform->width, platform->height),
                     platform->angle, levelColour);
    }
    forFillPolygonsBetween(game, view.low.x - slack, view.high.x + slack,
                           [&](const FillPolygon& polygon) {
                               if (!polygonOutsideView(view, polygon, polygon.origin, 1.0f))
                                   drawTriangleStrip(camera, polygon.origin, polygon.points,
                                                     polygon.count, 1.0f, 0.0f, levelColour);
                           });
}

// Draws a fixed text; its length is the literal's.
template <int32_t N>
static void drawLabel(const Camera& camera, const char (&text)[N], Vec2 position, float size) {
    drawText(camera, text, N - 1, position, size, textColour);
}

static void drawTexts(const Game& game) {
    // Texts are placed on the window, not in the world: (0, 0) is the window's centre.
    Camera screen{Vec2(0.0f, 0.0f), game.camera.size};
    float width = game.camera.size.x;
    float height = game.camera.size.y;
    char number[32];
    if (game.player.alive) {
        int n = snprintf(number, sizeof(number), "Score: %d", shownScore(game.score));
        drawText(screen, number, n, Vec2(-width / 2.0f + 20.0f, height / 2.0f - 20.0f), 32.0f,
                 textColour);
        return;
    }
    drawLabel(screen, "Game over", Vec2(-128.0f, 40.0f), 28.0f);
    drawLabel(screen, "Your score was:", Vec2(-208.0f, 0.0f), 28.0f);
    int n = snprintf(number, sizeof(number), "%d", shownScore(game.score));
    drawText(screen, number, n, Vec2(-10.0f * (float)n, -40.0f), 28.0f, textColour);
    drawLabel(screen, "Press C to restart", Vec2(-238.0f, -100.0f), 28.0f);
}

void playDraw(Game& game) {
    Vec4 background = backgroundColour();
    drawRect(game.camera, game.camera.position, game.camera.size, 0.0f, background);
    drawLevel(game, background);
    drawPlayer(game.player, game.camera);
    drawTexts(game);
}
