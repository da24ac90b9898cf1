// Lookahead: steps a copy of the player through the live level without touching the live run.
// A prediction holds its own player, key state and ground height; the level is read through a
// view, a scratch game record whose arrays hold pointers to the live level's records near the
// player, in the live order, so the first-platform rules pick the same one. Nothing here draws a
// random number, takes an id, changes a live array or touches SDL's event queue.
#pragma once

#include "game.h"
#include "key_script.h"

#include <cstdint>
#include <vector>

// A live record and a box that holds it.
template <typename T> struct NearRecord {
    T* record;
    Vec2 low;
    Vec2 high;
};

// What a lookahead sees of the level: the live records within a stretch of x, and the scratch
// game the player update reads, refilled every step with the records the player can touch in that
// step. The scratch game is made once, before a run starts (making a game record takes an id),
// and never owns the records its arrays point to.
struct LevelView {
    Game scratch;
    std::vector<NearRecord<Platform>> platforms;
    std::vector<NearRecord<LedgeMarker>> markers;
};

// The predicted state of a run after some steps.
struct Prediction {
    Player player;
    KeyboardState keys{};
    float groundY = 0.0f;
    bool fallen = false; // the run ended: the rest of a lookahead is meaningless
};

// Gathers the live platforms and ledge markers that may reach into [left, right] in x, in their
// live order, and takes the live camera (the player update reads it).
void viewLevel(LevelView& view, const Game& live, float left, float right);
// The live run's state as a prediction's starting point.
Prediction predictFrom(const Game& live);
// One update of the play screen for a run that is alive: ground search, the fall rule, the key
// events of this step counted as the poll counts them, the player step. Does nothing once fallen.
// Only as exact as the view: the player must stay within the stretch the view gathered.
void predictStep(LevelView& view, Prediction& prediction, const KeyEvent* events, int32_t count,
                 float dt);
// True when two players agree exactly in position, velocity and motion state.
bool samePlayerState(const Player& a, const Player& b);
