// The drawn player read back from the window: body, eyes, pupils, mouth and feet where the pose
// puts them, the look that follows the motion, and the line printed for a bad motion state.
#include "gl_fixture.h"
#include "player.h"
#include "player_draw.h"

#include <string>

namespace {

class PlayerDrawing : public GlTest {};

// Four pixels per world unit, looking at a player standing at the origin.
const Camera closeUp{Vec2(0.0f, 22.0f), Vec2(160.0f, 120.0f)};
const Vec4 background(0.1f, 0.2f, 0.5f, 1.0f);

Rgba pixelAt(const Frame& frame, Vec2 world) {
    IVec2 p = worldToPixel(closeUp, world);
    return frame.at(p.x, p.y);
}

// The colour as drawn, allowing the one step of rounding that 0.7 * 255 = 178.5 invites.
testing::AssertionResult looksLike(Rgba actual, Vec4 colour) {
    Rgba expected = toRgba(colour);
    auto close = [](uint8_t a, uint8_t b) { return a + 1 >= b && b + 1 >= a; };
    if (close(actual.r, expected.r) && close(actual.g, expected.g) && close(actual.b, expected.b) &&
        close(actual.a, expected.a))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << (int)actual.r << ", " << (int)actual.g << ", "
                                       << (int)actual.b << ", " << (int)actual.a << ")";
}

Player runningPlayer() {
    Player p;
    resetPlayer(p);
    p.motionState = Running;
    p.velocity = Vec2(200.0f, 0.0f);
    p.stateTime = 0.5f; // feet at (8, 5) and (-8, 5)
    return p;
}

} // namespace

