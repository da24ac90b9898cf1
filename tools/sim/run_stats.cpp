// Run statistics. A fall is blamed on the chunk the player last stood in, where the fall began,
// not on the one it was in when the run ended: a runner dropping off one chunk's edge may end up
// beneath the next one. A chunk counts as visited once its stretch of x holds the player's
// centre, once a run: walking back into it counts nothing, and a chunk crossed within one update
// still counts, so every fall is blamed on a visited chunk.
#include "run_stats.h"

#include <algorithm>

// Getting further counts in steps of this much.
static const float progressStepSize = 1.0f;

static void closeStretch(RunStats& stats) {
    if (stats.stretch >= stuckGraceSteps)
        stats.stuckSteps += stats.stretch;
    stats.stretch = 0;
}

static bool knownTemplate(int32_t templateIndex) {
    return templateIndex >= 0 && templateIndex < chunkTemplateCount;
}

static int32_t templateAt(const ChunkLog& chunks, float x) {
    if (chunks.chunks.empty())
        return -1;
    int32_t index = std::max(chunkAt(chunks, x), 0);
    return chunks.chunks[(size_t)index].templateIndex;
}

static void countDeath(RunStats& stats, int32_t templateIndex) {
    stats.deaths++;
    if (knownTemplate(templateIndex))
        stats.deathsByTemplate[templateIndex]++;
    closeStretch(stats);
}

// Counts the chunks up to index that the run has not entered yet.
static void enterChunks(RunStats& stats, const ChunkLog& chunks, int32_t index) {
    while (stats.enteredChunk < index) {
        stats.enteredChunk++;
        int32_t templateIndex = chunks.chunks[(size_t)stats.enteredChunk].templateIndex;
        if (knownTemplate(templateIndex))
            stats.visitsByTemplate[templateIndex]++;
    }
}

static void startRun(RunStats& stats, const Game& live, const ChunkLog& chunks) {
    const Player& player = live.player;
    stats.alive = true;
    stats.runFarthestX = player.position.x;
    stats.stretch = 0;
    stats.groundTemplate = templateAt(chunks, player.position.x);
    // A run starting left of its first chunk is in that chunk, as far as blame goes.
    stats.enteredChunk = -1;
    if (!chunks.chunks.empty())
        enterChunks(stats, chunks, std::max(chunkAt(chunks, player.position.x), 0));
    if (!stats.anyRun || trueX(live, player.position.x) > stats.farthestX)
        stats.farthestX = trueX(live, player.position.x);
    stats.anyRun = true;
}

void noteUpdate(RunStats& stats, const Game& live, const ChunkLog& chunks, int32_t runs) {
    const Player& player = live.player;
    // A fall and a restart in one update (C pressed just as the run ended) leave the player alive
    // but the count of runs moved on.
    bool restarted = runs != stats.runs;
    stats.runs = runs;
    if (stats.alive && (!player.alive || restarted))
        countDeath(stats, stats.groundTemplate);
    if (!player.alive) {
        stats.alive = false;
        return;
    }
    if (!stats.alive || restarted) {
        startRun(stats, live, chunks);
        return;
    }
    // Running off a chunk's last edge, the left end of the box is the last to leave it.
    if (player.onGround)
        stats.groundTemplate = templateAt(chunks, player.position.x - player.box.width * 0.5f);
    enterChunks(stats, chunks, chunkAt(chunks, player.position.x));
    stats.farthestX = std::max(stats.farthestX, trueX(live, player.position.x));
    // Pressed against a wall the player's x can creep by a rounding error: that is no progress.
    if (player.position.x >= stats.runFarthestX + progressStepSize) {
        stats.runFarthestX = player.position.x;
        closeStretch(stats);
    } else {
        stats.stretch++;
    }
}

void noteGiveUp(RunStats& stats) {
    if (stats.alive && knownTemplate(stats.groundTemplate))
        stats.giveUpsByTemplate[stats.groundTemplate]++;
}

void shiftRunStats(RunStats& stats, float dx) {
    stats.runFarthestX += dx;
}

void finishStats(RunStats& stats) {
    closeStretch(stats);
}
