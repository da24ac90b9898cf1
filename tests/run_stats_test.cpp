// Run statistics fed with made-up updates: a fall is blamed on the template where the player last
// stood, stuck time counts only whole stretches of five seconds or more, a fall with a restart
// in the same update still counts, every chunk entered counts as one visit a run, and a
// deliberate fall is blamed where the player last stood.
#include "run_stats.h"

#include <gtest/gtest.h>

namespace {

// One update as the statistics see it.
struct Update {
    float x;
    bool alive;
    bool onGround;
    int32_t runs;
};

// Chunks of templates 3, 1 and 7 starting at x 0, 200 and 400.
ChunkLog threeChunks() {
    ChunkLog log;
    logChunk(log, 3, Vec2(0.0f, 0.0f));
    logChunk(log, 1, Vec2(200.0f, 0.0f));
    logChunk(log, 7, Vec2(400.0f, 300.0f));
    return log;
}

RunStats feed(const std::vector<Update>& updates, const ChunkLog& log) {
    RunStats stats;
    Game game;
    game.player.box.width = 22.0f;
    for (const Update& u : updates) {
        game.player.position = Vec2(u.x, 0.0f);
        game.player.alive = u.alive;
        game.player.onGround = u.onGround;
        noteUpdate(stats, game, log, u.runs);
    }
    finishStats(stats);
    return stats;
}

} // namespace

