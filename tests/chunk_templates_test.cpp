// Tests for the chunk-template table: the shapes, the joins between pieces, the exits, the
// markers and the transition weights.
#include "chunk_templates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

// Builds the table once for every test in this file and frees it at the end, so that the leak
// checker sees nothing left behind.
class ChunkTable : public testing::Test {
  protected:
    static void SetUpTestSuite() { buildChunkTemplates(); }
    static void TearDownTestSuite() { releaseChunkTemplates(); }

    static const ChunkTemplate& chunk(int32_t index) { return *chunkTemplates.get(index); }
    static const Platform& platform(int32_t index, int32_t number) {
        return *chunk(index).platforms.get(number - 1);
    }
};

void expectNear(Vec2 actual, Vec2 expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

} // namespace

TEST_F(ChunkTable, HoldsEveryTemplateWithItsPlatformCount) {
    ASSERT_EQ(chunkTemplates.count, chunkTemplateCount);
    const int32_t platformCounts[chunkTemplateCount] = {1, 4, 4, 3, 3, 5, 5, 2, 3, 2};
    for (int32_t i = 0; i < chunkTemplateCount; i++)
        EXPECT_EQ(chunk(i).platforms.count, platformCounts[i]) << "template " << i;
    EXPECT_EQ(chunk(0).weights[0], 0.0f);
}

TEST_F(ChunkTable, EveryChunkStartsAtItsOriginAndExitsAtTheNamedCorner) {
    // The platform whose top-right corner is the exit, numbered from 1.
    const int32_t exitPlatform[chunkTemplateCount] = {1, 3, 4, 3, 3, 5, 1, 2, 1, 1};
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        SCOPED_TRACE(testing::Message() << "template " << i);
        Vec2 corner = topRight(platform(i, exitPlatform[i]));
        EXPECT_EQ(chunk(i).exit.x, corner.x);
        EXPECT_EQ(chunk(i).exit.y, corner.y);
        bool startsAtOrigin = false;
        for (int32_t k = 0; k < chunk(i).platforms.count; k++) {
            Vec2 tl = topLeft(*chunk(i).platforms.get(k));
            startsAtOrigin |= std::fabs(tl.x) < 1e-4f && std::fabs(tl.y) < 1e-4f;
        }
        EXPECT_TRUE(startsAtOrigin);
    }
    expectNear(chunk(3).exit, Vec2(587.9385f, 68.4040f));
    expectNear(chunk(4).exit, Vec2(587.9385f, -68.4040f));
    EXPECT_EQ(chunk(1).exit.x, 200.0f);
    EXPECT_EQ(chunk(1).exit.y, 300.0f);
    EXPECT_EQ(chunk(6).exit.x, 400.0f);
    EXPECT_EQ(chunk(6).exit.y, -324.0f);
}

TEST_F(ChunkTable, RampsJoinTheFloorsOnEitherSide) {
    const Platform& upRamp = platform(3, 2);
    EXPECT_EQ(upRamp.angle, 0.34906584f);
    expectNear(upRamp.centre, Vec2(299.4416f, 19.1669f));
    expectNear(topLeft(upRamp), Vec2(200.0f, 0.0f));
    expectNear(topRight(upRamp), Vec2(387.9385f, 68.4040f));
    expectNear(platform(3, 3).centre, Vec2(487.9385f, 52.4040f));
    expectNear(topLeft(platform(3, 3)), topRight(upRamp));

    const Platform& downRamp = platform(4, 2);
    EXPECT_EQ(downRamp.angle, -0.34906584f);
    expectNear(downRamp.centre, Vec2(288.4969f, -49.2371f));
    expectNear(topLeft(downRamp), Vec2(200.0f, 0.0f));
    expectNear(platform(4, 3).centre, Vec2(487.9385f, -84.4040f));
    expectNear(topLeft(platform(4, 3)), topRight(downRamp));
}

