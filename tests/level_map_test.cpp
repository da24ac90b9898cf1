// Tests for the level map: how a run's chunks and path are recorded (runs told apart, the path
// split by motion state and sampled, falls marked), and what the written picture holds: a number
// and an outline per chunk, long runs wrapped into rows, the path drawn compactly.
#include "level_map.h"

#include "chunk_templates.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

Player playerAt(Vec2 position, int32_t motionState, bool alive = true) {
    Player player;
    player.position = position;
    player.motionState = motionState;
    player.alive = alive;
    return player;
}

// The path data of every path element of the class, in document order.
std::vector<std::string> pathData(const std::string& svg, const std::string& classes) {
    std::vector<std::string> all;
    std::string start = "<path class=\"" + classes + "\" d=\"";
    for (size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
        size_t from = at + start.size();
        all.push_back(svg.substr(from, svg.find('"', from) - from));
    }
    return all;
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

class MapWriting : public testing::Test {
  protected:
    static void SetUpTestSuite() { buildChunkTemplates(); }
    static void TearDownTestSuite() { releaseChunkTemplates(); }

    std::string write(const LevelMap& map) {
        std::ostringstream out;
        writeLevelMap(map, "test map", out);
        return out.str();
    }
};

} // namespace

TEST(MapRecording, AChunkThatDoesNotLieRightOfTheLastStartsANewRun) {
    struct Case {
        const char* name;
        std::vector<float> originsX;
        std::vector<size_t> runSizes;
    };
    const Case cases[] = {
        {"one growing level", {-64.0f, 336.0f, 736.0f}, {3}},
        {"a restart goes back to the start", {-64.0f, 336.0f, -64.0f, 336.0f, 924.0f}, {2, 3}},
        {"a chunk at the same place is a new run too", {-64.0f, -64.0f}, {1, 1}},
        {"every restart", {-64.0f, -64.0f, 336.0f, -64.0f}, {1, 2, 1}},
    };
    for (const Case& c : cases) {
        LevelMap map;
        for (float x : c.originsX)
            mapChunk(map, 0, Vec2(x, 0.0f));
        ASSERT_EQ(map.runs.size(), c.runSizes.size()) << c.name;
        for (size_t i = 0; i < c.runSizes.size(); i++)
            EXPECT_EQ(map.runs[i].chunks.size(), c.runSizes[i]) << c.name << ", run " << i;
    }
}

TEST(MapRecording, ThePathIsSampledAndSplitWhereTheMotionStateChanges) {
    LevelMap map;
    mapChunk(map, 0, Vec2(-64.0f, 0.0f));
    // Nine updates running, one step of 1 to the right each, then three in the air.
    for (int32_t i = 1; i <= 9; i++)
        mapStep(map, playerAt(Vec2((float)i, 0.0f), Running));
    for (int32_t i = 10; i <= 12; i++)
        mapStep(map, playerAt(Vec2((float)i, 1.0f), Airborne));

    const MapRun& run = map.runs[0];
    ASSERT_EQ(run.path.size(), 2u);
    EXPECT_EQ(run.path[0].motionState, Running);
    // The first update, then every second one, then the last position before the change.
    std::vector<float> xs;
    for (Vec2 p : run.path[0].points)
        xs.push_back(p.x);
    EXPECT_EQ(xs, (std::vector<float>{1, 3, 5, 7, 9}));
    // The new stretch starts where the old one ended, so the colours meet.
    EXPECT_EQ(run.path[1].motionState, Airborne);
    ASSERT_GE(run.path[1].points.size(), 2u);
    EXPECT_EQ(run.path[1].points[0].x, 9.0f);
    EXPECT_EQ(run.path[1].points[1].x, 10.0f);
}

