// Tests for oriented boxes and the collision queries: exact corners and contacts on hand-worked
// cases, agreement with a separating-axis test on random boxes and on the degenerate and extreme
// boxes fuzzing found, termination on bad input, and agreement bit for bit with the plain form of
// the queries on many kinds of random boxes.
#include "collision.h"

#include "collision_reference.h"
#include "separating_axes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>

// Exact comparison and readable failures for the cases whose values are exact.
static bool operator==(Vec2 a, Vec2 b) {
    return a.x == b.x && a.y == b.y;
}
static void PrintTo(Vec2 v, std::ostream* out) {
    *out << "(" << v.x << ", " << v.y << ")";
}

namespace {

const float pi = 3.14159265f;

Platform box(float cx, float cy, float width, float height, float angle = 0.0f) {
    return makePlatform(Vec2(cx, cy), width, height, angle);
}

void expectNear(Vec2 actual, Vec2 expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

// Enough digits to rebuild a failing box.
std::string describe(const Platform& b) {
    std::ostringstream out;
    out << std::setprecision(9) << "centre (" << b.centre.x << ", " << b.centre.y << ") size "
        << b.width << " x " << b.height << " angle " << b.angle;
    return out.str();
}

uint32_t bitsOf(float f) {
    uint32_t u;
    memcpy(&u, &f, sizeof(u));
    return u;
}

// Bit for bit, so that a zero of the other sign counts as a difference. Any NaN equals any other:
// which operand's NaN an addition passes on is the compiler's choice of operand order.
bool sameBits(float a, float b) {
    return bitsOf(a) == bitsOf(b) || (std::isnan(a) && std::isnan(b));
}

bool sameBits(Vec2 a, Vec2 b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y);
}

bool sameContact(const Contact& a, const Contact& b) {
    return a.hit == b.hit && sameBits(a.depth, b.depth) && sameBits(a.normal, b.normal);
}

std::string describe(const Contact& c) {
    std::ostringstream out;
    out << std::setprecision(9) << "hit " << c.hit << " depth " << c.depth << " normal ("
        << c.normal.x << ", " << c.normal.y << ")";
    return out.str();
}

} // namespace

TEST(Ids, EveryBoxTakesItsOwnId) {
    Platform a = box(0, 0, 1, 1);
    Platform b = box(0, 0, 1, 1);
    int32_t c = nextId();
    EXPECT_GT(a.id, 0);
    EXPECT_EQ(b.id, a.id + 1);
    EXPECT_EQ(c, b.id + 1);
}

TEST(Corners, UnrotatedBoxHasItsVisualCorners) {
    Platform b = box(10, 20, 4, 2);
    EXPECT_EQ(topLeft(b), Vec2(8, 21));
    EXPECT_EQ(topRight(b), Vec2(12, 21));
    EXPECT_EQ(bottomLeft(b), Vec2(8, 19));
    EXPECT_EQ(bottomRight(b), Vec2(12, 19));
}

TEST(Corners, QuarterTurnIsCounterClockwise) {
    Platform b = box(0, 0, 4, 2, pi / 2.0f);
    expectNear(topLeft(b), Vec2(-1, -2));
    expectNear(topRight(b), Vec2(-1, 2));
    expectNear(bottomLeft(b), Vec2(1, -2));
    expectNear(bottomRight(b), Vec2(1, 2));
}

TEST(Support, PicksFarthestCornerAndTiesGoToTheEarlierOne) {
    Platform b = box(10, 20, 4, 2);
    struct Case {
        Vec2 direction;
        Vec2 expected;
    };
    const Case cases[] = {
        {{1, 0}, topRight(b)},     // top-right and bottom-right tie
        {{0, 1}, topLeft(b)},      // top-left and top-right tie
        {{-1, 0}, topLeft(b)},     // top-left and bottom-left tie
        {{0, -1}, bottomLeft(b)},  // bottom-left and bottom-right tie
        {{1, -1}, bottomRight(b)}, // no tie
        {{0, 0}, topLeft(b)},      // everything ties
        {{-1, -1}, bottomLeft(b)}, // no tie
    };
    for (const Case& c : cases) {
        EXPECT_EQ(support(b, c.direction), c.expected)
            << "direction " << c.direction.x << ", " << c.direction.y;
    }
}

