// The player controller: turns the jump and slide keys into the six motion states, moves the
// player's box and resolves it against the platforms, and tracks the ledge markers it touches.
// Relies on the collision queries (contact, overlaps) and the keyboard state of one poll. Every
// step is single-precision arithmetic in a fixed order, so a run replays exactly.
#include "player.h"

#include "game.h"

#include <algorithm>
#include <cmath>
#include <vector>

// ---- Tunables ----------------------------------------------------------------------------------

const float gravity = 380.0f;       // units/s², in the air and sliding down a wall
const float jumpSpeed = 300.0f;     // velocity y of a ground jump while it is held
const float wallJumpSpeed = 500.0f; // speed of a jump off a wall
const float slideMinSpeed = 128.0f; // above this the slide key slides, else crouches
const float slideStopSpeed = 32.0f; // a held slide ends below this velocity x
const float runSpeedThresholds[5] = {0.0f, 200.0f, 400.0f, 500.0f, 600.0f};
const float runAcceleration[5] = {500.0f, 500.0f, 300.0f, 150.0f, 75.0f}; // per band, units/s²
const float coyoteTime = 0.04f;               // a jump still counts this long after the ground
const float maxJumpHold = 0.1f;               // how long holding jump keeps velocity y up
const float wallJumpBoostWindow = 0.3f;       // quick wall jumps within this raise the boost
const float wallJumpBoostStep = 0.1f;         // added per boosted wall jump
const float ledgePushSpeed = 64.0f;           // velocity x when leaving a wall over a ledge
const float slideGraceTime = 0.3f;            // a slide keeps its speed this long
const Vec2 standingSize = Vec2(22.0f, 42.0f); // box when running or in the air
const Vec2 lowSize = Vec2(22.0f, 32.0f);      // box when sliding or crouching
const float wallRunDeceleration = gravity * 0.5f;
const float ledgeDropSpeed = gravity * 0.3f;

const float groundThreshold = 0.3f;     // a contact normal's y above this is ground
const float wallThreshold = 0.3f;       // a contact normal's |x| above this is a wall
const float wallDropFactor = 0.75f;     // share of jumpSpeed added downwards by a wall drop
const float wallDropAngle = 1.0471975f; // the wall drop turns the velocity by 60°
const Vec2 wallJumpDirection = Vec2(0.8f, 0.6f); // (1, 0.75) normalised
const float slideBraking = 256.0f;               // units/s² once the grace time is over
const float crouchSpeed = 32.0f;                 // a crouch creeps right at this speed
const float figureHeight = 44.0f;
// Corners and depths are rounded to the floats of the positions they come from: a box pushed out
// of a platform may still overlap it by a few units in the last place of the largest coordinate
// involved. This share of that coordinate bounds such a residue (four units in the last place).
const float roundingShare = 1.0f / 2097152.0f; // 2^-21

// ---- Helpers -----------------------------------------------------------------------------------

static bool isHeld(const KeyState& key) {
    return key.endedDown;
}

// The box keeps its bottom edge at position whatever its size.
static void setBoxSize(Player& player, Vec2 size) {
    player.box.width = size.x;
    player.box.height = size.y;
    player.box.centre = Vec2(0.0f, size.y * 0.5f);
}

// The box in the world, its corners cached: it meets every platform or marker nearby before it
// moves again.
static Platform boxAt(const Player& player) {
    Platform box = player.box;
    box.centre = player.position + player.box.centre;
    refreshCorners(box);
    return box;
}

// The most two boxes' corners and a contact between them can be off by rounding.
static float roundingOf(const Platform& a, const Platform& b) {
    float largest = std::max({fabsf(a.centre.x), fabsf(a.centre.y), a.width, a.height,
                              fabsf(b.centre.x), fabsf(b.centre.y), b.width, b.height});
    return largest * roundingShare;
}

static void stepRunning(Player& player, float dt);
static void stepSliding(Player& player, const Game& game, float dt);
static void stepWallSliding(Player& player, float dt);
static void stepWallRunning(Player& player, float dt);
static void stepAirborne(Player& player, float dt);
static void stepCrouching(Player& player, const Game& game, float dt);

static void jumpInput(Player& player, const Game& game, float dt);
static void resolvePlatforms(Player& player, const Game& game);
static void testHeadRoom(Player& player, const Game& game);
static void trackLedgeMarkers(Player& player, const Game& game);

