// Oriented boxes and their collision queries. Both queries work on the Minkowski difference of the
// two boxes: overlaps walks a simplex towards the origin, contact then grows that simplex into a
// polygon until its closest edge lies on the difference's boundary. Each query works on corners
// computed once per box (or cached with the box) and first compares the boxes' bounds, so the
// many far-apart pairs of a level cost a few comparisons. Where single precision fails the
// searches (flat, tiny, huge or concentric boxes), the boxes' face axes decide, and they check
// every depth the polygon finds. Relies on the maths module.
#include "collision.h"

#include <cmath>
#include <cstring>

// ---- Data --------------------------------------------------------------------------------------

static int32_t idCounter = 1;

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
// Out-of-range boxes (NaN and infinities included) never touch anything.
static bool isWithinRange(const Platform& box) {
    return fabsf(box.centre.x) <= largestCoordinate && fabsf(box.centre.y) <= largestCoordinate &&
           fabsf(box.width) <= largestCoordinate && fabsf(box.height) <= largestCoordinate &&
           std::isfinite(box.angle);
}

// The larger of two values, as fmaxf gives it when neither is NaN, without its call.
static inline float larger(float x, float y) {
    return x > y ? x : y;
}

// The corners in the order top-left, top-right, bottom-left, bottom-right, each exactly as the
// corner functions define them: the centre shifted by half the height axis, then by half the
// width axis, with W = rotated((width, 0), angle) and H = rotated((0, height), angle). Both axes
// share one sine and cosine, kept for the face-axis check; the products with the zero components
// stay, since they decide the sign of a zero.
void computeCorners(const Platform& box, BoxCorners& out) {
    float c;
    float s;
    if (box.angle == 0.0f) {
        // The cosine and sine of a zero of either sign, exactly.
        c = 1.0f;
        s = box.angle;
    } else {
        c = cosine(box.angle);
        s = sine(box.angle);
    }
    Vec2 w(box.width * c - 0.0f * s, box.width * s + 0.0f * c);
    Vec2 h(0.0f * c - box.height * s, 0.0f * s + box.height * c);
    memcpy(&out.centreX, &box.centre, 5 * sizeof(float));
    out.cosine = c;
    out.sine = s;
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

// Whether the triangle with edges ab, ac and bc, and twice the signed area k = cross(ab, ac), lies
// on one line, to within the flatness share of its longest edge.
static inline bool isFlatTriangle(float k, Vec2 ab, Vec2 ac, Vec2 bc) {
    // The points are finite, so no square is NaN.
    float longest = larger(lengthSquared(ab), larger(lengthSquared(ac), lengthSquared(bc)));
    return fabsf(k) <= flatness * longest;
}

// One simplex step: shortens the simplex to the part nearest the origin and sets the next search
// direction. Returns true when the simplex (a triangle) encloses the origin, and then sets flat
// to whether that triangle is flat.
static bool stepSimplex(Simplex& simplex, Vec2& d, bool& flat) {
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
            flat = isFlatTriangle(k, ab, ac, C - B);
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

// The box's face axes, (1, 0) and (0, 1) turned as rotated turns them, from the sine and cosine
// its corners were computed with: bit for bit the same, zero products and all.
static inline void faceAxes(const BoxCorners& box, Vec2& u, Vec2& v) {
    float c = box.cosine;
    float s = box.sine;
    u = Vec2(1.0f * c - 0.0f * s, 1.0f * s + 0.0f * c);
    v = Vec2(0.0f * c - 1.0f * s, 0.0f * s + 1.0f * c);
}

// Half the box's extent along the unit direction n, given its own axes u and v.
static inline float halfExtent(const BoxCorners& box, Vec2 u, Vec2 v, Vec2 n) {
    return fabsf(box.width * dot(u, n)) / 2.0f + fabsf(box.height * dot(v, n)) / 2.0f;
}

// faceAxisReach for two boxes of angle zero: most contacts in the game, the player's box on a
// level piece that is not turned. Both boxes' axes are then exactly (1, 0) and (0, 1), so b's add
// nothing, and the general sums come to these, bit for bit: each product with a zero component
// adds a zero, and the sign of a zero along an axis is lost to fabsf and passes >= 0 either way.
static inline float uprightReach(const BoxCorners& a, const BoxCorners& b, Vec2& normal) {
    float alongX = a.centreX - b.centreX;
    float alongY = a.centreY - b.centreY;
    float reachX = (fabsf(a.width) / 2.0f + fabsf(b.width) / 2.0f) - fabsf(alongX);
    float reachY = (fabsf(a.height) / 2.0f + fabsf(b.height) / 2.0f) - fabsf(alongY);
    if (reachY < reachX) {
        normal = alongY >= 0.0f ? Vec2(0.0f, 1.0f) : -Vec2(0.0f, 1.0f);
        return reachY;
    }
    normal = alongX >= 0.0f ? Vec2(1.0f, 0.0f) : -Vec2(1.0f, 0.0f);
    return reachX;
}

// How far the difference reaches past the origin along the boxes' four face axes, each both ways,
// at the least: negative when an axis separates the boxes, and normal is then the way to move a.
// The difference of two boxes has no other edge directions, so this is the penetration itself,
// found from the centres and sizes with no product of more than two values that could underflow
// or lose its digits. Only boxes in range come here.
static float faceAxisReach(const BoxCorners& a, const BoxCorners& b, Vec2& normal) {
    if (a.angle == 0.0f && b.angle == 0.0f)
        return uprightReach(a, b, normal);
    Vec2 offset = Vec2(a.centreX, a.centreY) - Vec2(b.centreX, b.centreY);
    Vec2 axes[4];
    faceAxes(a, axes[0], axes[1]);
    faceAxes(b, axes[2], axes[3]);
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

// The least that rounding may account for in a reach of any difference.
static const float leastRoundingAllowance = roundingShare;

// What rounding may account for in a reach of the difference of a and b: never less than
// leastRoundingAllowance. The sizes are finite, so larger gives what fmaxf would.
static float roundingAllowance(const BoxCorners& a, const BoxCorners& b) {
    float largest = larger(
        larger(larger(fabsf(a.centreX), fabsf(a.centreY)), larger(fabsf(a.width), fabsf(a.height))),
        larger(larger(fabsf(b.centreX), fabsf(b.centreY)),
               larger(fabsf(b.width), fabsf(b.height))));
    return roundingShare * larger(largest, 1.0f);
}

// The contact read off the face axes: see faceAxisReach. Touching counts.
static Contact faceAxisContact(const BoxCorners& a, const BoxCorners& b) {
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
static bool faceAxesTouch(const BoxCorners& a, const BoxCorners& b) {
    Vec2 normal;
    return faceAxisReach(a, b, normal) >= -roundingAllowance(a, b);
}

// Runs the simplex search; on a hit the simplex holds the enclosing triangle, or nothing when the
// face axes decided. Gives up (no hit) on out-of-range or non-finite input.
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
        bool flat = false;
        if (stepSimplex(simplex, d, flat)) {
            // A flat triangle "encloses" the origin wherever it lies. For boxes of positive size
            // it lies on the triangle's edge, up to rounding; but the points of a flat difference
            // (two boxes of no height on one line), and search directions whose products
            // underflowed, make flat triangles anywhere. The face axes decide those.
            if (flat)
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
static Contact checkedContact(const BoxCorners& a, const BoxCorners& b, Contact found) {
    Vec2 normal;
    float reach = a.angle == 0.0f && b.angle == 0.0f ? uprightReach(a, b, normal)
                                                     : faceAxisReach(a, b, normal);
    float gap = fabsf(reach - found.depth);
    // The allowance grows with the boxes only past a unit, and rounding keeps the order of
    // sums, so a gap within the least allowance is within theirs: the boxes the game makes
    // need not be measured.
    if (!(gap <= expansionTolerance + leastRoundingAllowance) &&
        !(gap <= expansionTolerance + roundingAllowance(a, b)))
        return faceAxisContact(a, b);
    if (!(fabsf(lengthSquared(found.normal) - 1.0f) <= unitTolerance)) {
        found.depth = 0.0f;
        found.normal = found.normal * 0.0f;
    }
    return found;
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
    if (simplex.count < 3)
        return faceAxisContact(cornersA, cornersB);

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
            return checkedContact(cornersA, cornersB, result);
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
    return faceAxisContact(cornersA, cornersB);
}