TEST_F(ChunkTable, OnlyTheRampsHaveFillTriangles) {
    for (int32_t i = 0; i < chunkTemplateCount; i++)
        EXPECT_EQ(chunk(i).fillPolygons.count, (i == 3 || i == 4) ? 1 : 0) << "template " << i;

    const Vec2 upPoints[3] = {{200, 0}, {200, -32}, {210.9446f, -30.0702f}};
    const Vec2 downPoints[3] = {
        {387.9385f, -68.4040f}, {376.9939f, -98.4742f}, {387.9385f, -100.4040f}};
    const Vec2* expected[2] = {upPoints, downPoints};
    for (int32_t k = 0; k < 2; k++) {
        const FillPolygon& fill = *chunk(3 + k).fillPolygons.get(0);
        EXPECT_EQ(fill.count, 3);
        EXPECT_EQ(fill.origin.x, 0.0f);
        EXPECT_EQ(fill.origin.y, 0.0f);
        for (int32_t p = 0; p < 3; p++)
            expectNear(fill.points[p], expected[k][p]);
    }
}

TEST_F(ChunkTable, MarkersSitOnTheMarkedCorners) {
    const int32_t markerCounts[chunkTemplateCount] = {0, 2, 0, 0, 0, 1, 0, 1, 1, 0};
    for (int32_t i = 0; i < chunkTemplateCount; i++)
        EXPECT_EQ(chunk(i).ledgeMarkers.count, markerCounts[i]) << "template " << i;

    struct Expected {
        int32_t chunk, marker;
        Vec2 centre;
    };
    const Expected cases[] = {
        {1, 0, {168, 140}}, {1, 1, {168, 300}}, {5, 0, {170, 324}},
        {7, 0, {218, 72}},  {8, 0, {184, 64}},
    };
    for (const Expected& e : cases) {
        const LedgeMarker& m = *chunk(e.chunk).ledgeMarkers.get(e.marker);
        SCOPED_TRACE(testing::Message() << "template " << e.chunk << " marker " << e.marker);
        EXPECT_EQ(m.box.centre.x, e.centre.x);
        EXPECT_EQ(m.box.centre.y, e.centre.y);
        EXPECT_EQ(m.box.width, 8.0f);
        EXPECT_EQ(m.box.height, 8.0f);
        EXPECT_EQ(m.box.angle, 0.0f);
        EXPECT_EQ(m.tagA, 1);
        EXPECT_EQ(m.tagB, -1);
    }
}

TEST_F(ChunkTable, EveryIdIsFresh) {
    std::set<int32_t> ids;
    int32_t total = 0;
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        for (int32_t k = 0; k < chunk(i).platforms.count; k++, total++)
            ids.insert(chunk(i).platforms.get(k)->id);
        for (int32_t k = 0; k < chunk(i).ledgeMarkers.count; k++, total += 2) {
            ids.insert(chunk(i).ledgeMarkers.get(k)->id);
            ids.insert(chunk(i).ledgeMarkers.get(k)->box.id);
        }
    }
    EXPECT_EQ((int32_t)ids.size(), total);
    EXPECT_EQ(ids.count(0), 0u);
}

TEST_F(ChunkTable, WeightRowsSumToOneOrOneUlpAbove) {
    const float oneUlpAbove = std::nextafter(1.0f, 2.0f);
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        float sum = 0.0f;
        for (int32_t k = 0; k < chunkTemplateCount; k++) {
            EXPECT_GE(chunk(i).weights[k], 0.0f);
            sum += chunk(i).weights[k];
        }
        bool above = i == 2 || i == 3 || i == 4 || i == 7;
        EXPECT_EQ(sum, above ? oneUlpAbove : 1.0f) << "row " << i;
    }
    // A few single entries, to catch a shifted column.
    EXPECT_EQ(chunk(0).weights[9], 0.2f);
    EXPECT_EQ(chunk(1).weights[4], 0.27f);
    EXPECT_EQ(chunk(7).weights[0], 0.0f);
    EXPECT_EQ(chunk(8).weights[3], 0.35f);
    EXPECT_EQ(chunk(9).weights[9], 0.0f);
}

namespace {

// Template 7 as written in the table: a floor and a higher floor, a marker on the second, the
// exit at its top-right corner.
constexpr TemplateRow stepUp = {{{0, 250, -32, 0}, {218, 468, 40, 72}},
                                2,
                                0.0f,
                                {2},
                                1,
                                2,
                                {0.0f, 0.15f, 0.15f, 0.05f, 0.05f, 0.1f, 0.1f, 0.15f, 0.15f, 0.1f}};
static_assert(templateRowProblem(stepUp) == TemplateRowProblem::none);

} // namespace