// ---- Public functions --------------------------------------------------------------------------

void resetPlayer(Player& player) {
    player.position = Vec2(0.0f, 0.0f);
    player.velocity = Vec2(64.0f, 0.0f);
    player.motionState = Airborne;
    setBoxSize(player, standingSize);
    player.figureHeight = figureHeight;
    player.look = Vec2(0.0f, 0.0f);
    player.jumpHeld = false;
    player.jumpHoldTime = 0.0f;
    player.airTime = 0.0f;
    player.alive = true;
    player.facing = 1.0f;
    player.wallRunTime = 0.0f;
    player.wallJumpBoost = 1.0f;
}

void updatePlayer(Player& player, const Game& game, float dt) {
    player.stateTime += dt;

    if (player.alive) {
        jumpInput(player, game, dt);
    } else if (game.camera.position.y - game.camera.size.y > player.position.y) {
        // Fallen out of view: nothing is left to show, so nothing moves.
        return;
    }

    if (wasPressed(game.keys.keyC) && player.motionState == Running) {
        if (fabsf(player.velocity.x) > slideMinSpeed) {
            player.slideTimer = slideGraceTime;
            player.motionState = Sliding;
        } else {
            player.motionState = Crouching;
        }
        setBoxSize(player, lowSize);
    }

    player.position += player.velocity * dt;
    player.onGround = false;
    player.touchingWall = false;

    resolvePlatforms(player, game);
    testHeadRoom(player, game);
    trackLedgeMarkers(player, game);

    switch (player.motionState) {
    case Running:
        stepRunning(player, dt);
        break;
    case Sliding:
        stepSliding(player, game, dt);
        break;
    case WallSliding:
        stepWallSliding(player, dt);
        break;
    case WallRunning:
        stepWallRunning(player, dt);
        break;
    case Airborne:
        stepAirborne(player, dt);
        break;
    case Crouching:
        stepCrouching(player, game, dt);
        break;
    default:
        break;
    }
}

// ---- Update phases -----------------------------------------------------------------------------

static void jumpInput(Player& player, const Game& game, float dt) {
    const KeyState& jumpKey = game.keys.keyX;
    if (wasPressed(jumpKey)) {
        player.ledgeArmed = false;
        int32_t state = player.motionState;
        if (state == Running || (state == Airborne && player.airTime < coyoteTime)) {
            // The state stays: the contacts of this step decide when the ground is gone. airTime is
            // not reset, so a second press inside the window launches again.
            player.jumpHeld = true;
            player.jumpHoldTime = 0.0f;
            player.velocity.y = jumpSpeed;
            player.wallRunTime = 0.0f;
            player.wallJumpBoost = 1.0f;
        } else if (state == WallSliding && isHeld(game.keys.keyC)) {
            player.velocity.x = 0.0f;
            player.velocity.y -= jumpSpeed * wallDropFactor;
            if (player.wallNormal.x < 0.0f) {
                player.velocity = player.velocity.rotated(-wallDropAngle);
                player.facing = -1.0f;
            } else {
                player.velocity = player.velocity.rotated(wallDropAngle);
                player.facing = 1.0f;
            }
        } else if (state == WallSliding || state == WallRunning) {
            Vec2 d = wallJumpDirection;
            if (player.wallNormal.x < 0.0f)
                d.x = -d.x;
            Vec2 v = d * wallJumpSpeed;
            if (state == WallRunning && player.wallRunTime < wallJumpBoostWindow) {
                player.wallJumpBoost += wallJumpBoostStep;
                v.x *= player.wallJumpBoost;
            }
            player.velocity = v;
            player.facing = d.x < 0.0f ? -1.0f : 1.0f;
        }
    } else if (!isHeld(jumpKey)) {
        player.jumpHeld = false;
    } else if (player.jumpHeld) {
        player.jumpHoldTime += dt;
        if (player.jumpHoldTime < maxJumpHold)
            player.velocity.y = jumpSpeed;
        else
            player.jumpHeld = false;
    }
}

