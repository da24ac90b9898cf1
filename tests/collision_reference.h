// The collision queries in their plain form, without cached corners or a bounding-box pre-test,
// kept so that tests can compare the game's queries with them bit for bit.
#pragma once

#include "collision.h"

namespace reference {

Vec2 topLeft(const Platform& box);
Vec2 topRight(const Platform& box);
Vec2 bottomLeft(const Platform& box);
Vec2 bottomRight(const Platform& box);
// The corner farthest along direction, recomputing all four corners.
Vec2 support(const Platform& box, Vec2 direction);
// True when the boxes intersect; touching counts.
bool overlaps(const Platform& a, const Platform& b);
// Whether the boxes intersect and, if so, how far and in which direction to move a out of b.
Contact contact(const Platform& a, const Platform& b);

} // namespace reference