TEST(Contact, ReportsDepthAndNormalOfTheListedCases) {
    struct Case {
        const char* name;
        Platform a, b;
        bool hit;
        float depth;
        Vec2 normal;
    };
    const Case cases[] = {
        {"apart", box(0, 0, 2, 2), box(10, 3, 2, 2), false, 0.0f, {0, 0}},
        {"sunk into floor", box(0, 20.9f, 22, 42), box(0, -10, 200, 20), true, 0.1f, {0, 1}},
        {"floor into box", box(0, -10, 200, 20), box(0, 20.9f, 22, 42), true, 0.1f, {0, -1}},
        {"into wall", box(79.5f, 0, 22, 42), box(100, 0, 20, 400), true, 0.5f, {-1, 0}},
        {"wall into box", box(100, 0, 20, 400), box(79.5f, 0, 22, 42), true, 0.5f, {1, 0}},
        {"resting", box(0, 21, 22, 42), box(0, -10, 200, 20), true, 0.0f, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Contact result = contact(c.a, c.b);
        EXPECT_EQ(result.hit, c.hit);
        EXPECT_EQ(overlaps(c.a, c.b), c.hit);
        EXPECT_NEAR(result.depth, c.depth, 1e-5f);
        expectNear(result.normal, c.normal);
    }
}

TEST(Contact, AgreesWithSeparatingAxesOnRandomBoxes) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> position(-40.0f, 40.0f);
    std::uniform_real_distribution<float> size(1.0f, 60.0f);
    std::uniform_real_distribution<float> angle(-pi, pi);
    int32_t hits = 0, misses = 0;
    for (int32_t n = 0; n < 4000; n++) {
        Platform a =
            box(position(random), position(random), size(random), size(random), angle(random));
        Platform b = box(position(random), position(random), size(random), size(random),
                         n % 4 == 0 ? 0.0f : angle(random));
        double penetration = separatingAxisPenetration(a, b);
        if (std::fabs(penetration) < 1e-3)
            continue; // too close to touching for single precision to decide
        SCOPED_TRACE(testing::Message()
                     << "pair " << n << ": " << describe(a) << " against " << describe(b));
        bool expected = penetration > 0.0;
        ASSERT_EQ(overlaps(a, b), expected);
        Contact result = contact(a, b);
        ASSERT_EQ(result.hit, expected);
        if (!expected) {
            misses++;
            continue;
        }
        hits++;
        EXPECT_NEAR(result.normal.length(), 1.0f, 1e-4f);
        EXPECT_NEAR(result.depth, penetration, 2e-3 + 1e-5 * penetration);
        Platform moved = a;
        moved.centre += result.normal * result.depth;
        EXPECT_LT(separatingAxisPenetration(moved, b), 2e-3);
    }
    // Both outcomes must be well represented for the comparison to mean anything.
    EXPECT_GT(hits, 1000);
    EXPECT_GT(misses, 1000);
}

TEST(Contact, DegenerateBoxesEndWithoutContact) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Platform normal = box(0, 0, 10, 10);
    const Platform cases[] = {
        box(0, 0, nan, 10),
        box(nan, 0, 10, 10),
        box(0, 0, 10, 10, nan),
        box(inf, 0, 10, 10),
        box(0, -inf, 10, 10),
        box(0, 0, inf, 10),
        box(0, 0, 10, 10, inf),
        box(1e30f, 1e30f, 1e30f, 1e30f),
        box(0, 0, 1e30f, 1e30f, 0.3f),
        box(0, 0, 3e38f, 3e38f, 0.7f),
        box(1e30f, -1e30f, 10, 10),
    };
    for (const Platform& odd : cases) {
        SCOPED_TRACE(describe(odd));
        for (int order = 0; order < 2; order++) {
            const Platform& a = order == 0 ? odd : normal;
            const Platform& b = order == 0 ? normal : odd;
            EXPECT_FALSE(overlaps(a, b));
            Contact result = contact(a, b);
            EXPECT_FALSE(result.hit);
            EXPECT_EQ(result.depth, 0.0f);
            EXPECT_EQ(result.normal, Vec2(0, 0));
        }
    }
    // Two points in one place touch, and touching counts; a unit apart they do not.
    Platform point = box(5, 5, 0, 0);
    EXPECT_TRUE(overlaps(point, point));
    Contact same = contact(point, point);
    EXPECT_TRUE(same.hit);
    EXPECT_EQ(same.depth, 0.0f);
    EXPECT_FALSE(overlaps(point, box(5, 6, 0, 0)));
    // A point inside a box goes out the shortest way.
    Contact inside = contact(box(1, 2, 0, 0), normal);
    EXPECT_TRUE(inside.hit);
    EXPECT_NEAR(inside.depth, 3.0f, 1e-5f);
    expectNear(inside.normal, Vec2(0, 1));
}