static void resolvePlatforms(Player& player, const Game& game) {
    Platform box = boxAt(player);
    BoxCorners boxScratch;
    BoxCorners platformScratch;
    const BoxCorners* boxCorners = &cornersOf(box, boxScratch);
    for (int32_t i = 0; i < game.platforms.count; i++) {
        const BoxCorners& platform = cornersOf(*game.platforms.data[i], platformScratch);
        // Most platforms are far away; the query would turn them down the same way.
        if (clearlyApart(*boxCorners, platform))
            continue;
        Contact c = contact(*boxCorners, platform);
        if (!c.hit)
            continue;
        if (c.normal.y > groundThreshold)
            player.onGround = true;
        if (fabsf(c.normal.x) > wallThreshold) {
            player.touchingWall = true;
            player.wallNormal = c.normal;
            if (player.motionState == Airborne) {
                if (player.velocity.y <= 0.0f) {
                    player.motionState = WallSliding;
                    player.wallJumpBoost = 1.0f;
                } else {
                    player.motionState = WallRunning;
                    player.wallRunSpeed = player.velocity.y;
                }
                player.wallRunTime = 0.0f;
                player.stateTime = 0.0f;
                // Reaching a wall while inside a ledge marker means the wall has a top to climb.
                player.ledgeArmed = !player.ledgeIds.empty();
            }
        }
        Vec2 push = c.normal * c.depth;
        player.position += push;
        box.centre += push;
        refreshCorners(box);
        boxCorners = &cornersOf(box, boxScratch);
        // The whole normal component goes, so a landing also loses any upward speed into a slope.
        player.velocity -= c.normal * dot(c.normal, player.velocity);
    }
}

static void testHeadRoom(Player& player, const Game& game) {
    Platform standing = player.box;
    standing.width = standingSize.x;
    standing.height = standingSize.y;
    standing.angle = 0.0f;
    standing.centre = player.position + Vec2(0.0f, standingSize.y * 0.5f);
    BoxCorners standingScratch;
    BoxCorners platformScratch;
    const BoxCorners& standingCorners = cornersOf(standing, standingScratch);
    player.canStand = true;
    for (int32_t i = 0; i < game.platforms.count; i++) {
        // An exact touch (depth 0) still leaves room to stand. One platform in the way settles it.
        const Platform& box = *game.platforms.data[i];
        const BoxCorners& platform = cornersOf(box, platformScratch);
        if (clearlyApart(standingCorners, platform))
            continue;
        Contact c = contact(standingCorners, platform);
        if (c.depth <= 0.0f)
            continue;
        // Something that presses the box down is above the player: it blocks at any depth. The
        // floor under the feet, a ramp or a wall the low box was just pushed out of can only
        // overlap the standing box by the rounding of that push, which is a touch; deeper, a wall
        // beside the head is in the way.
        if (c.normal.y < 0.0f || c.depth > roundingOf(standing, box)) {
            player.canStand = false;
            return;
        }
    }
}

static void trackLedgeMarkers(Player& player, const Game& game) {
    Platform box = boxAt(player);
    BoxCorners boxScratch;
    BoxCorners markerScratch;
    const BoxCorners& boxCorners = cornersOf(box, boxScratch);
    std::vector<int32_t> overlapping;
    std::vector<int32_t> entered;
    auto test = [&](const LedgeMarker* marker) {
        if (!overlaps(boxCorners, cornersOf(marker->box, markerScratch)))
            return;
        overlapping.push_back(marker->id);
        if (player.ledgeIds.count(marker->id) == 0)
            entered.push_back(marker->id);
    };
    // Only which markers overlap matters, not the order they are found in: the updates below
    // treat overlapping and entered as sets. So the index, which finds them by x, serves as well
    // as a pass over every marker of the run; without an index that matches, that pass it is.
    if (ledgeIndexMatches(game.ledgeIndex, game.ledgeMarkers)) {
        int32_t first = 0;
        int32_t end = 0;
        findNearbyLedgeMarkers(game.ledgeIndex, boxCorners, first, end);
        for (int32_t i = first; i < end; i++)
            test(game.ledgeIndex.entries[(size_t)i].record);
    } else {
        for (int32_t i = 0; i < game.ledgeMarkers.count; i++)
            test(game.ledgeMarkers.data[i]);
    }
    for (auto it = player.ledgeIds.begin(); it != player.ledgeIds.end();) {
        bool carried = false;
        for (int32_t id : overlapping)
            carried = carried || id == *it;
        it = carried ? std::next(it) : player.ledgeIds.erase(it);
    }
    for (int32_t id : entered) {
        player.ledgeIds.insert(id);
        int32_t state = player.motionState;
        if (state == Sliding || state == WallSliding || state == WallRunning)
            player.ledgeArmed = true;
    }
}

