// Tests for the level generator: its random source, the weighted choice of the next template,
// the copies it places at the frontier and the sequence a fixed seed produces.
#include "level_generator.h"

#include "game.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

class Generator : public testing::Test {
  protected:
    static void SetUpTestSuite() { buildChunkTemplates(); }
    static void TearDownTestSuite() { releaseChunkTemplates(); }

    void SetUp() override {
        currentTemplate = nullptr;
        seedRandom(1);
    }
    void TearDown() override { releaseLevel(game); }

    Game game;
};

// The generator rule, written out separately from the game's.
struct ReferenceRandom {
    uint64_t state;
    int32_t next() {
        state = (state * 214013 + 2531011) % 4294967296ull;
        return (int32_t)((state / 65536) % 32768);
    }
};

} // namespace

TEST_F(Generator, RandomSourceFollowsTheClassicRule) {
    // The well-known first values of the classic generator seeded with 1.
    const int32_t expected[5] = {41, 18467, 6334, 26500, 19169};
    seedRandom(1);
    for (int32_t value : expected)
        EXPECT_EQ(nextRandom(), value);

    ReferenceRandom reference{123456789};
    seedRandom(123456789);
    for (int32_t i = 0; i < 100000; i++) {
        int32_t value = nextRandom();
        ASSERT_EQ(value, reference.next()) << "draw " << i;
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST_F(Generator, SeedOverrideWinsOverTheClock) {
    randomSeedOverride = 777u;
    seedRandomFromClock();
    int32_t first = nextRandom();
    seedRandomFromClock();
    EXPECT_EQ(nextRandom(), first);
    seedRandom(777);
    EXPECT_EQ(nextRandom(), first);
    randomSeedOverride.reset();
}

TEST_F(Generator, ExtremeDrawsPickTheNamedTemplates) {
    // After each template: the choice for a draw of 0, then for a draw of 32767.
    const int32_t onZero[chunkTemplateCount] = {1, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    const int32_t onTop[chunkTemplateCount] = {0, 0, 6, 6, 6, 0, 0, 9, 0, 0};
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        const ChunkTemplate& from = *chunkTemplates.get(i);
        EXPECT_EQ(chooseNextTemplate(from, 0), onZero[i]) << "after template " << i;
        EXPECT_EQ(chooseNextTemplate(from, 32767), onTop[i]) << "after template " << i;
    }
}

TEST_F(Generator, FirstChunkEverIsTheFlatRunAndDrawsNothing) {
    game.frontier = Vec2(-64.0f, 0.0f);
    EXPECT_EQ(generateChunk(game), 0);
    EXPECT_EQ(currentTemplate, chunkTemplates.get(0));
    ASSERT_EQ(game.platforms.count, 1);
    const Platform& floor = *game.platforms.get(0);
    EXPECT_EQ(topLeft(floor).x, -64.0f);
    EXPECT_EQ(topRight(floor).x, 336.0f);
    EXPECT_EQ(topLeft(floor).y, 0.0f);
    EXPECT_EQ(game.frontier.x, 336.0f);
    EXPECT_EQ(game.frontier.y, 0.0f);
    // The generator is where seeding left it: the next draw is the first of seed 1.
    EXPECT_EQ(nextRandom(), 41);
}

TEST_F(Generator, RampUpInstanceLandsAtTheFrontier) {
    // Find a seed whose first draw follows template 2 with template 3.
    currentTemplate = chunkTemplates.get(2);
    uint32_t seed = 0;
    while (chooseNextTemplate(*currentTemplate, ReferenceRandom{seed}.next()) != 3)
        seed++;
    seedRandom(seed);
    game.frontier = Vec2(336.0f, 0.0f);

    EXPECT_EQ(generateChunk(game), 3);
    EXPECT_EQ(currentTemplate, chunkTemplates.get(3));
    ASSERT_EQ(game.platforms.count, 3);
    const Platform& floor = *game.platforms.get(0);
    const Platform& ramp = *game.platforms.get(1);
    const Platform& after = *game.platforms.get(2);
    EXPECT_EQ(floor.centre.x, 436.0f);
    EXPECT_EQ(floor.centre.y, -16.0f);
    EXPECT_NEAR(ramp.centre.x, 635.4416f, 1e-3f);
    EXPECT_NEAR(ramp.centre.y, 19.1669f, 1e-4f);
    EXPECT_EQ(ramp.angle, 0.34906584f);
    EXPECT_EQ(ramp.width, 200.0f);
    EXPECT_NEAR(after.centre.x, 823.9385f, 1e-3f);
    EXPECT_NEAR(after.centre.y, 52.4040f, 1e-4f);

    ASSERT_EQ(game.fillPolygons.count, 1);
    const FillPolygon& fill = *game.fillPolygons.get(0);
    EXPECT_EQ(fill.origin.x, 336.0f);
    EXPECT_EQ(fill.origin.y, 0.0f);
    // The instance shares the template's points rather than copying them.
    EXPECT_EQ(fill.points, chunkTemplates.get(3)->fillPolygons.get(0)->points);
    EXPECT_EQ(fill.count, 3);
    EXPECT_EQ(game.ledgeMarkers.count, 0);

    EXPECT_NEAR(game.frontier.x, 923.9385f, 1e-3f);
    EXPECT_NEAR(game.frontier.y, 68.4040f, 1e-4f);
}

TEST_F(Generator, EveryInstanceHasItsOwnIds) {
    // Template 1 (two markers) after template 0 on a draw of 0, twice over.
    game.frontier = Vec2(-64.0f, 0.0f);
    generateChunk(game);
    const ChunkTemplate& climb = *chunkTemplates.get(1);
    std::vector<int32_t> placed;
    for (int32_t copy = 0; copy < 2; copy++) {
        currentTemplate = chunkTemplates.get(0);
        uint32_t seed = 0;
        while (chooseNextTemplate(*currentTemplate, ReferenceRandom{seed}.next()) != 1)
            seed++;
        seedRandom(seed);
        Vec2 origin = game.frontier;
        ASSERT_EQ(generateChunk(game), 1);
        for (int32_t k = 0; k < 2; k++) {
            const LedgeMarker& source = *climb.ledgeMarkers.get(k);
            const LedgeMarker& marker = *game.ledgeMarkers.get(copy * 2 + k);
            EXPECT_NE(marker.id, source.id);
            // The box is the template's, moved to the chunk.
            EXPECT_EQ(marker.box.id, source.box.id);
            EXPECT_EQ(marker.box.centre.x, source.box.centre.x + origin.x);
            EXPECT_EQ(marker.box.centre.y, source.box.centre.y + origin.y);
            EXPECT_EQ(marker.tagA, 1);
            EXPECT_EQ(marker.tagB, -1);
            placed.push_back(marker.id);
        }
    }
    std::set<int32_t> ids(placed.begin(), placed.end());
    for (int32_t i = 0; i < game.platforms.count; i++)
        ids.insert(game.platforms.get(i)->id);
    int32_t templatePlatforms = 0;
    for (int32_t t = 0; t < chunkTemplateCount; t++) {
        for (int32_t k = 0; k < chunkTemplates.get(t)->platforms.count; k++, templatePlatforms++)
            ids.insert(chunkTemplates.get(t)->platforms.get(k)->id);
    }
    EXPECT_EQ((int32_t)ids.size(), 4 + game.platforms.count + templatePlatforms);
    EXPECT_EQ(game.platforms.count, 1 + 4 + 4);
}

TEST_F(Generator, FixedSeedGivesTheSequenceTheWeightsDictate) {
    // Thresholds as running single-precision sums, walked the same way as the weights.
    float thresholds[chunkTemplateCount][chunkTemplateCount];
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        float sum = 0.0f;
        for (int32_t k = 0; k < chunkTemplateCount; k++) {
            sum += chunkTemplates.get(i)->weights[k];
            thresholds[i][k] = sum;
        }
    }
    ReferenceRandom reference{20240601};
    seedRandom(20240601);
    game.frontier = Vec2(-64.0f, 0.0f);

    int32_t previous = 0;
    ASSERT_EQ(generateChunk(game), 0);
    Vec2 frontier = Vec2(-64.0f, 0.0f) + chunkTemplates.get(0)->exit;
    int32_t seen[chunkTemplateCount] = {};
    for (int32_t n = 1; n < 3000; n++) {
        float r = (float)reference.next() / 32767.0f;
        int32_t expected = 0;
        while (expected < chunkTemplateCount && !(thresholds[previous][expected] > r))
            expected++;
        if (expected == chunkTemplateCount)
            expected = 0;
        int32_t actual = generateChunk(game);
        ASSERT_EQ(actual, expected) << "chunk " << n;
        ASSERT_GT(chunkTemplates.get(previous)->weights[actual], 0.0f) << "chunk " << n;
        frontier = frontier + chunkTemplates.get(actual)->exit;
        seen[actual]++;
        previous = actual;
    }
    for (int32_t t = 0; t < chunkTemplateCount; t++)
        EXPECT_GT(seen[t], 0) << "template " << t << " never came up";
    EXPECT_EQ(game.frontier.x, frontier.x);
    EXPECT_EQ(game.frontier.y, frontier.y);
}

TEST_F(Generator, WithoutTheTableNothingIsPlaced) {
    // A chain under way points into the table; releasing it must not leave that pointer behind.
    generateChunk(game);
    game.platforms.deleteAll();
    releaseChunkTemplates();
    testing::internal::CaptureStdout();
    EXPECT_EQ(generateChunk(game), -1);
    std::string printed = testing::internal::GetCapturedStdout();
    buildChunkTemplates();
    EXPECT_EQ(printed, "Invalid index 0 requested, valid range is [0--1]\n");
    EXPECT_EQ(game.platforms.count, 0);
    EXPECT_EQ(currentTemplate, nullptr);
}
