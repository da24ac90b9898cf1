// The chunk log and the progress measure the autopilot steers by: chunks found by x, a new run
// starting the log over, progress continuous where chunks meet, height counted in climbs, and the
// dead region under the next chunk's floor worth less than the climb that leads past it.
#include "progress.h"

#include "level_builder.h"

namespace {

class ProgressTest : public LevelTest {};

} // namespace

TEST_F(ProgressTest, ChunkLogFindsChunksByXAndStartsOverWithARun) {
    ChunkLog chunks;
    EXPECT_EQ(chunkAt(chunks, 0.0f), -1);
    logChunk(chunks, 0, Vec2(-64.0f, 0.0f));
    logChunk(chunks, 1, Vec2(336.0f, 0.0f));
    logChunk(chunks, 3, Vec2(536.0f, 300.0f));
    logChunk(chunks, 0, Vec2(1124.0f, 368.0f));
    const std::pair<float, int32_t> lookups[] = {{-65.0f, -1}, {-64.0f, 0}, {335.9f, 0},
                                                 {336.0f, 1},  {600.0f, 2}, {1.0e6f, 3}};
    for (auto [x, index] : lookups)
        EXPECT_EQ(chunkAt(chunks, x), index) << "x " << x;
    // The climb before each chunk, rises only.
    EXPECT_EQ(chunks.chunks[2].climbBefore, 300.0f);
    EXPECT_EQ(chunks.chunks[3].climbBefore, 368.0f);
    // The last chunk's exit is its template's, the others' the next origin.
    EXPECT_EQ(chunkExit(chunks, 1).y, 300.0f);
    EXPECT_EQ(chunkExit(chunks, 3).x, 1524.0f);

    logChunk(chunks, 0, Vec2(-64.0f, 0.0f));
    EXPECT_EQ(chunks.chunks.size(), 1u);
    EXPECT_EQ(chunks.generated, 5);
}

TEST_F(ProgressTest, CountsClimbingAndNothingForGoingUnderTheNextChunk) {
    buildLevel({0, 1, 0});
    const ChunkLog& chunks = log;
    Vec2 climb = chunks.chunks[1].origin; // the climb: floor at y 0, exit 300 higher
    auto at = [&](float x, float y) { return progressPotential(chunks, climb + Vec2(x, y)); };

    // Continuous into the next chunk at the exit's height, both ways.
    EXPECT_NEAR(at(199.9f, 300.0f), at(200.1f, 300.0f), 1.0f);
    EXPECT_NEAR(at(-0.1f, 0.0f), at(0.1f, 0.0f), 1.0f);
    // Height in the climb counts, twice.
    EXPECT_FLOAT_EQ(at(150.0f, 200.0f) - at(150.0f, 100.0f), 200.0f);
    // Through the opening in the right wall and past the chunk's end lies only the gap under the
    // next chunk: worth less than standing at the foot of the climb.
    EXPECT_LT(at(230.0f, 150.0f), at(157.0f, 0.0f));
    // And over the top beats the foot of the climb by far.
    EXPECT_GT(at(230.0f, 301.0f), at(157.0f, 0.0f) + 500.0f);
    // Getting through a chunk is worth at least as much as anything inside it.
    float through = exitPotential(chunks, climb.x + 10.0f);
    EXPECT_GE(through, at(199.0f, 300.0f));
}
