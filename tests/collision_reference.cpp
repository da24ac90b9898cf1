// The collision queries in their plain form, without the cached corners and the bounding-box
// pre-test the game's queries have: every support evaluation recomputes all eight corners, and
// the face-axis check that decides where single precision fails the searches takes its axes from
// rotated. It gives today's answers the straightforward way, mend included, so the tests compare
// the game's queries against it bit for bit; it is not part of the game.
#include "collision_reference.h"

#include <cmath>

// ---- Data --------------------------------------------------------------------------------------

// The lowest float: every running best starts here and is replaced only by a strictly greater
// value, so ties keep the earliest candidate.
static const float lowestFloat = -3.4028235e38f;

// Boxes of positive size settle in a handful of passes; the caps only stop degenerate input (boxes
// so long and thin, or so large, that rounding keeps the searches going), which the face axes
// then decide.
static const int32_t maxSimplexSteps = 64;
static const int32_t maxExpansionSteps = 64;
// The polygon starts as a triangle and gains at most one point per expansion pass.
static const int32_t maxPolygonPoints = 3 + maxExpansionSteps;

// Boxes beyond this (in centre or size) count as degenerate. The world never comes near it: far
// sooner single precision could not place a platform to the unit.
static const float largestCoordinate = 1e8f;

// A search stops once the new support point is no farther out than this.
static const float expansionTolerance = 0.001f;

// A triangle of the simplex search thinner than this share of its longest edge counts as flat.
static const float flatness = 1e-6f;

// What rounding may move a point of the difference by, as a share of the largest value in play.
static const float roundingShare = 1e-6f;

// A normal whose squared length is off 1 by more than this did not scale to unit length.
static const float unitTolerance = 0.001f;

// ---- Types -------------------------------------------------------------------------------------

// The newest point is always the last one.
struct Simplex {
    Vec2 points[3];
    int32_t count = 0;
};

struct Polygon {
    Vec2 points[maxPolygonPoints];
    int32_t count = 0;
};

// ---- Helpers -----------------------------------------------------------------------------------

