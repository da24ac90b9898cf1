// The player's pose animation and its drawing from flat shapes: a rounded body, eyes that look
// along the motion, a half-disc mouth and two feet posed by the motion state.
#pragma once

#include "draw.h"
#include "player.h"

// Poses the player for its motion state and draws it with the camera; once per drawn frame.
void drawPlayer(Player& player, const Camera& camera);

// The pose steps, one per motion state; each writes bodyOffset, footA and footB. They touch no
// OpenGL, so the pose can be computed without a window.

// Feet striding twice a second in the running direction, blended in after a state change.
void poseRunning(Player& player);
// Body lowered, feet spread and still.
void poseSliding(Player& player);
// Feet drawn together towards the wall (wall sliding and wall running).
void poseWall(Player& player);
// Feet trailing the motion.
void poseAirborne(Player& player);
// Body lowered, feet shuffling once a second.
void poseCrouching(Player& player);