TEST_F(PlayerDrawing, ShapesSitWhereThePosePutsThem) {
    Player p = runningPlayer();
    clearFrame(background);
    drawPlayer(p, closeUp);
    Frame frame = readFrame();
    const Vec4 grey(0.7f, 0.7f, 0.7f, 1.0f);
    const Rgba white = toRgba(Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    const Rgba black = toRgba(Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    const Rgba sky = toRgba(background);

    // Body centred at (0, 29), 32 x 30.
    EXPECT_TRUE(looksLike(pixelAt(frame, Vec2(-13.0f, 18.0f)), grey));
    EXPECT_TRUE(looksLike(pixelAt(frame, Vec2(12.0f, 41.0f)), grey));
    EXPECT_TRUE(
        looksLike(pixelAt(frame, Vec2(0.0f, 25.0f)), grey)); // above the mouth, between the eyes
    EXPECT_EQ(pixelAt(frame, Vec2(0.0f, 46.0f)), sky);
    EXPECT_EQ(pixelAt(frame, Vec2(-18.0f, 29.0f)), sky);
    // Eyes at (-8, 33) and (8, 33), pupils nudged right by the first look step.
    for (float x : {-8.0f, 8.0f}) {
        EXPECT_EQ(pixelAt(frame, Vec2(x, 39.0f)), white);
        EXPECT_EQ(pixelAt(frame, Vec2(x - 6.0f, 33.0f)), white);
        EXPECT_EQ(pixelAt(frame, Vec2(x + 0.5f, 33.0f)), black);
        EXPECT_EQ(pixelAt(frame, Vec2(x + 4.3f, 33.0f)), black); // 4 + 0.53 to the right
        EXPECT_EQ(pixelAt(frame, Vec2(x - 3.7f, 33.0f)), white);
    }
    // Mouth: the lower half of a disc of radius 8 at (0, 23).
    EXPECT_EQ(pixelAt(frame, Vec2(0.0f, 17.0f)), white);
    EXPECT_EQ(pixelAt(frame, Vec2(-5.0f, 21.0f)), white);
    // Feet 12 x 8 at (8, 5) and (-8, 5), a gap between them.
    for (float x : {-8.0f, 8.0f}) {
        EXPECT_EQ(pixelAt(frame, Vec2(x, 5.0f)), white);
        EXPECT_EQ(pixelAt(frame, Vec2(x + 5.5f, 1.5f)), white);
        EXPECT_EQ(pixelAt(frame, Vec2(x, -0.5f)), sky);
    }
    EXPECT_EQ(pixelAt(frame, Vec2(0.0f, 5.0f)), sky);
    EXPECT_EQ(pixelAt(frame, Vec2(15.0f, 5.0f)), sky);
}

TEST_F(PlayerDrawing, LookStepsTowardsTheMotionOncePerFrame) {
    Player p = runningPlayer();
    p.velocity = Vec2(0.0f, 300.0f);
    for (int32_t frame = 1; frame <= 7; frame++) {
        drawPlayer(p, closeUp);
        EXPECT_NEAR(p.look.y, (float)frame * 0.53333336f, 1e-5f) << frame;
        EXPECT_EQ(p.look.x, 0.0f);
    }
    drawPlayer(p, closeUp); // closer than one step: lands on the target
    EXPECT_EQ(p.look.y, 4.0f);

    clearFrame(background);
    drawPlayer(p, closeUp);
    Frame frame = readFrame();
    // Pupils at (+-8, 37): the top of each eye is now black.
    EXPECT_EQ(pixelAt(frame, Vec2(-8.0f, 40.0f)), toRgba(Vec4(0.0f, 0.0f, 0.0f, 1.0f)));
    EXPECT_EQ(pixelAt(frame, Vec2(8.0f, 28.0f)), toRgba(Vec4(1.0f, 1.0f, 1.0f, 1.0f)));

    // Standing still, the pupils drift back to the centre.
    p.velocity = Vec2(0.0f, 0.0f);
    drawPlayer(p, closeUp);
    EXPECT_NEAR(p.look.y, 4.0f - 0.53333336f, 1e-5f);
}

TEST_F(PlayerDrawing, UnrecognizedStatePrintsAndDrawsThePreviousPose) {
    Player p = runningPlayer();
    drawPlayer(p, closeUp);
    Vec2 footA = p.footA;
    Vec2 bodyOffset = p.bodyOffset;
    for (int32_t state : {7, -1}) {
        p.motionState = state;
        p.stateTime = 0.625f; // would move the running feet
        clearFrame(background);
        testing::internal::CaptureStdout();
        drawPlayer(p, closeUp);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "Error: Unrecognized motion state " + std::to_string(state) + "\n");
        EXPECT_EQ(p.footA.x, footA.x);
        EXPECT_EQ(p.footA.y, footA.y);
        EXPECT_EQ(p.bodyOffset.y, bodyOffset.y);
        Frame frame = readFrame();
        EXPECT_TRUE(looksLike(pixelAt(frame, Vec2(-13.0f, 18.0f)), Vec4(0.7f, 0.7f, 0.7f, 1.0f)));
        EXPECT_EQ(pixelAt(frame, Vec2(8.0f, 5.0f)), toRgba(Vec4(1.0f, 1.0f, 1.0f, 1.0f)));
    }
}

TEST_F(PlayerDrawing, SlidingLowersTheBody) {
    Player p = runningPlayer();
    p.motionState = Sliding;
    clearFrame(background);
    drawPlayer(p, closeUp);
    Frame frame = readFrame();
    // Body centred at (0, 19): its top is at 34, and the eyes sit at y 23.
    EXPECT_EQ(pixelAt(frame, Vec2(0.0f, 37.0f)), toRgba(background));
    EXPECT_TRUE(looksLike(pixelAt(frame, Vec2(-13.0f, 30.0f)), Vec4(0.7f, 0.7f, 0.7f, 1.0f)));
    EXPECT_EQ(pixelAt(frame, Vec2(-8.0f, 29.0f)), toRgba(Vec4(1.0f, 1.0f, 1.0f, 1.0f)));
}