static bool isFinite(Vec2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// Whether the queries can work on the box without their products overflowing: the expansion
// multiplies coordinates of the difference up to four times, which stays finite below this bound.
static bool isWithinRange(const Platform& box) {
    return fabsf(box.centre.x) <= largestCoordinate && fabsf(box.centre.y) <= largestCoordinate &&
           fabsf(box.width) <= largestCoordinate && fabsf(box.height) <= largestCoordinate &&
           std::isfinite(box.angle);
}

// The support point of the Minkowski difference a - b along d.
static Vec2 minkowskiSupport(const Platform& a, const Platform& b, Vec2 d) {
    return reference::support(a, d) - reference::support(b, -d);
}

// One simplex step: shortens the simplex to the part nearest the origin and sets the next search
// direction. Returns true when the simplex (a triangle) encloses the origin.
static bool stepSimplex(Simplex& simplex, Vec2& d) {
    if (simplex.count == 2) {
        Vec2 A = simplex.points[1];
        Vec2 B = simplex.points[0];
        Vec2 ab = B - A;
        Vec2 ao = -A;
        if (dot(ab, ao) > 0.0f) {
            d = perpendicularLeft(ab) * cross(ab, ao);
        } else {
            simplex.points[0] = A;
            simplex.count = 1;
            d = ao;
        }
        return false;
    }
    if (simplex.count == 3) {
        Vec2 A = simplex.points[2];
        Vec2 B = simplex.points[1];
        Vec2 C = simplex.points[0];
        Vec2 ab = B - A;
        Vec2 ac = C - A;
        Vec2 ao = -A;
        float k = cross(ab, ac);
        Vec2 abPerp = perpendicularRight(ab) * k;
        Vec2 acPerp = perpendicularLeft(ac) * k;
        if (dot(abPerp, ao) > 0.0f) {
            if (dot(ab, ao) > 0.0f) {
                simplex.points[0] = A;
                simplex.points[1] = B;
                simplex.count = 2;
                d = abPerp;
                return false;
            }
        } else if (dot(acPerp, ao) <= 0.0f) {
            return true;
        }
        if (dot(ac, ao) > 0.0f) {
            simplex.points[0] = A;
            simplex.points[1] = C;
            simplex.count = 2;
            d = acPerp;
        } else {
            simplex.points[0] = A;
            simplex.count = 1;
            d = ao;
        }
        return false;
    }
    return false;
}

// Whether the triangle's points lie on one line, to within the flatness share of its longest edge.
static bool isFlatTriangle(const Simplex& simplex) {
    Vec2 ab = simplex.points[1] - simplex.points[2];
    Vec2 ac = simplex.points[0] - simplex.points[2];
    Vec2 bc = simplex.points[0] - simplex.points[1];
    float longest = fmaxf(lengthSquared(ab), fmaxf(lengthSquared(ac), lengthSquared(bc)));
    return fabsf(cross(ab, ac)) <= flatness * longest;
}

// Half the box's extent along the unit direction n, given its own axes u and v.
static float halfExtent(const Platform& box, Vec2 u, Vec2 v, Vec2 n) {
    return fabsf(box.width * dot(u, n)) / 2.0f + fabsf(box.height * dot(v, n)) / 2.0f;
}

// How far the difference reaches past the origin along the boxes' four face axes, each both ways,
// at the least: negative when an axis separates the boxes, and normal is then the way to move a.
// The difference of two boxes has no other edge directions, so this is the penetration itself,
// found from the centres and sizes with no product of more than two values that could underflow
// or lose its digits.
static float faceAxisReach(const Platform& a, const Platform& b, Vec2& normal) {
    const Vec2 axes[4] = {rotated(Vec2(1.0f, 0.0f), a.angle), rotated(Vec2(0.0f, 1.0f), a.angle),
                          rotated(Vec2(1.0f, 0.0f), b.angle), rotated(Vec2(0.0f, 1.0f), b.angle)};
    Vec2 offset = a.centre - b.centre;
    float least = -lowestFloat;
    for (Vec2 axis : axes) {
        float extent =
            halfExtent(a, axes[0], axes[1], axis) + halfExtent(b, axes[2], axes[3], axis);
        float along = dot(offset, axis);
        // The difference reaches extent + along one way and extent - along the other; a moves
        // out on the side it already lies on.
        float reach = extent - fabsf(along);
        if (reach < least) {
            least = reach;
            normal = along >= 0.0f ? axis : -axis;
        }
    }
    return least;
}

// What rounding may account for in a reach of the difference of a and b.
static float roundingAllowance(const Platform& a, const Platform& b) {
    float largest = fmaxf(
        fmaxf(fmaxf(fabsf(a.centre.x), fabsf(a.centre.y)), fmaxf(fabsf(a.width), fabsf(a.height))),
        fmaxf(fmaxf(fabsf(b.centre.x), fabsf(b.centre.y)), fmaxf(fabsf(b.width), fabsf(b.height))));
    return roundingShare * fmaxf(largest, 1.0f);
}

// The contact read off the face axes: see faceAxisReach. Touching counts.
static Contact faceAxisContact(const Platform& a, const Platform& b) {
    Contact result;
    Vec2 normal;
    float reach = faceAxisReach(a, b, normal);
    if (reach >= 0.0f) {
        result.hit = true;
        result.depth = reach;
        result.normal = normal;
    }
    return result;
}

// Whether the face axes find the boxes touching, allowing for rounding.
static bool faceAxesTouch(const Platform& a, const Platform& b) {
    Vec2 normal;
    return faceAxisReach(a, b, normal) >= -roundingAllowance(a, b);
}

// Runs the simplex search; on a hit the simplex holds the enclosing triangle, or nothing when the
// face axes decided. Gives up (no hit) on out-of-range or non-finite input.
static bool searchSimplex(const Platform& a, const Platform& b, Simplex& simplex) {
    if (!isWithinRange(a) || !isWithinRange(b))
        return false;
    // The first direction is fixed, and the search starts opposite to it rather than towards the
    // origin from the first point.
    Vec2 d0 = Vec2(1.0f, 1.0f);
    simplex.points[0] = minkowskiSupport(a, b, d0);
    simplex.count = 1;
    Vec2 d = -d0;
    for (int32_t step = 0; step < maxSimplexSteps; step++) {
        Vec2 p = minkowskiSupport(a, b, d);
        if (!isFinite(p))
            return false;
        // Strict: a point exactly level with the origin keeps the search going, so touching
        // boxes count as overlapping.
        if (dot(p, d) < 0.0f)
            return false;
        simplex.points[simplex.count] = p;
        simplex.count += 1;
        if (stepSimplex(simplex, d)) {
            // A flat triangle "encloses" the origin wherever it lies. For boxes of positive size
            // it lies on the triangle's edge, up to rounding; but the points of a flat difference
            // (two boxes of no height on one line), and search directions whose products
            // underflowed, make flat triangles anywhere. The face axes decide those.
            if (isFlatTriangle(simplex))
                return faceAxesTouch(a, b);
            return true;
        }
    }
    // Boxes so long and thin that rounding sends the search round in circles end here. The face
    // axes decide, and the simplex is left empty so that contact takes its answer from them too.
    simplex.count = 0;
    return faceAxesTouch(a, b);
}

// The outward normal of the edge a -> b, for a polygon in which c follows b. Its length is not 1.
static Vec2 edgeNormal(Vec2 a, Vec2 b, Vec2 c) {
    return perpendicularRight(b - a) * cross(a - c, b - c);
}

static void insertPoint(Polygon& polygon, int32_t index, Vec2 p) {
    for (int32_t k = polygon.count; k > index; k--)
        polygon.points[k] = polygon.points[k - 1];
    polygon.points[index] = p;
    polygon.count += 1;
}

static void removePoint(Polygon& polygon, int32_t index) {
    for (int32_t k = index; k + 1 < polygon.count; k++)
        polygon.points[k] = polygon.points[k + 1];
    polygon.count -= 1;
}

// The contact the expanding polygon found, checked against the face axes. The polygon's points
// are support points, whose choice among corners that nearly tie follows rounding; far from the
// origin, or with boxes much thinner than they are long, a point out of place can break the
// polygon up, and from a first triangle with a point inside the difference (boxes with a common
// centre) it can end on an inside edge. When the face axes disagree by more than rounding, their
// answer stands. A normal that did not scale to unit length (from edges so short their squares
// lose digits, or none at all from a flat polygon) leaves a bare touch with nothing to push by.
static Contact checkedContact(const Platform& a, const Platform& b, Contact found) {
    Vec2 normal;
    float reach = faceAxisReach(a, b, normal);
    float allowance = expansionTolerance + roundingAllowance(a, b);
    if (!(fabsf(reach - found.depth) <= allowance))
        return faceAxisContact(a, b);
    if (!(fabsf(lengthSquared(found.normal) - 1.0f) <= unitTolerance)) {
        found.depth = 0.0f;
        found.normal = found.normal * 0.0f;
    }
    return found;
}

// ---- Public functions --------------------------------------------------------------------------

// The corners shift the centre by half the height axis first, then by half the width axis; the
// order matters for the exact values the level's touching pieces rely on.
Vec2 reference::topLeft(const Platform& box) {
    Vec2 w = rotated(Vec2(box.width, 0.0f), box.angle);
    Vec2 h = rotated(Vec2(0.0f, box.height), box.angle);
    return (box.centre + h / 2.0f) - w / 2.0f;
}

Vec2 reference::topRight(const Platform& box) {
    Vec2 w = rotated(Vec2(box.width, 0.0f), box.angle);
    Vec2 h = rotated(Vec2(0.0f, box.height), box.angle);
    return (box.centre + h / 2.0f) + w / 2.0f;
}

Vec2 reference::bottomLeft(const Platform& box) {
    Vec2 w = rotated(Vec2(box.width, 0.0f), box.angle);
    Vec2 h = rotated(Vec2(0.0f, box.height), box.angle);
    return (box.centre - h / 2.0f) - w / 2.0f;
}

Vec2 reference::bottomRight(const Platform& box) {
    Vec2 w = rotated(Vec2(box.width, 0.0f), box.angle);
    Vec2 h = rotated(Vec2(0.0f, box.height), box.angle);
    return (box.centre - h / 2.0f) + w / 2.0f;
}

Vec2 reference::support(const Platform& box, Vec2 direction) {
    Vec2 corners[4] = {reference::topLeft(box), reference::topRight(box),
                       reference::bottomLeft(box), reference::bottomRight(box)};
    // Starts on the first corner so that a direction no corner beats (NaN) still yields a corner.
    Vec2 best = corners[0];
    float bestDot = lowestFloat;
    for (Vec2 corner : corners) {
        float d = dot(direction, corner);
        if (d > bestDot) {
            bestDot = d;
            best = corner;
        }
    }
    return best;
}

bool reference::overlaps(const Platform& a, const Platform& b) {
    Simplex simplex;
    return searchSimplex(a, b, simplex);
}

Contact reference::contact(const Platform& a, const Platform& b) {
    Contact none;
    Simplex simplex;
    if (!searchSimplex(a, b, simplex))
        return none;
    if (simplex.count < 3)
        return faceAxisContact(a, b);

    Polygon polygon;
    for (int32_t k = 0; k < 3; k++)
        polygon.points[k] = simplex.points[k];
    polygon.count = 3;
    // Counter-clockwise, so that every edge normal below points out of the polygon.
    if (cross(polygon.points[1] - polygon.points[0], polygon.points[2] - polygon.points[0]) <
        0.0f) {
        Vec2 t = polygon.points[1];
        polygon.points[1] = polygon.points[2];
        polygon.points[2] = t;
    }

    for (int32_t step = 0; step < maxExpansionSteps; step++) {
        int32_t n = polygon.count;
        int32_t closest = 0;
        float best = lowestFloat;
        for (int32_t i = 0; i < n; i++) {
            Vec2 pa = polygon.points[i];
            Vec2 pb = polygon.points[(i + 1) % n];
            Vec2 pc = polygon.points[(i + 2) % n];
            float s = dot(-pa, normalized(edgeNormal(pa, pb, pc)));
            if (s > best) {
                best = s;
                closest = i;
            }
        }
        float dist = fabsf(best);

        Vec2 pa = polygon.points[closest];
        Vec2 pb = polygon.points[(closest + 1) % n];
        Vec2 pc = polygon.points[(closest + 2) % n];
        Vec2 edge = edgeNormal(pa, pb, pc);
        Vec2 unitNormal = normalized(edge);
        // Searched along the unscaled normal: in a near tie the corner chosen follows its rounding.
        Vec2 p = minkowskiSupport(a, b, edge);
        // The depth is the closest edge's distance, not the new point's.
        if (dot(p, unitNormal) - dist < expansionTolerance) {
            Contact result;
            result.hit = true;
            result.depth = dist;
            result.normal = -unitNormal;
            // Products that overflowed leave nothing a caller could push by.
            if (!std::isfinite(result.depth) || !isFinite(result.normal))
                return none;
            return checkedContact(a, b, result);
        }
        int32_t pIndex = closest + 1;
        insertPoint(polygon, pIndex, p);

        // Drops every point whose outgoing edge now faces p, which keeps the polygon convex. Two
        // points are left alone: p, whose test is zero, and the point just before p, whose
        // outgoing edge now ends at p. That test is zero too in exact arithmetic, but it
        // multiplies four coordinates together, and its rounding alone would now and then drop a
        // true corner of the difference, leaving a wrong depth or none at all.
        for (int32_t j = polygon.count - 1; j >= 0; j--) {
            int32_t m = polygon.count;
            int32_t qIndex = j % m;
            if (qIndex == pIndex || (qIndex + 1) % m == pIndex)
                continue;
            Vec2 q = polygon.points[qIndex];
            Vec2 r = polygon.points[(qIndex + 1) % m];
            Vec2 s = polygon.points[(qIndex + 2) % m];
            if (dot(edgeNormal(q, r, s), p - q) > 0.0f) {
                removePoint(polygon, qIndex);
                if (qIndex < pIndex)
                    pIndex -= 1;
            }
        }
    }
    // Only input the polygon cannot settle in single precision gets here (boxes so large that
    // their points lie farther apart than its tolerance): the face axes answer instead.
    return faceAxisContact(a, b);
}
