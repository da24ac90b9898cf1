// The play screen: the game proper.
#pragma once

#include "game.h"

// One fixed step of play; false ends the game.
bool playUpdate(Game& game, float dt);
// Draws the play screen.
void playDraw(Game& game);

inline constexpr Screen playScreen = {playUpdate, playDraw};
