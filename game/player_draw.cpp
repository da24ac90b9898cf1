// The player's pose animation and drawing. The pose steps only compute offsets from the feet
// point; drawPlayer then lays down the shapes through the engine's draw operations, later ones on
// top. The look and the blends advance once per drawn frame, not per second.
#include "player_draw.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

// ---- Data --------------------------------------------------------------------------------------

const float pi = 3.1415925f;
const Vec2 bodySize = Vec2(32.0f, 30.0f);
const float bodyCornerRadius = 8.0f;
const Vec2 footSize = Vec2(12.0f, 8.0f);
const Vec2 footBase = Vec2(0.0f, 5.0f);
const float footSpread = 8.0f;
const float lowBodyDrop = 10.0f;            // crouching lowers the standing body this much
const Vec2 slidingBody = Vec2(0.0f, 19.0f); // fixed, whatever the figure's height
const Vec2 eyeOffsets[2] = {Vec2(-8.0f, 4.0f), Vec2(8.0f, 4.0f)};
const Vec2 eyeSize = Vec2(16.0f, 16.0f);
const float eyeCornerRadius = 8.0f;
const Vec2 pupilSize = Vec2(8.0f, 8.0f);
const float pupilCornerRadius = 4.0f;
const float lookDistance = 4.0f;
const float lookSpeed = 0.53333336f; // per drawn frame
const Vec2 mouthOffset = Vec2(0.0f, -6.0f);
const float mouthRadius = 8.0f;
const float blendTime = 0.3f;
const float wallBlendTime = 0.2f;
const float wallLean = 10.0f;

const Vec4 bodyColour = Vec4(0.7f, 0.7f, 0.7f, 1.0f);
const Vec4 white = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
const Vec4 black = Vec4(0.0f, 0.0f, 0.0f, 1.0f);

// ---- Helpers -----------------------------------------------------------------------------------

static Vec2 standingBody(const Player& player) {
    return Vec2(0.0f, player.figureHeight - bodySize.y * 0.5f);
}

// The weight grows with the state's time, so the feet settle within blendTime of a state change.
static void blendFeet(Player& player, Vec2 targetA, Vec2 targetB) {
    float t = player.stateTime;
    if (t < blendTime) {
        float w = t / blendTime;
        player.footA = lerp(player.footA, targetA, w);
        player.footB = lerp(player.footB, targetB, w);
    } else {
        player.footA = targetA;
        player.footB = targetB;
    }
}

// ---- Pose steps --------------------------------------------------------------------------------

void poseRunning(Player& player) {
    float s = sign(player.velocity.x);
    float t = player.stateTime;
    player.bodyOffset = standingBody(player);
    // Two strides a second, the feet half a stride apart; standing still freezes them.
    float phaseA = s * 2.0f * (-2.0f) * pi * t;
    float phaseB = pi - s * 2.0f * 2.0f * pi * t;
    Vec2 targetA =
        Vec2(footBase.x + footSpread * cosine(phaseA), footBase.y + fmaxf(0.0f, 3.0f * sine(phaseA)));
    Vec2 targetB =
        Vec2(footBase.x + footSpread * cosine(phaseB), footBase.y + fmaxf(0.0f, 3.0f * sine(phaseB)));
    blendFeet(player, targetA, targetB);
}

void poseSliding(Player& player) {
    player.bodyOffset = slidingBody;
    player.footA = Vec2(-footSpread, footBase.y);
    player.footB = Vec2(footSpread, footBase.y);
}

void poseWall(Player& player) {
    float t = player.stateTime;
    player.bodyOffset = standingBody(player);
    float lean = sign(player.wallNormal.x) * (-wallLean);
    if (t < wallBlendTime) {
        // Always from the spread feet, not the previous pose: wall contact snaps the stance.
        float w = t / wallBlendTime;
        player.footA = Vec2(lerpf(-footSpread, lean, w), footBase.y);
        player.footB = Vec2(lerpf(footSpread, lean, w), footBase.y);
    } else {
        player.footA = Vec2(lean, footBase.y);
        player.footB = Vec2(lean, footBase.y);
    }
}

void poseAirborne(Player& player) {
    player.bodyOffset = standingBody(player);
    Vec2 v = player.velocity * 0.01f;
    v.x *= 0.8f;
    blendFeet(player, Vec2(-footSpread, footBase.y) - v, Vec2(footSpread, footBase.y) - v);
}

void poseCrouching(Player& player) {
    float s = sign(player.velocity.x);
    float t = player.stateTime;
    player.bodyOffset = standingBody(player) + Vec2(0.0f, -lowBodyDrop);
    // Half the running cadence, with a narrower swing around spread feet.
    float phaseA = s * 2.0f * (-2.0f) * pi * 0.5f * t;
    float phaseB = pi - s * 2.0f * 2.0f * pi * 0.5f * t;
    Vec2 targetA =
        Vec2(-footSpread + 4.0f * cosine(phaseA), footBase.y + fmaxf(0.0f, 3.0f * sine(phaseA)));
    Vec2 targetB =
        Vec2(footSpread + 4.0f * cosine(phaseB), footBase.y + fmaxf(0.0f, 3.0f * sine(phaseB)));
    blendFeet(player, targetA, targetB);
}

// ---- Drawing -----------------------------------------------------------------------------------

void drawPlayer(Player& player, const Camera& camera) {
    switch ((uint32_t)player.motionState) {
    case Running:
        poseRunning(player);
        break;
    case Sliding:
        poseSliding(player);
        break;
    case WallSliding:
    case WallRunning:
        poseWall(player);
        break;
    case Airborne:
        poseAirborne(player);
        break;
    case Crouching:
        poseCrouching(player);
        break;
    default:
        // Keep the last pose and still draw, so a bad state shows up without losing the player.
        printf("Error: Unrecognized motion state %d\n", player.motionState);
        break;
    }

    Vec2 body = player.position + player.bodyOffset;
    drawRoundedRect(camera, body, bodySize, bodyCornerRadius, 0.0f, bodyColour);

    Vec2 lookTarget = normalized(player.velocity) * lookDistance;
    player.look = moveTowards(player.look, lookTarget, lookSpeed);

    for (Vec2 eye : eyeOffsets)
        drawRoundedRect(camera, body + eye, eyeSize, eyeCornerRadius, 0.0f, white);
    for (Vec2 eye : eyeOffsets)
        drawRoundedRect(camera, body + eye + player.look, pupilSize, pupilCornerRadius, 0.0f,
                        black);

    drawHalfDisc(camera, body + mouthOffset, mouthRadius, 0.0f, white);

    drawRect(camera, player.position + player.footA, footSize, 0.0f, white);
    drawRect(camera, player.position + player.footB, footSize, 0.0f, white);
}
