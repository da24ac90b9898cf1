// The chunk log: a sorted list of chunk origins, searched by x.
#include "chunk_log.h"

#include "chunk_templates.h"

#include <algorithm>

void logChunk(ChunkLog& log, int32_t templateIndex, Vec2 origin) {
    if (!log.chunks.empty() && !(origin.x > log.chunks.back().origin.x))
        log.chunks.clear();
    float climbBefore = 0.0f;
    if (!log.chunks.empty()) {
        const ChunkEntry& last = log.chunks.back();
        climbBefore = last.climbBefore + std::max(0.0f, origin.y - last.origin.y);
    }
    log.chunks.push_back({templateIndex, origin, climbBefore});
    log.generated++;
}

void shiftChunkLog(ChunkLog& log, float dx) {
    for (ChunkEntry& chunk : log.chunks)
        chunk.origin.x += dx;
}

int32_t chunkAt(const ChunkLog& log, float x) {
    auto after =
        std::upper_bound(log.chunks.begin(), log.chunks.end(), x,
                         [](float value, const ChunkEntry& c) { return value < c.origin.x; });
    return (int32_t)(after - log.chunks.begin()) - 1;
}

Vec2 chunkExit(const ChunkLog& log, int32_t index) {
    if (index + 1 < (int32_t)log.chunks.size())
        return log.chunks[(size_t)index + 1].origin;
    const ChunkEntry& chunk = log.chunks[(size_t)index];
    const ChunkTemplate* chosen = chunkTemplates.get(chunk.templateIndex);
    return chosen ? chunk.origin + chosen->exit : chunk.origin;
}