// Boxes of no height or width, specks, boxes far out or huge, boxes sharing a centre: the cases
// fuzzing found the queries getting wrong, each checked in both orders against the separating
// axes, to within what single precision allows at the boxes' magnitude, and with the outcome and
// depth pinned.
TEST(Contact, DegenerateAndExtremeBoxesAgreeWithSeparatingAxes) {
    const float pi4 = 0.785398185f;
    struct Case {
        const char* name;
        Platform a, b;
        bool hit;
        double depth;
    };
    const Case cases[] = {
        {"no height, one line, 1000 apart", box(0, 0, 10, 0), box(1000, 0, 10, 0), false, 0},
        {"no height, one line, half a unit apart", box(0, 0, 10, 0), box(10.5f, 0, 10, 0), false,
         0},
        {"no height, one line, end to end", box(0, 0, 10, 0), box(10, 0, 10, 0), true, 0},
        {"no height, one line, overlapping", box(0, 0, 10, 0), box(5, 0, 10, 0), true, 0},
        {"a point on a segment's line, past its end", box(-157.9375f, 0, 2.6875f, 0),
         box(0, 0, 0, 0), false, 0},
        {"a point on a box's diagonal, past its corner", box(-pi4, -pi4, -pi4, pi4),
         box(0, 0, 0, 0), false, 0},
        {"a point at a box's centre", box(0, 0, 194.0625f, -7.85398197f), box(0, 0, 0, 0), true,
         3.92699099},
        {"a common centre", box(0, 0, 10, 10), box(0, 0, 20, 4), true, 7},
        {"a common centre off the origin", box(5, 5, 10, 10), box(5, 5, 22, 42), true, 16},
        {"a sliver through a box's centre", box(0, 0, 2048, 1201.5f), box(0, 0, 2048, 0), true,
         600.75},
        {"segments in one place, one turned by a denormal angle",
         box(157.25f, 0, -0.5625f, 0, -6.75472336e-22f), box(157.25f, 0, -0.5625f, 0), true, 0},
        {"negative sizes, a common angle", box(0, 0, -41.6261024f, -8, -pi4),
         box(-pi4, -pi4, -pi4, -pi4, -pi4), true, 3.28197833},
        {"ten million units tall", box(0, 0, 541.625f, 1e7f, 99.7455673f),
         box(-64.4026489f, 27.1054688f, 2028.625f, 1e7f, 99.7455673f), true, 1220.41897},
        {"a hundred million units long, a common centre",
         box(-0.0625f, -2037.125f, -1296.0625f, 1e8f, 1.19189453f),
         box(-0.0625f, -2037.125f, -1296.0625f, 99999968, 1.19189453f), true, 1296.0625},
        {"thin, far out, a common centre",
         box(16777216, -1200.25f, -1204.75f, 795.25f, -2.10302734f),
         box(16777216, -1200.25f, -1204.75f, -0.0625f), true, 720.861573},
        {"a denormal height, far apart", box(-1188.6875f, 0, -143.1875f, 6.12367429e-43f),
         box(0, 0, 0, 0), false, 0},
        {"a box at the range limit turned by a denormal angle", box(0, 0, 0, 0),
         box(1e8f, -0.0625f, 15.9375f, 0.125f, 2.35066879e-38f), false, 0},
        {"a segment of denormal width, far off its end", box(0, 0, 0, 0),
         box(0, 1552.0625f, -4.54390476e-26f, 815.9375f), false, 0},
        {"specks far apart",
         box(-75.3982239f, -2.7211347e-19f, -2.7211347e-19f, -2.7128629e-19f, -2.7211347e-19f),
         box(2.22414092e-41f, 7.61661347e-39f, -2.7211347e-19f, -2.7211347e-19f, 74.6128311f),
         false, 0},
        {"a point on a box too thin to have a unit normal", box(16, 0, -128, -6.39426795e-23f),
         box(0, 0, 0, 0), true, 0},
    };
    for (const Case& c : cases) {
        for (int order = 0; order < 2; order++) {
            const Platform& a = order == 0 ? c.a : c.b;
            const Platform& b = order == 0 ? c.b : c.a;
            SCOPED_TRACE(testing::Message()
                         << c.name << ": " << describe(a) << " against " << describe(b));
            double largest = 1.0;
            for (const Platform* p : {&a, &b})
                largest = std::max({largest, (double)std::fabs(p->centre.x),
                                    (double)std::fabs(p->centre.y), (double)std::fabs(p->width),
                                    (double)std::fabs(p->height)});
            double tolerance = 1e-5 * largest + 1e-3;
            EXPECT_NEAR(separatingAxisPenetration(a, b), c.hit ? c.depth : -1.0,
                        c.hit ? 1e-6 * largest : 1e30);
            EXPECT_EQ(overlaps(a, b), c.hit);
            Contact result = contact(a, b);
            EXPECT_EQ(result.hit, c.hit);
            // The plain form of the queries takes the same face-axis paths to the same bits.
            EXPECT_EQ(reference::overlaps(a, b), c.hit);
            EXPECT_TRUE(sameContact(result, reference::contact(a, b)))
                << describe(result) << ", plain: " << describe(reference::contact(a, b));
            if (!result.hit) {
                EXPECT_EQ(result.depth, 0.0f);
                EXPECT_EQ(result.normal, Vec2(0, 0));
                continue;
            }
            EXPECT_NEAR(result.depth, c.depth, tolerance);
            if (result.normal == Vec2(0, 0)) {
                EXPECT_EQ(result.depth, 0.0f);
                continue;
            }
            EXPECT_NEAR(result.normal.length(), 1.0f, 1e-3f);
            EXPECT_LT(separatingAxisPenetration(a, b, (double)result.normal.x * result.depth,
                                                (double)result.normal.y * result.depth),
                      tolerance);
        }
    }
}