TEST(RunStats, BlamesAFallOnWhereThePlayerLastStood) {
    ChunkLog log = threeChunks();
    struct Case {
        const char* name;
        std::vector<Update> updates;
        int32_t blamed; // -1: no fall
    };
    const Case cases[] = {
        {"stood in the climb, fell beyond it",
         {{10, true, true, 1}, {250, true, true, 1}, {450, true, false, 1}, {460, false, false, 1}},
         1},
        {"its box still on the climb's edge while its centre was past it",
         {{10, true, true, 1}, {405, true, true, 1}, {420, true, false, 1}, {430, false, false, 1}},
         1},
        {"never stood: blamed where the run started",
         {{10, true, false, 1}, {500, true, false, 1}, {510, false, false, 1}},
         3},
        {"fell and restarted in one update",
         {{10, true, true, 1}, {450, true, true, 1}, {0, true, false, 2}},
         7},
        {"alive throughout", {{10, true, true, 1}, {450, true, true, 1}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunStats stats = feed(c.updates, log);
        int64_t expected[chunkTemplateCount] = {};
        if (c.blamed >= 0)
            expected[c.blamed] = 1;
        EXPECT_EQ(stats.deaths, c.blamed >= 0 ? 1 : 0);
        for (int32_t t = 0; t < chunkTemplateCount; t++)
            EXPECT_EQ(stats.deathsByTemplate[t], expected[t]) << "template " << t;
    }
}

TEST(RunStats, CountsOnlyLongStretchesWithoutProgressAsStuck) {
    ChunkLog log = threeChunks();
    auto stretch = [](std::vector<Update>& updates, float x, int64_t count, bool alive = true) {
        for (int64_t i = 0; i < count; i++)
            updates.push_back({x, alive, true, 1});
    };
    struct Case {
        const char* name;
        std::vector<Update> updates;
        int64_t stuckSteps;
    };
    std::vector<Case> cases;
    {
        Case c{"a stretch just short of five seconds", {{10, true, true, 1}}, 0};
        stretch(c.updates, 5.0f, stuckGraceSteps - 1);
        c.updates.push_back({20, true, true, 1});
        cases.push_back(c);
    }
    {
        Case c{"a stretch of exactly five seconds counts whole",
               {{10, true, true, 1}},
               stuckGraceSteps};
        stretch(c.updates, 5.0f, stuckGraceSteps);
        c.updates.push_back({20, true, true, 1});
        cases.push_back(c);
    }
    {
        Case c{"the stretch still open at the end counts", {{10, true, true, 1}}, 400};
        stretch(c.updates, 10.0f, 400);
        cases.push_back(c);
    }
    {
        Case c{"a fall ends the stretch, the dead updates do not count",
               {{10, true, true, 1}},
               stuckGraceSteps};
        stretch(c.updates, 10.0f, stuckGraceSteps);
        stretch(c.updates, 10.0f, 1000, false);
        cases.push_back(c);
    }
    {
        Case c{"moving back and forth short of the farthest point is no progress",
               {{100, true, true, 1}},
               stuckGraceSteps + 1};
        for (int64_t i = 0; i <= stuckGraceSteps; i++)
            c.updates.push_back({i % 2 ? 99.0f : 50.0f, true, true, 1});
        c.updates.push_back({101, true, true, 1});
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(feed(c.updates, log).stuckSteps, c.stuckSteps);
    }
}

TEST(RunStats, KeepsTheFarthestXOfAnyRun) {
    ChunkLog log = threeChunks();
    RunStats stats = feed({{10, true, true, 1},
                           {480, true, true, 1},
                           {470, false, false, 1},
                           {0, true, true, 2},
                           {300, true, true, 2}},
                          log);
    EXPECT_EQ(stats.farthestX, 480.0f);
    EXPECT_EQ(stats.deaths, 1);
}

TEST(RunStats, CountsEveryChunkEnteredOnceARun) {
    ChunkLog log = threeChunks(); // templates 3, 1 and 7 from x 0, 200 and 400
    struct Case {
        const char* name;
        std::vector<Update> updates;
        int64_t visits3, visits1, visits7;
    };
    const Case cases[] = {
        {"through all three",
         {{10, true, true, 1}, {250, true, true, 1}, {450, true, true, 1}},
         1,
         1,
         1},
        {"back into the first and on again",
         {{10, true, true, 1}, {250, true, true, 1}, {150, true, true, 1}, {260, true, true, 1}},
         1,
         1,
         0},
        {"the climb crossed within one update",
         {{10, true, true, 1}, {450, true, true, 1}},
         1,
         1,
         1},
        {"started left of the first chunk", {{-20, true, true, 1}, {-10, true, true, 1}}, 1, 0, 0},
        {"a second run enters them again",
         {{10, true, true, 1},
          {250, true, true, 1},
          {260, false, false, 1},
          {0, true, true, 2},
          {450, true, true, 2}},
         2,
         2,
         1},
        {"fell and restarted in one update",
         {{10, true, true, 1}, {250, true, true, 1}, {5, true, false, 2}},
         2,
         1,
         0},
        {"the dead are no visitors",
         {{10, true, true, 1}, {100, false, false, 1}, {450, false, false, 1}},
         1,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunStats stats = feed(c.updates, log);
        int64_t expected[chunkTemplateCount] = {};
        expected[3] = c.visits3;
        expected[1] = c.visits1;
        expected[7] = c.visits7;
        for (int32_t t = 0; t < chunkTemplateCount; t++)
            EXPECT_EQ(stats.visitsByTemplate[t], expected[t]) << "template " << t;
    }
}

TEST(RunStats, BlamesAGiveUpOnWhereThePlayerLastStood) {
    ChunkLog log = threeChunks();
    RunStats stats;
    Game game;
    game.player.box.width = 22.0f;
    auto update = [&](float x, bool alive, bool onGround) {
        game.player.position = Vec2(x, 0.0f);
        game.player.alive = alive;
        game.player.onGround = onGround;
        noteUpdate(stats, game, log, 1);
    };
    update(10, true, true);
    update(250, true, true);
    update(420, true, false); // over the last chunk, last stood on the climb
    noteGiveUp(stats);
    update(430, false, false);
    noteGiveUp(stats); // a dead runner gives nothing up
    int64_t expected[chunkTemplateCount] = {};
    expected[1] = 1;
    for (int32_t t = 0; t < chunkTemplateCount; t++)
        EXPECT_EQ(stats.giveUpsByTemplate[t], expected[t]) << "template " << t;
    EXPECT_EQ(stats.deathsByTemplate[1], 1);
}
