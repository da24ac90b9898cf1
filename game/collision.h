// Oriented boxes and the two collision queries on them: a yes/no intersection test and a contact
// query that also finds the penetration depth and the separating normal.
#pragma once

#include "maths.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// The four corners of a box and what the queries' quick rejection and their check along the face
// axes need, computed together once.
struct BoxCorners {
    Vec2 corners[4];      // top-left, top-right, bottom-left, bottom-right
    Vec2 low;             // the smallest x and y over the corners
    Vec2 high;            // the largest x and y over the corners
    float reach = 0.0f;   // the larger side of the bounds, which scales the rejection margin
    bool inRange = false; // finite and small enough for the queries; others never touch anything
    // The geometry the corners were computed from, in the box's own order, and the cosine and
    // sine they were turned by: the face-axis check reads them. Only computeCorners sets them, so
    // a scratch BoxCorners leaves them unset and costs nothing more to make.
    float centreX;
    float centreY;
    float width;
    float height;
    float angle;
    float cosine;
    float sine;
};

// Corners cached with the geometry they were computed from. A cache whose geometry is no longer
// the box's, bit for bit, is ignored, so a copied or moved box can never use stale corners.
struct CornerCache {
    bool valid = false;
    BoxCorners corners{}; // all zero until filled, so that copying a box copies no unset value
};

// One oriented rectangle: a platform, the player's collision box or a ledge marker's box.
struct Platform {
    int32_t id = 0;
    Vec2 centre;
    float width = 0.0f;  // full extent along the local x axis
    float height = 0.0f; // full extent along the local y axis
    float angle = 0.0f;  // radians, counter-clockwise
    CornerCache cache;   // filled by refreshCorners; never part of what the box is
};

// The result of contact(a, b): moving a by normal * depth separates the boxes.
struct Contact {
    bool hit = false;
    float depth = 0.0f;
    Vec2 normal;
};

// The process-wide id counter shared by boxes and ledge markers: returns the current value (from
// 1) and advances it.
int32_t nextId();
// A new box with a fresh id and its corners cached.
Platform makePlatform(Vec2 centre, float width, float height, float angle);

// Caches the box's corners for its current geometry. Worth it for a box queried many times
// between changes; the queries work on any box, cached or not.
void refreshCorners(Platform& box);
// Computes the box's corners into out, whatever its cache holds.
void computeCorners(const Platform& box, BoxCorners& out);
// Whether the box's cached corners were computed from its geometry as it is now, bit for bit: a
// zero that changed sign counts as a change.
inline bool cornersAreCurrent(const Platform& box) {
    // The five geometry fields lie one after the other, in the box as in its corners.
    static_assert(offsetof(Platform, angle) == offsetof(Platform, centre) + 4 * sizeof(float));
    static_assert(offsetof(BoxCorners, angle) == offsetof(BoxCorners, centreX) + 4 * sizeof(float));
    return box.cache.valid &&
           memcmp(&box.centre, &box.cache.corners.centreX, 5 * sizeof(float)) == 0;
}
// The box's corners: the cached ones when they belong to its current geometry, otherwise
// computed into scratch.
inline const BoxCorners& cornersOf(const Platform& box, BoxCorners& scratch) {
    if (cornersAreCurrent(box))
        return box.cache.corners;
    computeCorners(box, scratch);
    return scratch;
}

Vec2 topLeft(const Platform& box);
Vec2 topRight(const Platform& box);
Vec2 bottomLeft(const Platform& box);
Vec2 bottomRight(const Platform& box);
// The corner farthest along direction; ties go to the earlier corner (top-left, top-right,
// bottom-left, bottom-right).
Vec2 support(const Platform& box, Vec2 direction);

// Boxes whose bounds are farther apart than the margin are not searched. The corners and their
// differences carry only rounding errors far below a unit; the part that grows with the boxes'
// size covers the errors of the search's products, which grow with it. The rejection never skips
// a pair the search could find touching, except where the face axes decide (flat triangles, for
// boxes of no height on one line, say) and allow for rounding a millionth of the largest value in
// play: beyond a million units from the origin that exceeds the margin, and boxes a few units
// apart may count as touching there, which the rejection then rightly does not.
inline constexpr float apartMarginBase = 1.0f;
inline constexpr float apartMarginPerUnit = 1.0f / 1024.0f;

// The rejection margin between boxes of the given reaches. It only grows with either reach, so
// the margin for the widest box of a set bounds that of every other.
inline float apartMargin(float reachA, float reachB) {
    return apartMarginBase + (reachA + reachB) * apartMarginPerUnit;
}
// True when the boxes' bounds are farther apart along x or y than the rejection margin: such
// boxes neither overlap nor touch, and both queries say so without searching. NaN bounds (boxes
// out of range) never count as apart.
inline bool clearlyApart(const BoxCorners& a, const BoxCorners& b) {
    float margin = apartMargin(a.reach, b.reach);
    return a.low.x - b.high.x > margin || b.low.x - a.high.x > margin ||
           a.low.y - b.high.y > margin || b.low.y - a.high.y > margin;
}

// True when the boxes intersect; touching counts.
bool overlaps(const Platform& a, const Platform& b);
// Whether the boxes intersect and, if so, how far and in which direction to move a out of b.
Contact contact(const Platform& a, const Platform& b);
// The same two queries on corners taken beforehand with cornersOf, for a box met many times.
bool overlaps(const BoxCorners& a, const BoxCorners& b);
Contact contact(const BoxCorners& a, const BoxCorners& b);
