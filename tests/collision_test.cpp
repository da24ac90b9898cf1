// Tests for oriented boxes and the collision queries: exact corners and contacts on hand-worked
// cases, agreement with a separating-axis test on random boxes and on the degenerate and extreme
// boxes fuzzing found, and termination on bad input.
#include "collision.h"
#include "separating_axes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>

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
