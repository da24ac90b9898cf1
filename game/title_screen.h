// The title screen: the controls, and the way into play.
#pragma once

#include "game.h"

// Polls every pending event: C switches to the play screen, Escape or a window close ends the
// game (returns false). dt is unused.
bool titleUpdate(Game& game, float dt);
// Draws the six lines of the title text.
void titleDraw(Game& game);

inline constexpr Screen titleScreen = {titleUpdate, titleDraw};
