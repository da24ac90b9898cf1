// The play screen, for now only its way out: it polls the play keys, so Escape or a window close
// ends the game, and it draws nothing over the cleared frame.
#include "play_screen.h"

bool playUpdate(Game& game, float) {
    return pollPlayInput(game.keys);
}

void playDraw(Game&) {}