TEST(TemplateRows, BrokenRowsAreToldApart) {
    struct Case {
        const char* name;
        void (*breakRow)(TemplateRow&);
        TemplateRowProblem problem;
    };
    using enum TemplateRowProblem;
    const Case cases[] = {
        {"unchanged", [](TemplateRow&) {}, none},
        {"no platforms", [](TemplateRow& r) { r.platformCount = 0; }, noPlatforms},
        {"count past the row", [](TemplateRow& r) { r.platformCount = 6; },
         morePlatformsThanARowHolds},
        {"counted empty span", [](TemplateRow& r) { r.platformCount = 3; }, platformWithoutExtent},
        {"upside-down span",
         [](TemplateRow& r) {
             r.platforms[1] = {218, 468, 72, 40};
         },
         platformWithoutExtent},
        {"span past the count",
         [](TemplateRow& r) {
             r.platforms[2] = {0, 10, 0, 10};
         },
         platformListedBeyondItsCount},
        {"nothing at the origin", [](TemplateRow& r) { r.platforms[0].top = -1.0f; },
         noPlatformWithItsTopLeftAtTheOrigin},
        {"three markers", [](TemplateRow& r) { r.markerCount = 3; }, moreMarkersThanARowHolds},
        {"negative marker count", [](TemplateRow& r) { r.markerCount = -1; },
         moreMarkersThanARowHolds},
        {"marker past the count", [](TemplateRow& r) { r.markedPlatforms[1] = 1; },
         markerListedBeyondItsCount},
        {"marker on platform 3", [](TemplateRow& r) { r.markedPlatforms[0] = 3; },
         markerOnAMissingPlatform},
        {"marker on platform 0", [](TemplateRow& r) { r.markedPlatforms[0] = 0; },
         markerOnAMissingPlatform},
        {"exit on platform 3", [](TemplateRow& r) { r.exitPlatform = 3; }, exitOnAMissingPlatform},
        {"exit on platform 0", [](TemplateRow& r) { r.exitPlatform = 0; }, exitOnAMissingPlatform},
        // A ramp row gains two platforms after its listed ones, which markers and exits may name.
        {"exit on a ramp's floor", [](TemplateRow& r) { r.rampAngle = 0.3f, r.exitPlatform = 4; },
         none},
        {"exit past a ramp's floor", [](TemplateRow& r) { r.rampAngle = 0.3f, r.exitPlatform = 5; },
         exitOnAMissingPlatform},
        {"negative weight", [](TemplateRow& r) { r.weights[1] = -0.15f, r.weights[2] = 0.45f; },
         weightOutsideZeroToOne},
        {"weight NaN", [](TemplateRow& r) { r.weights[3] = std::nanf(""); },
         weightOutsideZeroToOne},
        {"weights short of 1", [](TemplateRow& r) { r.weights[9] = 0.09f; }, weightsDoNotSumToOne},
        {"weights past 1", [](TemplateRow& r) { r.weights[9] = 0.11f; }, weightsDoNotSumToOne},
    };
    for (const Case& c : cases) {
        TemplateRow row = stepUp;
        c.breakRow(row);
        EXPECT_EQ(templateRowProblem(row), c.problem) << c.name;
    }
}

TEST(TemplateRows, WeightsSumWithinOneFloatStepOfOne) {
    // Summed left to right in single precision, a row may land one step either side of 1.
    const float below = std::nextafter(1.0f, 0.0f);
    const float above = std::nextafter(1.0f, 2.0f);
    struct Case {
        float sum;
        bool accepted;
    };
    const Case cases[] = {{1.0f, true},
                          {below, true},
                          {above, true},
                          {std::nextafter(below, 0.0f), false},
                          {std::nextafter(above, 2.0f), false}};
    TemplateRow row = stepUp;
    float nine = 0.0f;
    for (int32_t i = 0; i + 1 < chunkTemplateCount; i++)
        nine += row.weights[i];
    for (const Case& c : cases) {
        // The last weight that brings the row's sum to the case's.
        float last = c.sum - nine;
        for (int32_t k = 0; k < 64 && nine + last != c.sum; k++)
            last = std::nextafter(last, nine + last < c.sum ? 2.0f : 0.0f);
        ASSERT_EQ(nine + last, c.sum);
        row.weights[chunkTemplateCount - 1] = last;
        EXPECT_EQ(templateRowProblem(row) == TemplateRowProblem::none, c.accepted)
            << "sum " << std::hexfloat << c.sum;
    }
}