// ---- Agreement with the plain form of the queries ----------------------------------------------

namespace {

using BoxPair = std::pair<Platform, Platform>;

struct PairKind {
    const char* name;
    std::function<BoxPair(std::mt19937&)> make;
};

float uniform(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

int32_t whole(std::mt19937& random, int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
}

// The sizes and angles the level is built from, and the player's two boxes and a marker's.
const Vec2 levelSizes[] = {{400, 32},  {200, 32}, {32, 140}, {32, 100}, {32, 300},
                           {32, 1024}, {32, 64},  {300, 32}, {32, 260}, {32, 324},
                           {150, 32},  {230, 32}, {250, 32}, {8, 8}};
const float levelAngles[] = {0.0f, 0.0f, 0.0f, 0.34906584f, -0.34906584f};
const Vec2 playerSizes[] = {{22, 42}, {22, 32}};

// The kinds of pairs compared, from the game's own to the degenerate.
const PairKind pairKinds[] = {
    {"rotated, near each other",
     [](std::mt19937& r) {
         return BoxPair{box(uniform(r, -40, 40), uniform(r, -40, 40), uniform(r, 1, 60),
                            uniform(r, 1, 60), uniform(r, -pi, pi)),
                        box(uniform(r, -40, 40), uniform(r, -40, 40), uniform(r, 1, 60),
                            uniform(r, 1, 60), uniform(r, -pi, pi))};
     }},
    {"player against the level",
     [](std::mt19937& r) {
         Vec2 size = levelSizes[whole(r, 0, 13)];
         float angle = levelAngles[whole(r, 0, 4)];
         // Far along a run as well as at its start; positions on the simulation's 1/64 steps.
         float originX = (float)whole(r, 0, 3) * 1e6f + (float)whole(r, -2000, 2000);
         Platform platform = box(originX, (float)whole(r, -400, 400), size.x, size.y, angle);
         Vec2 player = playerSizes[whole(r, 0, 1)];
         float dx = (float)whole(r, -64 * 64, 64 * 64) / 64.0f + size.x * uniform(r, -0.6f, 0.6f);
         float dy = (float)whole(r, -64 * 64, 64 * 64) / 64.0f + size.y * uniform(r, -0.6f, 0.6f);
         return BoxPair{box(platform.centre.x + dx, platform.centre.y + dy, player.x, player.y),
                        platform};
     }},
    {"axis-aligned, touching at an edge or a corner",
     [](std::mt19937& r) {
         float w = (float)whole(r, 1, 40);
         float h = (float)whole(r, 1, 40);
         float bw = (float)whole(r, 1, 40);
         float bh = (float)whole(r, 1, 40);
         float dx = (w + bw) / 2.0f * (float)whole(r, -1, 1);
         float dy = whole(r, 0, 1) ? (h + bh) / 2.0f * (float)whole(r, -1, 1)
                                   : (float)whole(r, -40, 40) / 2.0f;
         return BoxPair{box(dx, dy, w, h), box(0, 0, bw, bh)};
     }},
    {"rotated, touching corner to face",
     [](std::mt19937& r) {
         Platform b = box(uniform(r, -10, 10), uniform(r, -10, 10), uniform(r, 1, 60),
                          uniform(r, 1, 60), uniform(r, -pi, pi));
         Platform a = box(0, 0, uniform(r, 1, 60), uniform(r, 1, 60), uniform(r, -pi, pi));
         // Moves a so that its top-left corner lands on b's top-right corner.
         a.centre = a.centre + (reference::topRight(b) - reference::topLeft(a));
         return BoxPair{box(a.centre.x, a.centre.y, a.width, a.height, a.angle), b};
     }},
    {"nested",
     [](std::mt19937& r) {
         Platform outer = box(uniform(r, -100, 100), uniform(r, -100, 100), uniform(r, 50, 400),
                              uniform(r, 50, 400), uniform(r, -pi, pi));
         Platform inner =
             box(outer.centre.x + uniform(r, -10, 10), outer.centre.y + uniform(r, -10, 10),
                 uniform(r, 0.5f, 20), uniform(r, 0.5f, 20), uniform(r, -pi, pi));
         return whole(r, 0, 1) ? BoxPair{inner, outer} : BoxPair{outer, inner};
     }},
    {"far apart",
     [](std::mt19937& r) {
         return BoxPair{box(uniform(r, -1e5f, 1e5f), uniform(r, -1e5f, 1e5f), uniform(r, 1, 1e3f),
                            uniform(r, 1, 1e3f), uniform(r, -pi, pi)),
                        box(uniform(r, -1e5f, 1e5f), uniform(r, -1e5f, 1e5f), uniform(r, 1, 1e3f),
                            uniform(r, 1, 1e3f), uniform(r, -pi, pi))};
     }},
    {"whole numbers on a small grid",
     [](std::mt19937& r) {
         auto one = [&]() {
             float angle = (float)whole(r, 0, 3) * (pi / 2.0f) * (float)whole(r, 0, 1);
             return box((float)whole(r, -16, 16) / 2.0f, (float)whole(r, -16, 16) / 2.0f,
                        (float)whole(r, 0, 6), (float)whole(r, 0, 6), angle);
         };
         Platform a = one();
         return BoxPair{a, one()};
     }},
    {"degenerate",
     [](std::mt19937& r) {
         const float inf = std::numeric_limits<float>::infinity();
         const float nan = std::numeric_limits<float>::quiet_NaN();
         const float odd[] = {0.0f, -0.0f, -5.0f, 1e-30f, 1e9f, 1e30f, 3e38f, inf, -inf, nan};
         auto pick = [&](float usual) { return whole(r, 0, 3) == 0 ? odd[whole(r, 0, 9)] : usual; };
         Platform a =
             box(pick(uniform(r, -20, 20)), pick(uniform(r, -20, 20)), pick(uniform(r, 1, 30)),
                 pick(uniform(r, 1, 30)), pick(uniform(r, -3, 3)));
         Platform b =
             box(pick(uniform(r, -20, 20)), pick(uniform(r, -20, 20)), pick(uniform(r, 1, 30)),
                 pick(uniform(r, 1, 30)), pick(uniform(r, -3, 3)));
         return BoxPair{a, b};
     }},
};

// The same geometry in a box whose cached corners belong to another one.
Platform withStaleCache(const Platform& box) {
    Platform stale = makePlatform(box.centre + Vec2(3.0f, -5.0f), box.width + 1.0f, 2.0f, 0.5f);
    stale.centre = box.centre;
    stale.width = box.width;
    stale.height = box.height;
    stale.angle = box.angle;
    return stale;
}

} // namespace

TEST(CornerCache, ABoxChangedAfterCachingShowsItsNewCorners) {
    Platform b = box(10, 20, 4, 2);
    Platform copy = b;
    b.centre = Vec2(0, 0);
    EXPECT_EQ(topLeft(b), Vec2(-2, 1));
    b.width = 8;
    EXPECT_EQ(topRight(b), Vec2(4, 1));
    b.height = 6;
    EXPECT_EQ(bottomLeft(b), Vec2(-4, -3));
    b.angle = pi;
    expectNear(bottomRight(b), Vec2(-4, 3));
    // The copy still has the geometry its cache was made for.
    EXPECT_EQ(topLeft(copy), Vec2(8, 21));
    // Refreshing caches the new geometry; any change after that, even a zero that changes sign,
    // leaves the cache unused.
    refreshCorners(b);
    BoxCorners scratch;
    EXPECT_EQ(&cornersOf(b, scratch), &b.cache.corners);
    b.centre.y += 1.0f;
    EXPECT_EQ(&cornersOf(b, scratch), &scratch);
    expectNear(cornersOf(b, scratch).corners[3], Vec2(-4, 4));
    Platform zero = box(0, 0, 2, 2);
    zero.angle = -0.0f;
    EXPECT_EQ(&cornersOf(zero, scratch), &scratch);
}

TEST(QuickRejection, TurnsDownBoxesApartAndNeverBoxesThatTouch) {
    struct Case {
        const char* name;
        Platform a, b;
        bool apart;
    };
    const Case cases[] = {
        {"resting on a floor", box(0, 21, 22, 42), box(0, -10, 200, 20), false},
        {"a hair above a floor", box(0, 21.01f, 22, 42), box(0, -10, 200, 20), false},
        {"within the margin", box(0, 21.9f, 22, 42), box(0, -10, 200, 20), false},
        {"above the margin", box(0, 24, 22, 42), box(0, -10, 200, 20), true},
        {"beside a wall", box(79, 0, 22, 42), box(100, 0, 20, 400), false},
        {"far to the left", box(-500, 0, 22, 42), box(100, 0, 20, 400), true},
        {"far along a run", box(3e6f, 21, 22, 42), box(3e6f + 111, -10, 200, 20), false},
        {"corner to corner, turned", box(0, 0, 10, 10, pi / 4.0f), box(14.2f, 0, 10, 10, pi / 4.0f),
         false},
        {"NaN is never apart", box(std::numeric_limits<float>::quiet_NaN(), 0, 1, 1),
         box(50, 0, 1, 1), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoxCorners scratchA, scratchB;
        EXPECT_EQ(clearlyApart(cornersOf(c.a, scratchA), cornersOf(c.b, scratchB)), c.apart);
    }
    // With the origin on the line through its first two points the search stops on a zero
    // direction and makes a flat triangle; the face axes then find these boxes 300 units apart,
    // with the rejection and without it.
    Platform low = box(-300, -900, 100, 300);
    Platform high = box(0, 0, 100, 300);
    EXPECT_FALSE(reference::overlaps(low, high));
    EXPECT_FALSE(overlaps(low, high));
    EXPECT_FALSE(contact(low, high).hit);
    // Where the rejection and the plain queries may part: segments on one line, five million
    // units out, 3 units apart. The search's flat triangle leaves them to the face axes, which
    // allow 5 units for rounding at that distance and call them touching; the rejection, whose
    // margin does not grow with the distance from the origin, rightly turns them down. The
    // world never places boxes of no height, nor this far out.
    Platform left = box(5e6f, 0, 10, 0);
    Platform right = box(5e6f + 13.0f, 0, 10, 0);
    EXPECT_NEAR(separatingAxisPenetration(left, right), -3.0, 1e-9);
    EXPECT_TRUE(reference::overlaps(left, right));
    EXPECT_FALSE(overlaps(left, right));
    EXPECT_FALSE(contact(left, right).hit);
}

TEST(PlainQueries, CornersAndSupportAreBitForBitTheSame) {
    std::mt19937 random(2024);
    for (const PairKind& kind : pairKinds) {
        SCOPED_TRACE(kind.name);
        for (int32_t n = 0; n < 2000; n++) {
            auto [a, b] = kind.make(random);
            SCOPED_TRACE(describe(a));
            ASSERT_TRUE(sameBits(topLeft(a), reference::topLeft(a)));
            ASSERT_TRUE(sameBits(topRight(a), reference::topRight(a)));
            ASSERT_TRUE(sameBits(bottomLeft(a), reference::bottomLeft(a)));
            ASSERT_TRUE(sameBits(bottomRight(a), reference::bottomRight(a)));
            Vec2 direction(uniform(random, -1, 1), uniform(random, -1, 1));
            ASSERT_TRUE(sameBits(support(a, direction), reference::support(a, direction)));
            ASSERT_TRUE(sameBits(support(a, b.centre), reference::support(a, b.centre)));
        }
    }
}

// The game's queries against their plain form (tests/collision_reference.cpp): the same
// algorithm, the face-axis mend for what single precision gets wrong included, with corners
// recomputed for every support point, axes from rotated, no cache and no rejection by bounds.
// Every pair of every kind must give the same bits, so the corners computed once, the cache, the
// shared sine and cosine, the shortcuts of the face-axis check and the rejection change nothing.
// Several kinds reach the mend (boxes with a common centre, corners meeting exactly, boxes of no
// width or height on the grid), so the face axes' paths are compared too. Only boxes far out,
// apart by more than the rejection's margin yet within the face axes' allowance for rounding,
// could part the two (see QuickRejection); none of these kinds makes them.
TEST(PlainQueries, OverlapsAndContactAgreeBitForBitOnEveryKindOfPair) {
    std::mt19937 random(11);
    for (const PairKind& kind : pairKinds) {
        SCOPED_TRACE(kind.name);
        int32_t hits = 0;
        for (int32_t n = 0; n < 20000; n++) {
            auto [a, b] = kind.make(random);
            SCOPED_TRACE(testing::Message()
                         << "pair " << n << ": " << describe(a) << " against " << describe(b));
            bool expectedOverlap = reference::overlaps(a, b);
            Contact expected = reference::contact(a, b);
            Contact actual = contact(a, b);
            BoxCorners scratchA, scratchB;
            const BoxCorners& cornersA = cornersOf(a, scratchA);
            const BoxCorners& cornersB = cornersOf(b, scratchB);
            bool apart = clearlyApart(cornersA, cornersB);
            // Boxes that meet, or all but meet, are never turned down by their bounds.
            if (cornersA.inRange && cornersB.inRange) {
                ASSERT_FALSE(apart && separatingAxisPenetration(a, b) > -1e-3);
            }
            ASSERT_EQ(overlaps(a, b), expectedOverlap);
            ASSERT_TRUE(sameContact(actual, expected))
                << describe(actual) << ", plain: " << describe(expected);
            // The rejection only ever turns down pairs the plain queries find apart.
            if (apart) {
                ASSERT_FALSE(expectedOverlap);
            }
            // Boxes whose caches no longer fit them answer the same.
            ASSERT_EQ(overlaps(withStaleCache(a), b), expectedOverlap);
            ASSERT_TRUE(sameContact(contact(a, withStaleCache(b)), expected));
            hits += expected.hit ? 1 : 0;
        }
        // Each kind must exercise what it is about: hits where boxes meet, misses where not.
        std::string name = kind.name;
        bool mostlyApart = name == "far apart" || name == "degenerate";
        EXPECT_GT(hits, mostlyApart ? -1 : 1000);
        EXPECT_LT(hits, mostlyApart ? 20000 : 20001);
    }
}
