// The progress measure. It is continuous where chunks meet (a chunk's carried climb is the
// previous one's full climb), so crossing into the next chunk at its entry neither gains nor
// loses. The floor of a chunk at some x is the lowest top edge there among its template's
// platforms no higher than its entry, read from the template table once; below it, and more
// than a little below, the player has left every way through (as under the next chunk's floor).
#include "progress.h"

#include "chunk_templates.h"

#include <algorithm>
#include <vector>

// ---- Tunables ----------------------------------------------------------------------------------

static const float climbWeight = 2.0f;
static const float belowSlack = 8.0f;
static const float belowWeight = 8.0f;
// Top edges higher than this above a chunk's entry do not count as its floor.
static const float entryTolerance = 0.5f;
// Where a runner that has just got through a chunk stands: a little into the next one.
static const Vec2 exitStep(24.0f, 1.0f);

// ---- Types -------------------------------------------------------------------------------------

// The top edge of a template platform, relative to the chunk's origin, left end first.
struct TopEdge {
    Vec2 left;
    Vec2 right;
};

// ---- Data --------------------------------------------------------------------------------------

static std::vector<TopEdge> topEdges[chunkTemplateCount];
static bool edgesRead = false;

// ---- Helpers -----------------------------------------------------------------------------------

static void readTopEdges() {
    if (edgesRead || chunkTemplates.count < chunkTemplateCount)
        return;
    for (int32_t t = 0; t < chunkTemplateCount; t++) {
        const ChunkTemplate* chunk = chunkTemplates.get(t);
        for (int32_t i = 0; i < chunk->platforms.count; i++) {
            const Platform& platform = *chunk->platforms.get(i);
            Vec2 a = topLeft(platform);
            Vec2 b = topRight(platform);
            // Shelves above the entry are places to climb to, not floors to fall from.
            if (std::max(a.y, b.y) > entryTolerance)
                continue;
            topEdges[t].push_back(a.x <= b.x ? TopEdge{a, b} : TopEdge{b, a});
        }
    }
    edgesRead = true;
}

// The lowest floor of the chunk's template at x (relative to its origin); `fallback` where no
// platform spans x.
static float floorAt(int32_t templateIndex, float x, float fallback) {
    readTopEdges();
    if (!edgesRead || templateIndex < 0 || templateIndex >= chunkTemplateCount)
        return fallback;
    bool found = false;
    float lowest = fallback;
    for (const TopEdge& edge : topEdges[templateIndex]) {
        if (x < edge.left.x || x > edge.right.x)
            continue;
        float span = edge.right.x - edge.left.x;
        float t = span > 0.0f ? (x - edge.left.x) / span : 0.0f;
        float y = edge.left.y + (edge.right.y - edge.left.y) * t;
        lowest = found ? std::min(lowest, y) : y;
        found = true;
    }
    return lowest;
}

// ---- Public functions --------------------------------------------------------------------------

float progressPotential(const ChunkLog& chunks, Vec2 position) {
    int32_t index = chunkAt(chunks, position.x);
    if (index < 0)
        return position.x;
    const ChunkEntry& chunk = chunks.chunks[(size_t)index];
    Vec2 exit = chunkExit(chunks, index);
    float climb = std::max(0.0f, exit.y - chunk.origin.y);
    float rise = std::clamp(position.y - chunk.origin.y, 0.0f, climb);
    float fallback = std::min(chunk.origin.y, exit.y) - chunk.origin.y;
    float floor =
        chunk.origin.y + floorAt(chunk.templateIndex, position.x - chunk.origin.x, fallback);
    float below = std::max(0.0f, floor - belowSlack - position.y);
    return position.x + climbWeight * (chunk.climbBefore + rise) - belowWeight * below;
}

float exitPotential(const ChunkLog& chunks, float x) {
    int32_t index = chunkAt(chunks, x);
    if (index < 0)
        return x;
    return progressPotential(chunks, chunkExit(chunks, index) + exitStep);
}
