// Rollouts. Key events are found by walking the plan's sorted list once.
#include "rollout.h"

#include "progress.h"

#include <algorithm>
#include <iterator>

static const float dt = 1.0f / 64.0f;
// The gain over the last updates that counts as still getting on.
static const float lateGain = 32.0f;
// A landing is followed this many updates more: landing where a fall follows at once (under a
// ledge too low to stand below) is no landing.
static const int32_t afterLanding = 8;
// A slide or crouch that has not moved for this many updates without room to stand is stuck.
static const int32_t stuckLowAfter = 16;

Outcome rollOut(RolloutContext& context, Prediction prediction, int32_t from, int32_t until,
                const std::vector<PlannedKey>& keys, std::vector<Prediction>* states,
                std::vector<ExpectedState>* expected, int32_t landBy) {
    Outcome outcome;
    outcome.start = progressPotential(*context.chunks, prediction.player.position);
    outcome.best = outcome.end = outcome.late = outcome.start;
    size_t next = 0;
    while (next < keys.size() && keys[next].at < from)
        next++;
    KeyEvent events[8];
    int32_t stillFor = 0;
    int32_t landedAt = -1; // past `until`, when the player was first out of the air
    for (int32_t at = from;; at++) {
        if (at >= until) {
            if (at >= landBy)
                break;
            if (landedAt < 0 && prediction.player.motionState != Airborne)
                landedAt = at;
            if (landedAt >= 0 && at >= landedAt + afterLanding)
                break;
        }
        if (states)
            states->push_back(prediction);
        int32_t count = 0;
        while (next < keys.size() && keys[next].at == at) {
            if (count < (int32_t)std::size(events))
                events[count++] = keys[next].event;
            next++;
        }
        Vec2 before = prediction.player.position;
        predictStep(context.view, prediction, events, count, dt);
        context.steps++;
        const Player& moved = prediction.player;
        bool still = moved.position.x == before.x && moved.position.y == before.y;
        stillFor = still ? stillFor + 1 : 0;
        if (prediction.fallen || stuckLow(moved, stillFor)) {
            outcome.fell = true;
            outcome.fellAt = at;
            return outcome;
        }
        const Player& player = prediction.player;
        if (expected)
            expected->push_back({player.position, player.velocity, player.motionState});
        // Progress is measured up to `until` only; the flight after it only has to land.
        if (at >= until)
            continue;
        float potential = progressPotential(*context.chunks, player.position);
        outcome.best = std::max(outcome.best, potential);
        outcome.end = potential;
        if (at < until - lateStretch)
            outcome.late = potential;
    }
    return outcome;
}

bool stuckLow(const Player& player, int32_t stillFor) {
    bool low = player.motionState == Sliding || player.motionState == Crouching;
    return low && !player.canStand && stillFor >= stuckLowAfter;
}

bool stillGoing(const Outcome& outcome) {
    return outcome.end - outcome.late >= lateGain;
}
