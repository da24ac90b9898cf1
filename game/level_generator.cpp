// The level generator: picks each chunk's template by a Markov chain over the template table and
// copies it into the game's live arrays at the frontier. Relies on the chunk templates, the
// oriented boxes and the game record.
#include "level_generator.h"

#include "game.h"

#include <ctime>

// ---- Data --------------------------------------------------------------------------------------

ChunkTemplate* currentTemplate = nullptr;
std::optional<uint32_t> randomSeedOverride;
void (*chunkGenerated)(int32_t templateIndex, Vec2 origin) = nullptr;

// The classic C runtime generator, written out because the runtime's own rand here has a far
// larger range, which would send the weight walk to its fallback almost every time. Unseeded, it
// behaves as if seeded with 1.
static uint32_t randomState = 1;
static const int32_t largestRandom = 32767;

// ---- Public functions --------------------------------------------------------------------------

void seedRandom(uint32_t seed) {
    randomState = seed;
}

void seedRandomFromClock() {
    if (randomSeedOverride)
        seedRandom(*randomSeedOverride);
    else
        seedRandom((uint32_t)time(nullptr));
}

int32_t nextRandom() {
    // Unsigned arithmetic wraps modulo 2^32.
    randomState = randomState * 214013u + 2531011u;
    return (int32_t)((randomState >> 16) & 0x7FFFu);
}

int32_t chooseNextTemplate(const ChunkTemplate& current, int32_t randomValue) {
    float r = (float)randomValue / (float)largestRandom;
    float sum = 0.0f;
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        sum += current.weights[i];
        // Strict, so a template with weight 0 is never chosen.
        if (sum > r)
            return i;
    }
    // Only a draw of exactly 1 in a row that sums to exactly 1 gets here.
    return 0;
}

void releaseLevel(Game& game) {
    game.platforms.deleteAll();
    game.ledgeMarkers.deleteAll();
    clearLedgeIndex(game.ledgeIndex);
    game.fillPolygons.deleteAll();
    clearFillIndex(game.fillIndex);
}

void shiftLevel(Game& game, float dx) {
    for (int32_t i = 0; i < game.platforms.count; i++) {
        Platform& platform = *game.platforms.get(i);
        platform.centre.x += dx;
        refreshCorners(platform);
    }
    // The indexes are built again in the order the level was placed in, which is how they grew.
    clearFillIndex(game.fillIndex);
    for (int32_t i = 0; i < game.fillPolygons.count; i++) {
        FillPolygon& polygon = *game.fillPolygons.get(i);
        polygon.origin.x += dx;
        addFillPolygon(game.fillIndex, polygon);
    }
    clearLedgeIndex(game.ledgeIndex);
    for (int32_t i = 0; i < game.ledgeMarkers.count; i++) {
        LedgeMarker& marker = *game.ledgeMarkers.get(i);
        marker.box.centre.x += dx;
        refreshCorners(marker.box);
        addLedgeMarker(game.ledgeIndex, marker);
    }
    game.frontier.x += dx;
}

Vec2 placeChunk(Game& game, const ChunkTemplate& chunk, Vec2 origin) {
    for (int32_t i = 0; i < chunk.platforms.count; i++) {
        const Platform* source = chunk.platforms.get(i);
        game.platforms.add(new Platform(
            makePlatform(source->centre + origin, source->width, source->height, source->angle)));
    }
    // The point lists stay with the template; instances only move the origin.
    for (int32_t i = 0; i < chunk.fillPolygons.count; i++) {
        FillPolygon* polygon = new FillPolygon(*chunk.fillPolygons.get(i));
        polygon->origin = origin;
        game.fillPolygons.add(polygon);
        addFillPolygon(game.fillIndex, *polygon);
    }
    // Each marker gets its own id, which the player keys on; the box keeps the template's.
    for (int32_t i = 0; i < chunk.ledgeMarkers.count; i++) {
        const LedgeMarker* source = chunk.ledgeMarkers.get(i);
        LedgeMarker* marker = new LedgeMarker(*source);
        marker->id = nextId();
        marker->box.centre += origin;
        refreshCorners(marker->box);
        game.ledgeMarkers.add(marker);
        addLedgeMarker(game.ledgeIndex, *marker);
    }
    return origin + chunk.exit;
}

int32_t generateChunk(Game& game) {
    // The first chunk ever is the flat run, and it draws no random number.
    int32_t index = currentTemplate ? chooseNextTemplate(*currentTemplate, nextRandom()) : 0;
    ChunkTemplate* chosen = chunkTemplates.get(index);
    if (!chosen)
        return -1;
    currentTemplate = chosen;

    Vec2 origin = game.frontier;
    game.frontier = placeChunk(game, *chosen, origin);
    if (chunkGenerated)
        chunkGenerated(index, origin);
    return index;
}
