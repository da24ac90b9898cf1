// The autopilot: plays a run by itself through the key events a player sends (taps and held
// jumps, slides, crouches, wall jumps, wall drops, C after a fall), deciding them by looking
// ahead with copies of the player (see lookahead.h). It never touches the live run, so the events
// it sends, replayed, give the same run byte for byte.
//
// It keeps a plan: key events for the coming updates and the player states they lead to. While
// the live run matches the plan and the plan keeps making progress (see progress.h), it only
// follows it. Otherwise it searches: one or two moves (moves.h) at a range of times, each tried
// in a lookahead, the best kept. Stuck for a while, it searches every way on (escape_search.h);
// with none, it falls on purpose and starts again, and where it cannot even fall it reports a
// soft lock.
#pragma once

#include "chunk_log.h"
#include "key_script.h"
#include "rollout.h"

#include <cstdint>
#include <cstdio>
#include <vector>

// What the autopilot did, for tuning and for the tests.
struct AutopilotCounters {
    int64_t searches = 0;      // plans looked for
    int64_t escapes = 0;       // escape searches
    int64_t divergences = 0;   // times the live run left the plan (the plan was then redone)
    int64_t giveUps = 0;       // deliberate falls out of places with no way on
    int64_t softLocks = 0;     // places with no way on and no way down, to the end
    int64_t slowStretches = 0; // places that looked so but were left after all
};

// A place the autopilot found no way out of, short of quitting.
struct SoftLock {
    int32_t templateIndex; // of the chunk it happened in; -1 when outside every chunk
    Vec2 position;         // the player's, in the world
    Vec2 inChunk;          // the same relative to the chunk's origin
    int32_t motionState;
};

// Construct before the run starts: it holds a scratch game record, which takes an id.
struct Autopilot {
    RolloutContext lookahead;
    FILE* report = stderr; // where soft locks are reported; null for silence

    std::vector<KeyEvent> plan; // events to send, by update
    size_t nextEvent = 0;
    std::vector<ExpectedState> expected; // after the updates planStep, planStep + 1, ...
    int64_t planStep = 0;
    bool planGood = false;   // the plan gets on
    bool committed = false;  // the plan is an escape, followed while it has keys to send
    int64_t searchAfter = 0; // after a search that found nothing good, the next waits until then
    int32_t searchPause = 8; // and how long the wait after the next such search is
    bool xHeld = false;
    bool cHeld = false;

    bool wasAlive = false;      // the run was alive before the last update
    float bestPotential = 0.0f; // the run's most progress so far
    int64_t progressStep = 0;   // the update it last grew
    bool escapeTried = false;   // since then

    // For soaking restarts: when above 0, a run this many updates old is ended on purpose by the
    // quickest fall in reach (tried once a run, counted as a give-up). 0 in every other use.
    int64_t fallAfter = 0;
    int64_t runStart = 0;   // the update the live run began in
    bool fallTried = false; // in the live run

    AutopilotCounters counters;
    // Places it found no way out of. The last is only a candidate while lockOpen: a player that
    // later gets away from it (or falls) was slow there, not locked in, and it is taken back.
    std::vector<SoftLock> softLocks;
    bool lockOpen = false;
};

// Points the autopilot at the log of the run's chunks, which the caller keeps filled.
void startAutopilot(Autopilot& autopilot, const ChunkLog& chunks);
// Moves what the autopilot keeps in the live run's x (its progress, its plan's expected states,
// the soft locks found) by dx, as the run was moved (see shiftRun).
void shiftAutopilot(Autopilot& autopilot, float dx);
// Ends the simulation for the autopilot: the soft locks never left are counted and reported.
void finishAutopilot(Autopilot& autopilot, const Game& live);
// The key events to send before update number step (counted from 1), decided from the live run
// as the previous update left it. Appends them to events.
void autopilotKeys(Autopilot& autopilot, const Game& live, int64_t step,
                   std::vector<KeyEvent>& events);
