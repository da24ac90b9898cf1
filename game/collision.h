// Oriented boxes and the two collision queries on them: a yes/no intersection test and a contact
// query that also finds the penetration depth and the separating normal.
#pragma once

#include "maths.h"

#include <cstdint>

// The four corners of a box, computed together once for a query.
struct BoxCorners {
    Vec2 corners[4];      // top-left, top-right, bottom-left, bottom-right
    bool inRange = false; // finite and small enough for the queries; others never touch anything
};

// One oriented rectangle: a platform, the player's collision box or a ledge marker's box.
struct Platform {
    int32_t id = 0;
    Vec2 centre;
    float width = 0.0f;  // full extent along the local x axis
    float height = 0.0f; // full extent along the local y axis
    float angle = 0.0f;  // radians, counter-clockwise
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
// A new box with a fresh id.
Platform makePlatform(Vec2 centre, float width, float height, float angle);

Vec2 topLeft(const Platform& box);
Vec2 topRight(const Platform& box);
Vec2 bottomLeft(const Platform& box);
Vec2 bottomRight(const Platform& box);
// The corner farthest along direction; ties go to the earlier corner (top-left, top-right,
// bottom-left, bottom-right).
Vec2 support(const Platform& box, Vec2 direction);

// True when the boxes intersect; touching counts.
bool overlaps(const Platform& a, const Platform& b);
// Whether the boxes intersect and, if so, how far and in which direction to move a out of b.
Contact contact(const Platform& a, const Platform& b);
