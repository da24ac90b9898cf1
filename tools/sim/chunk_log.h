// The chunks of the current run as the level generator reports them: which template each was made
// from and where it starts. The autopilot steers by them and the run statistics blame falls on
// them.
#pragma once

#include "maths.h"

#include <cstdint>
#include <vector>

struct ChunkEntry {
    int32_t templateIndex;
    Vec2 origin;
    float climbBefore; // how far the run's earlier chunks climb, their rises summed (drops count 0)
};

struct ChunkLog {
    std::vector<ChunkEntry> chunks; // the current run's, left to right
    int64_t generated = 0;          // every chunk of every run
};

// Adds a chunk. Within a run every chunk starts right of the one before, so one that does not
// belongs to a new run, and the log starts over with it.
void logChunk(ChunkLog& log, int32_t templateIndex, Vec2 origin);
// Moves every chunk's origin by dx along x, as the live run was moved.
void shiftChunkLog(ChunkLog& log, float dx);
// The index of the chunk whose stretch of x holds x: the last one starting at or before it; -1
// when x lies left of the first chunk or the log is empty.
int32_t chunkAt(const ChunkLog& log, float x);
// Where chunk index ends and the next begins: the next chunk's origin, or the template's exit when
// the next one is not generated yet.
Vec2 chunkExit(const ChunkLog& log, int32_t index);