// ---- State steps -------------------------------------------------------------------------------

static void stepRunning(Player& player, float dt) {
    if (!player.onGround) {
        player.stateTime = 0.0f;
        player.motionState = Airborne;
        player.airTime = dt;
        player.velocity.y -= gravity * dt;
        return;
    }
    // Signed test: running left (after a left wall jump) always takes the lowest band.
    float acceleration = runAcceleration[0];
    for (int32_t k = 4; k >= 0; k--) {
        if (player.velocity.x > runSpeedThresholds[k]) {
            acceleration = runAcceleration[k];
            break;
        }
    }
    player.velocity.x += acceleration * player.facing * dt;
}

static void stepSliding(Player& player, const Game& game, float dt) {
    if (!player.onGround) {
        player.motionState = Airborne;
        player.stateTime = 0.0f;
        player.airTime = 0.0f;
        setBoxSize(player, standingSize);
        if (player.ledgeArmed) {
            // Off a ledge at speed: keep the speed but send it downwards, under the marked corner.
            player.ledgeArmed = false;
            float speed = player.velocity.length();
            player.velocity.y = -ledgeDropSpeed;
            player.velocity = player.velocity.normalized() * speed;
        }
        stepAirborne(player, dt);
        return;
    }
    const KeyState& slideKey = game.keys.keyC;
    if ((!isHeld(slideKey) || player.velocity.x < slideStopSpeed) && player.canStand) {
        player.stateTime = 0.0f;
        player.ledgeArmed = false;
        player.motionState = Running;
        setBoxSize(player, standingSize);
        stepRunning(player, dt);
        return;
    }
    player.slideTimer -= dt;
    if (player.slideTimer < 0.0f)
        player.velocity.x = approach(player.velocity.x, 0.0f, slideBraking * dt);
}

static void stepWallSliding(Player& player, float dt) {
    if (player.onGround) {
        player.stateTime = 0.0f;
        player.motionState = Running;
        stepRunning(player, dt);
    } else if (!player.touchingWall) {
        player.motionState = Airborne;
        player.stateTime = 0.0f;
        player.airTime = 0.0f;
        if (player.ledgeArmed) {
            // Over the top of the wall: a nudge forward carries the player onto the ledge.
            player.velocity.x = ledgePushSpeed * player.facing;
            player.ledgeArmed = false;
        }
        player.airTime = dt;
        player.velocity.y -= gravity * dt;
    } else {
        player.velocity.y -= gravity * dt;
    }
}

static void stepWallRunning(Player& player, float dt) {
    player.wallRunTime += dt;
    if (player.velocity.y <= 0.0f) {
        player.wallJumpBoost = 1.0f;
        player.stateTime = 0.0f;
        player.ledgeArmed = false;
        player.wallRunTime = 0.0f;
        player.motionState = WallSliding;
        stepWallSliding(player, dt);
    } else if (!player.touchingWall) {
        player.stateTime = 0.0f;
        if (player.ledgeArmed) {
            player.velocity.x = ledgePushSpeed * player.facing;
            player.ledgeArmed = false;
        }
        player.airTime = 0.0f;
        player.motionState = Airborne;
        if (player.onGround) {
            player.stateTime = 0.0f;
            player.motionState = Running;
            stepRunning(player, dt);
        } else {
            player.airTime = dt;
            player.velocity.y -= gravity * dt;
        }
    } else {
        player.wallRunSpeed -= wallRunDeceleration * dt;
        player.velocity.y = player.wallRunSpeed;
    }
}

static void stepAirborne(Player& player, float dt) {
    if (player.onGround) {
        player.stateTime = 0.0f;
        player.motionState = Running;
        stepRunning(player, dt);
        return;
    }
    player.airTime += dt;
    player.velocity.y -= gravity * dt;
}

static void stepCrouching(Player& player, const Game& game, float dt) {
    if (player.canStand && (!isHeld(game.keys.keyC) || player.velocity.x == 0.0f)) {
        player.stateTime = 0.0f;
        player.ledgeArmed = false;
        player.motionState = Running;
        setBoxSize(player, standingSize);
        stepRunning(player, dt);
        return;
    }
    // No gravity and no ground test: a crouch creeping past an edge keeps its height.
    player.velocity.x = crouchSpeed;
}
