// The autopilot's moves: what a player does with the two keys (a jump held for a while, a slide or
// crouch, a wall jump, a wall drop), when each is worth trying, and the key events each becomes.
#pragma once

#include "key_script.h"
#include "player.h"

#include <cstdint>
#include <vector>

enum MoveKind : int32_t {
    Jump,     // X held for hold updates
    Slide,    // C held for hold updates: a slide when fast, a crouch when slow
    WallJump, // X tapped on a wall
    WallDrop, // C and X together on a wall
};

// One move, starting at update `at` counted from the start of a plan.
struct Move {
    int32_t at;
    int32_t kind;
    int32_t hold;
};

// A move as it appears on a menu, not yet placed in time.
struct MoveChoice {
    int32_t kind;
    int32_t hold;
};

// A key event at update `at` counted from the start of a plan.
struct PlannedKey {
    int32_t at;
    KeyEvent event;
};

// The moves worth trying for a player in its state before an update; count receives how many.
// Nothing is worth trying in mid-air (after the moment a jump still counts) or in a slide.
const MoveChoice* movesFor(const Player& player, int32_t& count);
// The update at which a move's last key goes up.
int32_t moveEnd(const Move& move);
// Appends the key events of a move.
void addMoveKeys(const Move& move, std::vector<PlannedKey>& keys);
// The key events of a plan: first the given ones (the releases every plan starts with), then
// those of its moves, in update order (one update's events in the order they were added).
std::vector<PlannedKey> planKeys(const std::vector<PlannedKey>& first, const Move* moves,
                                 int32_t count);
