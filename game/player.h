// The player controller: six motion states driven by the jump and slide keys, resolving the
// player's box against the platforms one fixed step at a time.
#pragma once

#include "collision.h"
#include "maths.h"

#include <cstdint>
#include <set>

struct Game;

enum MotionState : int32_t {
    Running = 0,
    Sliding = 1,
    WallSliding = 2,
    WallRunning = 3,
    Airborne = 4,
    Crouching = 5,
};

struct Player {
    Vec2 position; // the feet point: bottom centre of the collision box
    Vec2 velocity;
    int32_t motionState = 0;
    Platform box; // its centre is the offset of the box centre from position
    float figureHeight = 0.0f;
    float stateTime = 0.0f;
    Vec2 bodyOffset;
    Vec2 footA;
    Vec2 footB;
    Vec2 look;
    float slideTimer = 0.0f;
    bool jumpHeld = false;
    float jumpHoldTime = 0.0f;
    float airTime = 0.0f;
    bool alive = false;
    bool onGround = false;
    bool ledgeArmed = false;
    float facing = 0.0f;
    float wallRunSpeed = 0.0f;
    bool canStand = false;
    bool touchingWall = false;
    Vec2 wallNormal;
    float wallRunTime = 0.0f;
    float wallJumpBoost = 0.0f;
    std::set<int32_t> ledgeIds; // ledge markers the box overlapped after the last step
};

// Starts a run: at the origin, airborne, moving right at 64 units/s.
void resetPlayer(Player& player);
// One fixed step of dt seconds against the game's platforms and ledge markers.
void updatePlayer(Player& player, const Game& game, float dt);
