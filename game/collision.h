// Oriented boxes and the two collision queries on them: a yes/no intersection test and a contact
// query that also finds the penetration depth and the separating normal.
#pragma once

#include "maths.h"

#include <cstdint>

// The four corners of a box and what the queries' quick rejection needs, computed together once.
struct BoxCorners {
    Vec2 corners[4];      // top-left, top-right, bottom-left, bottom-right
    Vec2 low;             // the smallest x and y over the corners
    Vec2 high;            // the largest x and y over the corners
    float reach = 0.0f;   // the larger side of the bounds, which scales the rejection margin
    bool inRange = false; // finite and small enough for the queries; others never touch anything
};

// Corners cached with the geometry they were computed from. A cache whose geometry is no longer
// the box's, bit for bit, is ignored, so a copied or moved box can never use stale corners.
struct CornerCache {
    float geometry[5] = {}; // centre x, centre y, width, height, angle
    bool valid = false;
    BoxCorners corners;
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
// The box's corners: the cached ones when they belong to its current geometry, otherwise
// computed into scratch.
const BoxCorners& cornersOf(const Platform& box, BoxCorners& scratch);

Vec2 topLeft(const Platform& box);
Vec2 topRight(const Platform& box);
Vec2 bottomLeft(const Platform& box);
Vec2 bottomRight(const Platform& box);
// The corner farthest along direction; ties go to the earlier corner (top-left, top-right,
// bottom-left, bottom-right).
Vec2 support(const Platform& box, Vec2 direction);

// True when the boxes' bounds are farther apart along x or y than the queries' rejection margin:
// such boxes neither overlap nor touch, and both queries say so without searching.
bool clearlyApart(const BoxCorners& a, const BoxCorners& b);
// The rejection margin between boxes of the given reaches. It only grows with either reach, so
// the margin for the widest box of a set bounds that of every other.
float apartMargin(float reachA, float reachB);

// True when the boxes intersect; touching counts.
bool overlaps(const Platform& a, const Platform& b);
// Whether the boxes intersect and, if so, how far and in which direction to move a out of b.
Contact contact(const Platform& a, const Platform& b);
// The same two queries on corners taken beforehand with cornersOf, for a box met many times.
bool overlaps(const BoxCorners& a, const BoxCorners& b);
Contact contact(const BoxCorners& a, const BoxCorners& b);
