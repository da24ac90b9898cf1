// Rollouts: a plan's key events played through a lookahead from some update to another, with the
// progress it makes measured on the way.
#pragma once

#include "chunk_log.h"
#include "lookahead.h"
#include "moves.h"

#include <cstdint>
#include <vector>

// What rollouts share: the view of the level, the chunks progress is measured along, and a count
// of the lookahead steps taken.
struct RolloutContext {
    LevelView view;
    const ChunkLog* chunks = nullptr;
    int64_t steps = 0;
};

// A player state a plan expects after an update.
struct ExpectedState {
    Vec2 position;
    Vec2 velocity;
    int32_t motionState;
};

struct Outcome {
    // The run ended, or came to a dead end no key leads out of: a slide or a crouch pressed
    // against something, without room to stand up, no longer moves and never ends.
    bool fell = false;
    int32_t fellAt = 0; // the update in which the run ended or stopped for good
    float start = 0.0f; // the progress at the start
    float best = 0.0f;  // the most progress reached
    float end = 0.0f;   // the progress at the end
    float late = 0.0f;  // the progress a little before the end
};

// How many updates before the end `late` is measured.
constexpr int32_t lateStretch = 32;

// Steps the prediction (the state before update `from`, counted from the plan's start) through
// the updates from..until-1 with the plan's keys, stopping at a fall or a dead end. With landBy,
// a player still in the air at `until` is followed on, up to landBy, until it lands or reaches a
// wall and a few updates more: a fall it can no longer do anything about counts too. When given,
// states receives the prediction before each update and expected the player after each.
Outcome rollOut(RolloutContext& context, Prediction prediction, int32_t from, int32_t until,
                const std::vector<PlannedKey>& keys, std::vector<Prediction>* states,
                std::vector<ExpectedState>* expected, int32_t landBy = 0);
// True when the player is stuck low for good: sliding or crouching without room to stand, not
// having moved at all for a while (stillFor counts the updates it has not moved).
bool stuckLow(const Player& player, int32_t stillFor);
// True when the player is still getting on at the end: it gained at least a little over the last
// updates.
bool stillGoing(const Outcome& outcome);
