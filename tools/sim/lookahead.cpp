// Lookahead: the play screen's per-step rules applied to a copy of the player, against a view of
// the live level. Every step the view hands the player update only the records near enough to be
// touched in that step; the rest could not change the result, since a query on boxes that do not
// touch reports nothing. The ground search does not cull, so after a live cull has moved a
// platform the order it walks can differ from the live pass; a prediction that then drifts from
// the live run is caught by the caller comparing states.
#include "lookahead.h"

#include "play_screen.h"

#include <algorithm>
#include <cmath>

// ---- Tunables ----------------------------------------------------------------------------------

// How far beyond the player's box a record can still touch it within one step: what a push can
// move the box, with room to spare; the step's own movement is added.
constexpr float stepReach = 96.0f;
// The tallest the player's box gets.
constexpr float boxHeight = 42.0f;

// ---- Helpers -----------------------------------------------------------------------------------

// Platforms get their exact bounds, from the corners.
static NearRecord<Platform> nearPlatform(Platform* platform) {
    Vec2 corners[4] = {topLeft(*platform), topRight(*platform), bottomLeft(*platform),
                       bottomRight(*platform)};
    NearRecord<Platform> entry{platform, corners[0], corners[0]};
    for (Vec2 corner : corners) {
        entry.low = Vec2(std::min(entry.low.x, corner.x), std::min(entry.low.y, corner.y));
        entry.high = Vec2(std::max(entry.high.x, corner.x), std::max(entry.high.y, corner.y));
    }
    return entry;
}

// Markers are many and never culled, so theirs are cheaper: half the diagonal bounds a box at any
// angle.
static NearRecord<LedgeMarker> nearMarker(LedgeMarker* marker) {
    const Platform& box = marker->box;
    float reach = 0.5f * sqrtf(box.width * box.width + box.height * box.height);
    Vec2 r(reach, reach);
    return NearRecord<LedgeMarker>{marker, box.centre - r, box.centre + r};
}

template <typename T>
static void focus(const std::vector<NearRecord<T>>& near, Array<T*>& into, Vec2 low, Vec2 high) {
    into.count = 0;
    for (const NearRecord<T>& entry : near) {
        if (entry.high.x >= low.x && entry.low.x <= high.x && entry.high.y >= low.y &&
            entry.low.y <= high.y)
            into.add(entry.record);
    }
}

// ---- Public functions --------------------------------------------------------------------------

void viewLevel(LevelView& view, const Game& live, float left, float right) {
    view.scratch.camera = live.camera;
    view.platforms.clear();
    for (int32_t i = 0; i < live.platforms.count; i++) {
        NearRecord<Platform> entry = nearPlatform(live.platforms.data[i]);
        if (entry.high.x >= left && entry.low.x <= right)
            view.platforms.push_back(entry);
    }
    view.markers.clear();
    for (int32_t i = 0; i < live.ledgeMarkers.count; i++) {
        NearRecord<LedgeMarker> entry = nearMarker(live.ledgeMarkers.data[i]);
        if (entry.high.x >= left && entry.low.x <= right)
            view.markers.push_back(entry);
    }
}

Prediction predictFrom(const Game& live) {
    Prediction prediction;
    prediction.player = live.player;
    prediction.keys = live.keys;
    prediction.groundY = live.groundY;
    prediction.fallen = !live.player.alive;
    return prediction;
}

void predictStep(LevelView& view, Prediction& prediction, const KeyEvent* events, int32_t count,
                 float dt) {
    if (prediction.fallen)
        return;
    Player& player = prediction.player;
    Vec2 p = player.position;
    // The ground search looks at every platform spanning the player's x, however far below.
    for (const NearRecord<Platform>& entry : view.platforms) {
        if (entry.low.x <= p.x && entry.high.x >= p.x &&
            groundUnder(*entry.record, p, prediction.groundY))
            break;
    }
    if (hasFallen(prediction.groundY, player.position)) {
        prediction.fallen = true;
        return;
    }
    KeyboardState& keys = prediction.keys;
    keys.keyX.halfTransitions = 0;
    keys.keyC.halfTransitions = 0;
    for (int32_t i = 0; i < count; i++) {
        if (events[i].key == SDLK_x)
            countTransition(keys.keyX, events[i].down);
        else if (events[i].key == SDLK_c)
            countTransition(keys.keyC, events[i].down);
    }
    Vec2 reach(stepReach + fabsf(player.velocity.x) * dt,
               stepReach + fabsf(player.velocity.y) * dt);
    Vec2 low = p - reach;
    Vec2 high = p + Vec2(0.0f, boxHeight) + reach;
    focus(view.platforms, view.scratch.platforms, low, high);
    focus(view.markers, view.scratch.ledgeMarkers, low, high);
    view.scratch.keys = keys;
    updatePlayer(player, view.scratch, dt);
}

bool samePlayerState(const Player& a, const Player& b) {
    return a.position.x == b.position.x && a.position.y == b.position.y &&
           a.velocity.x == b.velocity.x && a.velocity.y == b.velocity.y &&
           a.motionState == b.motionState;
}
