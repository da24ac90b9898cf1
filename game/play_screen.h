// The play screen: the running game. Its update keeps the level generated ahead of the player and
// culled behind it, ends the run on a fall, restarts on C, steps the player, scores and follows
// with the camera; its draw paints the background, the level, the player and the texts.
#pragma once

#include "game.h"

#include <cstdint>

// One fixed step; false when the player asked to quit (window closed or Escape).
bool playUpdate(Game& game, float dt);
// Draws one frame of the play screen.
void playDraw(Game& game);
// True when the platform counts as the ground under position (it spans position's x and its
// centre is below it); groundY then takes the height falls are measured from, its bottom edge.
bool groundUnder(const Platform& platform, Vec2 position, float& groundY);
// True when position is far enough below groundY to end the run.
bool hasFallen(float groundY, Vec2 position);
// Starts a new run: empties the level, reseeds, generates five chunks and resets the player.
void restartRun(Game& game);
// How many runs this process has started.
int32_t runsStarted();
// Moves the whole live run (level, frontier, player and camera) shiftSpan to the left and counts
// it in game.shifts.
void shiftRun(Game& game);
// When set, called by shiftRun after the move with the distance moved (-shiftSpan): how tools move
// what they keep of the live run with it.
extern void (*runShifted)(float dx);
// Where every run starts in x, the level with it: 0 in the game, so runStartShifts * shiftSpan +
// runStartX. The simulator moves it to see how play holds up far from the origin; runStartX
// stays within [0, shiftSpan) there.
extern float runStartX;
extern int64_t runStartShifts;
// The score as shown: truncated toward zero, saturating at the largest int.
int32_t shownScore(float score);

inline constexpr Screen playScreen = {playUpdate, playDraw};
