// What became of the runs of a simulation: falls and the templates they began in, the chunks of
// each template the player entered, the autopilot's deliberate falls, time spent without getting
// further, and the farthest point reached. Fed after every update.
#pragma once

#include "chunk_log.h"
#include "chunk_templates.h"
#include "game.h"

#include <cstdint>

// A stretch without a new farthest x counts as stuck only from this length on (5 s), so that a
// wall climbed in a few seconds does not count.
constexpr int64_t stuckGraceSteps = 320;

struct RunStats {
    int64_t deaths = 0;
    int64_t deathsByTemplate[chunkTemplateCount] = {};
    int64_t visitsByTemplate[chunkTemplateCount] = {};  // chunks entered, each once a run
    int64_t giveUpsByTemplate[chunkTemplateCount] = {}; // deliberate falls, where they began
    int64_t stuckSteps = 0;
    double farthestX = 0.0; // over every run, its true x (see trueX)
    bool anyRun = false;

    // The run in progress.
    bool alive = false;
    int32_t runs = 0;            // runs started, as the play screen counts them
    float runFarthestX = 0.0f;   // the run's farthest x
    int64_t stretch = 0;         // updates since it last grew
    int32_t groundTemplate = -1; // the template of the chunk where the player last stood
    int32_t enteredChunk = -1;   // the farthest chunk of the run's log the player has entered
};

// Takes in the live run after an update; runs is the play screen's count of runs started.
void noteUpdate(RunStats& stats, const Game& live, const ChunkLog& chunks, int32_t runs);
// Counts a deliberate fall (the autopilot giving up a place it cannot leave) against the template
// where the player last stood; call it before the update the fall starts in.
void noteGiveUp(RunStats& stats);
// Moves what is kept in the live run's x by dx, as the run was moved (see shiftRun).
void shiftRunStats(RunStats& stats, float dx);
// Counts the stretch still open at the end of the simulation.
void finishStats(RunStats& stats);
