// The play keys' state over one input poll, and the play screen's event poll that fills it.
#pragma once

#include <cstdint>

struct KeyState {
    int32_t halfTransitions; // key-downs and key-ups during the last poll, repeats excluded
    bool endedDown;          // the latest counted event was a key-down
};

struct KeyboardState {
    KeyState keyX; // jump
    KeyState keyC; // slide, crouch, drop; restarts a finished run
};

// Takes every pending event, counting X and C; false when the game is to end (window closed, or
// Escape pressed or released).
bool pollPlayInput(KeyboardState& keys);
// Counts one key-down or key-up of a key, as the poll does for every event that is not a repeat.
void countTransition(KeyState& key, bool down);
// The key went down during the last poll.
bool wasPressed(const KeyState& key);
// The key went up during the last poll.
bool wasReleased(const KeyState& key);
