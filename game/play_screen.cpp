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
const Vec4 levelColour(0.0f, 0.0f, 0.0f, 1.0f);
const Vec4 textColour(1.0f, 1.0f, 1.0f, 1.0f);

// Whether the template table is built is the table's own state: releasing it (tests and tools do)
// lets the next update build it again and start a fresh run, as the first one did.
static bool tableBuilt() {
    return chunkTemplates.count > 0;
}
static int32_t runCount = 0;

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
        if (!found && p.x > topLeft(*platform).x && topRight(*platform).x > p.x &&
            p.y > platform->centre.y) {
            game.groundY = bottomLeft(*platform).y;
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

void restartRun(Game& game) {
    releaseLevel(game);
    seedRandomFromClock();
    game.score = 0.0f;
    game.frontier = Vec2(-64.0f, 0.0f);
    for (int chunk = 0; chunk < 5; chunk++)
        generateChunk(game);
    game.player.position = Vec2(0.0f, 0.0f);
    resetPlayer(game.player);
    runCount++;
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

    generateAheadOfPlayer(game);
    findGroundAndCull(game);
    if (game.groundY - fallDistance > player.position.y)
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

static void drawLevel(const Game& game, const Vec4& background) {
    const Camera& camera = game.camera;
    Vec4 shade = background * parallaxShade;
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform* platform = game.platforms.get(i);
        drawRect(camera, parallaxPosition(camera.position, platform->centre),
                 Vec2(platform->width, platform->height) * parallaxScale, platform->angle, shade);
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++) {
        const FillPolygon* polygon = game.fillPolygons.get(i);
        drawTriangleStrip(camera, parallaxPosition(camera.position, polygon->origin),
                          polygon->points, polygon->count, parallaxScale, 0.0f, shade);
    }
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const Platform* platform = game.platforms.get(i);
        drawRect(camera, platform->centre, Vec2(platform->width, platform->height), platform->angle,
                 levelColour);
    }
    for (int32_t i = 0; i < game.fillPolygons.count; i++) {
        const FillPolygon* polygon = game.fillPolygons.get(i);
        drawTriangleStrip(camera, polygon->origin, polygon->points, polygon->count, 1.0f, 0.0f,
                          levelColour);
    }
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
