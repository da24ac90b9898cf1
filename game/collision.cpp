// Oriented boxes and their collision queries. Both queries work on the Minkowski difference of the
// two boxes: overlaps walks a simplex towards the origin, contact then grows that simplex into a
// polygon until its closest edge lies on the difference's boundary. Each query works on corners
// computed once per box (or cached with the box) and first compares the boxes' bounds, so the
// many far-apart pairs of a level cost a few comparisons. Relies on the maths module.
#include "collision.h"

#include <cmath>
#include <cstring>

// ---- Data --------------------------------------------------------------------------------------

static int32_t idCounter = 1;

// The lowest float: every running best starts here and is replaced only by a strictly greater
// value, so ties keep the earliest candidate.
static const float lowestFloat = -3.4028235e38f;

// Boxes of positive size settle in a handful of passes; the caps only stop degenerate input (zero
// size, NaN, infinities, values so large their products overflow), which then reports no contact.
static const int32_t maxSimplexSteps = 64;
static const int32_t maxExpansionSteps = 64;
// The polygon starts as a triangle and gains at most one point per expansion pass.
static const int32_t maxPolygonPoints = 3 + maxExpansionSteps;

// Boxes beyond this (in centre or size) count as degenerate. The world never comes near it: far
// sooner single precision could not place a platform to the unit.
static const float largestCoordinate = 1e8f;

// A search stops once the new support point is no farther out than this.
static const float expansionTolerance = 0.001f;

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
// Out-of-range boxes (NaN and infinities included) never touch anything.
static bool isWithinRange(const Platform& box) {
    return fabsf(box.centre.x) <= largestCoordinate && fabsf(box.centre.y) <= largestCoordinate &&
           fabsf(box.width) <= largestCoordinate && fabsf(box.height) <= largestCoordinate &&
           std::isfinite(box.angle);
}

// The corners in the order top-left, top-right, bottom-left, bottom-right, each exactly as the
// corner functions define them: the centre shifted by half the height axis, then by half the
// width axis, with W = rotated((width, 0), angle) and H = rotated((0, height), angle). Both axes
// share one sine and cosine; the products with the zero components stay, since they decide the
// sign of a zero.
void computeCorners(const Platform& box, BoxCorners& out) {
    float c;
    float s;
    if (box.angle == 0.0f) {
        // cosf and sinf of a zero of either sign, exactly.
        c = 1.0f;
        s = box.angle;
    } else {
        c = cosf(box.angle);
        s = sinf(box.angle);
    }
    Vec2 w(box.width * c - 0.0f * s, box.width * s + 0.0f * c);
    Vec2 h(0.0f * c - box.height * s, 0.0f * s + box.height * c);
    Vec2 halfW = w / 2.0f;
    Vec2 halfH = h / 2.0f;
    Vec2 up = box.centre + halfH;
    Vec2 down = box.centre - halfH;
    out.corners[0] = up - halfW;
    out.corners[1] = up + halfW;
    out.corners[2] = down - halfW;
    out.corners[3] = down + halfW;

    out.low = out.corners[0];
    out.high = out.corners[0];
    for (int32_t k = 1; k < 4; k++) {
        Vec2 p = out.corners[k];
        out.low.x = p.x < out.low.x ? p.x : out.low.x;
        out.low.y = p.y < out.low.y ? p.y : out.low.y;
        out.high.x = p.x > out.high.x ? p.x : out.high.x;
        out.high.y = p.y > out.high.y ? p.y : out.high.y;
    }
    float spanX = out.high.x - out.low.x;
    float spanY = out.high.y - out.low.y;
    out.reach = spanX > spanY ? spanX : spanY;
    out.inRange = isWithinRange(box);
}

// The corner farthest along direction, the earlier one on a tie.
static Vec2 supportOf(const BoxCorners& box, Vec2 direction) {
    // Starts on the first corner so that a direction no corner beats (NaN) still yields a corner.
    Vec2 best = box.corners[0];
    float bestDot = lowestFloat;
    for (Vec2 corner : box.corners) {
        float d = dot(direction, corner);
        if (d > bestDot) {
            bestDot = d;
            best = corner;
        }
    }
    return best;
}

// The support point of the Minkowski difference a - b along d.
static Vec2 minkowskiSupport(const BoxCorners& a, const BoxCorners& b, Vec2 d) {
    return supportOf(a, d) - supportOf(b, -d);
}

// Corner k (top-left, top-right, bottom-left, bottom-right) from the cache when it is current.
static Vec2 cornerOf(const Platform& box, int32_t k) {
    if (cornersAreCurrent(box))
        return box.cache.corners.corners[k];
    BoxCorners corners;
    computeCorners(box, corners);
    return corners.corners[k];
}

