// The escape search: when the autopilot is stuck, it looks at every way the player can move, move
// after move, until one gets further along than the goal, and notes the quickest fall on the way.
// States are told apart by a coarse cell of position, velocity, motion state and facing; a state
// in a cell already reached is not followed again, which keeps the search finite.
#pragma once

#include "rollout.h"

#include <cstdint>
#include <vector>

struct Escape {
    bool found = false;      // a way on: moves reaching the goal
    std::vector<Move> moves; // its moves, counted from the search's start
    int32_t length = 0;      // the update in which it reaches the goal
    bool canFall = false;    // a way down: moves ending the run
    std::vector<Move> fallMoves;
    int32_t fallLength = 0;
    float bestPotential = 0.0f;  // short of the goal, the most progress a way reached that
    std::vector<Move> bestMoves; // survives doing nothing for a while, its moves and when
    int32_t bestLength = 0;
    bool exhausted = false; // every state reachable within the limit was looked at
};

// Searches from the prediction (before update 0, with the releases sent in update 0) for moves
// that take the progress to goal or beyond within `limit` updates, taking at most `budget`
// lookahead steps. A way on must survive a while of doing nothing once through.
Escape searchEscape(RolloutContext& context, const Prediction& start,
                    const std::vector<PlannedKey>& releases, float goal, int32_t limit,
                    int64_t budget);