TEST(MapRecording, AFallEndsTheRunAndTheNextRunRecordsAfresh) {
    LevelMap map;
    mapChunk(map, 0, Vec2(-64.0f, 0.0f));
    mapStep(map, playerAt(Vec2(1.0f, 0.0f), Running));
    mapStep(map, playerAt(Vec2(2.0f, -70.0f), Airborne, false));
    // Falling on after the end is not part of the map.
    mapStep(map, playerAt(Vec2(2.0f, -200.0f), Airborne, false));
    ASSERT_EQ(map.runs.size(), 1u);
    EXPECT_TRUE(map.runs[0].ended);
    EXPECT_TRUE(map.runs[0].fell);
    EXPECT_EQ(map.runs[0].end.y, -70.0f);
    EXPECT_EQ(map.runs[0].path.back().points.back().y, -70.0f);

    mapChunk(map, 0, Vec2(-64.0f, 0.0f));
    mapStep(map, playerAt(Vec2(0.5f, 0.0f), Airborne));
    mapFinish(map, playerAt(Vec2(0.5f, 0.0f), Airborne));
    ASSERT_EQ(map.runs.size(), 2u);
    EXPECT_EQ(map.runs[1].path.size(), 1u);
    EXPECT_TRUE(map.runs[1].ended);
    EXPECT_FALSE(map.runs[1].fell);
}

TEST_F(MapWriting, EveryChunkGetsItsOutlineAndTemplateNumber) {
    LevelMap map;
    const int32_t templates[] = {0, 3, 7, 2, 9};
    Vec2 origin(-64.0f, 0.0f);
    for (int32_t index : templates) {
        mapChunk(map, index, origin);
        origin += chunkTemplates.get(index)->exit;
    }
    std::string svg = write(map);
    EXPECT_EQ(countOf(svg, "<text class=\"t\""), 5u + 1u) << "one per chunk and the legend's";
    for (int32_t index : templates)
        EXPECT_NE(svg.find("\">" + std::to_string(index) + "</text>"), std::string::npos);
    // Template 3 is a ramp: its fill triangle is drawn.
    EXPECT_EQ(countOf(svg, "<path class=\"f\""), 1u + 1u);
    // Template 7 has a ledge marker.
    EXPECT_EQ(countOf(svg, "<path class=\"m\""), 1u + 1u);
    EXPECT_NE(svg.find("run 1: 5 chunks"), std::string::npos);
}

TEST_F(MapWriting, ALongRunIsWrappedIntoRowsAndItsStraightPathStaysSmall) {
    LevelMap map;
    // Sixty flat chunks of 400 units: 24000 units, wrapped into rows of at most 8192.
    for (int32_t i = 0; i < 60; i++)
        mapChunk(map, 0, Vec2(-64.0f + 400.0f * (float)i, 0.0f));
    for (int32_t step = 1; step <= 4000; step++)
        mapStep(map, playerAt(Vec2(6.0f * (float)step, 0.0f), Running));
    mapFinish(map, playerAt(Vec2(24000.0f, 0.0f), Running));
    std::string svg = write(map);

    EXPECT_EQ(countOf(svg, "<g class=\"row\""), 3u);
    EXPECT_NE(svg.find("run 1: 60 chunks, still going at x = 24000"), std::string::npos);
    EXPECT_NE(svg.find("run 1, continued (chunks 22 to 42)"), std::string::npos);
    EXPECT_NE(svg.find("run 1, continued (chunks 43 to 60)"), std::string::npos);
    // The path goes on in every row (after the legend's sample), and a straight line of 2000
    // samples comes down to a step or two per row.
    std::vector<std::string> paths = pathData(svg, "r s0");
    ASSERT_EQ(paths.size(), 1u + 3u);
    for (size_t i = 1; i < paths.size(); i++) {
        EXPECT_EQ(paths[i][0], 'M') << paths[i];
        EXPECT_LE(paths[i].size(), 24u) << paths[i];
    }
    EXPECT_NE(svg.find("<path class=\"e\""), std::string::npos) << "where the recording stopped";
}

TEST_F(MapWriting, AStateThePlayerDoesNotHaveIsStillDrawn) {
    LevelMap map;
    mapChunk(map, 0, Vec2(-64.0f, 0.0f));
    mapStep(map, playerAt(Vec2(0.0f, 0.0f), 42));
    mapStep(map, playerAt(Vec2(50.0f, 0.0f), 42));
    mapStep(map, playerAt(Vec2(100.0f, 0.0f), 42));
    std::string svg = write(map);
    EXPECT_NE(svg.find("<path class=\"r sx\" d=\"M"), std::string::npos);
}