// Runs query on the corners of a and b, the cached ones where they are current.
template <typename Query>
static auto withCorners(const Platform& a, const Platform& b, Query query) {
    bool currentA = cornersAreCurrent(a);
    bool currentB = cornersAreCurrent(b);
    if (currentA && currentB)
        return query(a.cache.corners, b.cache.corners);
    BoxCorners scratchA;
    BoxCorners scratchB;
    if (!currentA)
        computeCorners(a, scratchA);
    if (!currentB)
        computeCorners(b, scratchB);
    return query(currentA ? a.cache.corners : scratchA, currentB ? b.cache.corners : scratchB);
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

// Runs the simplex search; on a hit the simplex holds the enclosing triangle. Gives up (no hit)
// on out-of-range or non-finite input or when the step cap is reached.
static bool searchSimplex(const BoxCorners& a, const BoxCorners& b, Simplex& simplex) {
    if (!a.inRange || !b.inRange)
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
        if (stepSimplex(simplex, d))
            return true;
    }
    return false;
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

// ---- Public functions --------------------------------------------------------------------------

int32_t nextId() {
    return idCounter++;
}

Platform makePlatform(Vec2 centre, float width, float height, float angle) {
    Platform box;
    box.id = nextId();
    box.centre = centre;
    box.width = width;
    box.height = height;
    box.angle = angle;
    refreshCorners(box);
    return box;
}

void refreshCorners(Platform& box) {
    memcpy(box.cache.geometry, &box.centre, sizeof(box.cache.geometry));
    computeCorners(box, box.cache.corners);
    box.cache.valid = true;
}

Vec2 topLeft(const Platform& box) {
    return cornerOf(box, 0);
}

Vec2 topRight(const Platform& box) {
    return cornerOf(box, 1);
}

Vec2 bottomLeft(const Platform& box) {
    return cornerOf(box, 2);
}

Vec2 bottomRight(const Platform& box) {
    return cornerOf(box, 3);
}

Vec2 support(const Platform& box, Vec2 direction) {
    if (cornersAreCurrent(box))
        return supportOf(box.cache.corners, direction);
    BoxCorners corners;
    computeCorners(box, corners);
    return supportOf(corners, direction);
}

bool overlaps(const BoxCorners& a, const BoxCorners& b) {
    if (clearlyApart(a, b))
        return false;
    Simplex simplex;
    return searchSimplex(a, b, simplex);
}

bool overlaps(const Platform& a, const Platform& b) {
    return withCorners(a, b,
                       [](const BoxCorners& ca, const BoxCorners& cb) { return overlaps(ca, cb); });
}

Contact contact(const Platform& a, const Platform& b) {
    return withCorners(a, b,
                       [](const BoxCorners& ca, const BoxCorners& cb) { return contact(ca, cb); });
}

Contact contact(const BoxCorners& cornersA, const BoxCorners& cornersB) {
    Contact none;
    if (clearlyApart(cornersA, cornersB))
        return none;
    Simplex simplex;
    if (!searchSimplex(cornersA, cornersB, simplex))
        return none;

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
        // The closest edge's normal, kept from the pass rather than computed again; the first
        // edge's stands until another is closer, as the first edge is chosen when none is.
        Vec2 edge;
        Vec2 unitNormal;
        for (int32_t i = 0; i < n; i++) {
            int32_t next = i + 1 == n ? 0 : i + 1;
            int32_t after = next + 1 == n ? 0 : next + 1;
            Vec2 pa = polygon.points[i];
            Vec2 normal = edgeNormal(pa, polygon.points[next], polygon.points[after]);
            Vec2 unit = normalized(normal);
            float s = dot(-pa, unit);
            if (s > best || i == 0) {
                edge = normal;
                unitNormal = unit;
            }
            if (s > best) {
                best = s;
                closest = i;
            }
        }
        float dist = fabsf(best);

        // Searched along the unscaled normal: in a near tie the corner chosen follows its rounding.
        Vec2 p = minkowskiSupport(cornersA, cornersB, edge);
        // The depth is the closest edge's distance, not the new point's.
        if (dot(p, unitNormal) - dist < expansionTolerance) {
            Contact result;
            result.hit = true;
            result.depth = dist;
            result.normal = -unitNormal;
            // Products that overflowed leave nothing a caller could push by.
            if (!std::isfinite(result.depth) || !isFinite(result.normal))
                return none;
            return result;
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
    return none;
}
