// Tests for the fill-polygon index: it finds exactly the polygons that reach into a range of x,
// and it is used only while it matches the level's polygons.
#include "fill_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

namespace {

float uniform(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

} // namespace

TEST(FillIndex, FindsThePolygonsThatReachIntoARange) {
    std::mt19937 random(4);
    // Point lists like the templates' (owned here), some wide, one with a NaN and one empty.
    std::vector<std::vector<Vec2>> shapes;
    for (int32_t k = 0; k < 6; k++)
        shapes.push_back({Vec2(uniform(random, -50, 400), uniform(random, -100, 0)),
                          Vec2(uniform(random, -50, 400), uniform(random, -100, 0)),
                          Vec2(uniform(random, -50, 400), uniform(random, -100, 0))});
    shapes.push_back({Vec2(0, 0), Vec2(std::numeric_limits<float>::quiet_NaN(), 0), Vec2(1, 1)});
    shapes.push_back({});

    Array<FillPolygon*> polygons;
    FillIndex index;
    for (int32_t i = 0; i < 500; i++) {
        const std::vector<Vec2>& shape = shapes[(size_t)(i % (int32_t)shapes.size())];
        // Mostly rising along x, as the level grows, sometimes behind.
        float x = (float)i * 150.0f - (i % 7 == 3 ? uniform(random, 0, 3000) : 0.0f);
        polygons.add(new FillPolygon{Vec2(x, uniform(random, -200, 200)), shape.data(),
                                     (int32_t)shape.size()});
        addFillPolygon(index, *polygons.data[i]);
    }
    ASSERT_TRUE(fillIndexMatches(index, polygons));

    int32_t found = 0;
    for (int32_t n = 0; n < 5000; n++) {
        float low = uniform(random, -3000, 78000);
        float high = low + uniform(random, 0, 2500);
        std::set<const FillPolygon*> expected;
        for (int32_t i = 0; i < polygons.count; i++) {
            const FillPolygon* p = polygons.data[i];
            if (p->count == 0)
                continue;
            float left = p->origin.x + p->points[0].x;
            float right = left;
            for (int32_t k = 1; k < p->count; k++) {
                left = std::min(left, p->origin.x + p->points[k].x);
                right = std::max(right, p->origin.x + p->points[k].x);
            }
            if (!(right < low) && !(left > high) && !std::isnan(left + right))
                expected.insert(p);
        }
        int32_t first = 0;
        int32_t end = 0;
        findFillPolygonsBetween(index, low, high, first, end);
        std::set<const FillPolygon*> actual;
        for (int32_t i = first; i < end; i++) {
            const FillIndexEntry& entry = index.entries[(size_t)i];
            if (!(entry.right < low) && !(entry.left > high))
                actual.insert(entry.record);
        }
        ASSERT_EQ(actual, expected) << "range " << low << " to " << high;
        found += (int32_t)expected.size();
    }
    EXPECT_GT(found, 10000);
    polygons.deleteAll();
}

TEST(FillIndex, UsedOnlyWhileItMatchesTheLevel) {
    static const Vec2 points[3] = {{0, 0}, {10, 0}, {0, -10}};
    Array<FillPolygon*> polygons;
    FillIndex index;
    EXPECT_TRUE(fillIndexMatches(index, polygons));
    polygons.add(new FillPolygon{Vec2(5, 5), points, 3});
    EXPECT_FALSE(fillIndexMatches(index, polygons)); // added behind its back
    addFillPolygon(index, *polygons.data[0]);
    EXPECT_TRUE(fillIndexMatches(index, polygons));
    polygons.data[0]->origin.x += 100.0f; // moved behind its back
    EXPECT_FALSE(fillIndexMatches(index, polygons));
    clearFillIndex(index);
    addFillPolygon(index, *polygons.data[0]);
    EXPECT_TRUE(fillIndexMatches(index, polygons));
    polygons.deleteAll();
    EXPECT_FALSE(fillIndexMatches(index, polygons));
    clearFillIndex(index);
    EXPECT_TRUE(fillIndexMatches(index, polygons));
}
