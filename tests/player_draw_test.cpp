// The player's pose steps, computed without a window.
#include "player.h"
#include "player_draw.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

Player posed(float stateTime, Vec2 velocity, Vec2 footA = Vec2(), Vec2 footB = Vec2()) {
    Player p;
    p.figureHeight = 44.0f;
    p.stateTime = stateTime;
    p.velocity = velocity;
    p.footA = footA;
    p.footB = footB;
    return p;
}

void expectNear(Vec2 actual, Vec2 expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
}

} // namespace

TEST(PoseRunning, FeetStrideTwiceASecond) {
    struct Case {
        float t;
        Vec2 velocity;
        Vec2 footA;
        Vec2 footB;
    };
    const Case cases[] = {
        {0.5f, Vec2(300.0f, 0.0f), Vec2(8.0f, 5.0f), Vec2(-8.0f, 5.0f)},
        {0.625f, Vec2(300.0f, 0.0f), Vec2(0.0f, 5.0f), Vec2(0.0f, 8.0f)}, // B lifted, A not
        {0.375f, Vec2(300.0f, 0.0f), Vec2(0.0f, 8.0f), Vec2(0.0f, 5.0f)},
        {0.625f, Vec2(-300.0f, 0.0f), Vec2(0.0f, 8.0f), Vec2(0.0f, 5.0f)}, // strides reversed
        {0.7f, Vec2(0.0f, 0.0f), Vec2(8.0f, 5.0f), Vec2(-8.0f, 5.0f)},     // standing still
    };
    for (const Case& c : cases) {
        Player p = posed(c.t, c.velocity, Vec2(50.0f, 50.0f), Vec2(50.0f, 50.0f));
        poseRunning(p);
        EXPECT_EQ(p.bodyOffset.x, 0.0f);
        EXPECT_EQ(p.bodyOffset.y, 29.0f);
        expectNear(p.footA, c.footA, "footA");
        expectNear(p.footB, c.footB, "footB");
    }
}

TEST(PoseRunning, BlendsFromThePreviousPoseEarlyInTheState) {
    // t = 0.15 is half of the blend time. Foot A's phase is -0.6 pi, where the negative sine gives
    // no lift; foot B's is 0.4 pi.
    Player p = posed(0.15f, Vec2(100.0f, 0.0f), Vec2(-20.0f, 15.0f), Vec2(20.0f, 25.0f));
    poseRunning(p);
    const float pi = 3.1415925f;
    Vec2 targetA = Vec2(8.0f * cosf(-0.6f * pi), 5.0f);
    Vec2 targetB = Vec2(8.0f * cosf(0.4f * pi), 5.0f + 3.0f * sinf(0.4f * pi));
    expectNear(p.footA, Vec2(-20.0f, 15.0f) * 0.5f + targetA * 0.5f, "footA");
    expectNear(p.footB, Vec2(20.0f, 25.0f) * 0.5f + targetB * 0.5f, "footB");
}

TEST(PoseCrouching, ShufflesOnceASecondWithTheBodyLowered) {
    Player p = posed(0.5f, Vec2(32.0f, 0.0f), Vec2(40.0f, 40.0f), Vec2(40.0f, 40.0f));
    poseCrouching(p);
    EXPECT_EQ(p.bodyOffset.y, 19.0f);
    expectNear(p.footA, Vec2(-12.0f, 5.0f), "footA");
    expectNear(p.footB, Vec2(12.0f, 5.0f), "footB");

    // At 0.25 s the targets are (-8, 5) and (8, 8); each foot goes 0.25 / 0.3 of the way.
    Player q = posed(0.25f, Vec2(32.0f, 0.0f), Vec2(-20.0f, 11.0f), Vec2(2.0f, 2.0f));
    poseCrouching(q);
    float w = 0.25f / 0.3f;
    expectNear(q.footA, Vec2(-20.0f, 11.0f) * (1.0f - w) + Vec2(-8.0f, 5.0f) * w, "footA");
    expectNear(q.footB, Vec2(2.0f, 2.0f) * (1.0f - w) + Vec2(8.0f, 8.0f) * w, "footB");
}

TEST(PoseAirborne, FeetTrailTheMotion) {
    Player p = posed(0.3f, Vec2(400.0f, -300.0f), Vec2(90.0f, 90.0f), Vec2(90.0f, 90.0f));
    poseAirborne(p);
    EXPECT_EQ(p.bodyOffset.y, 29.0f);
    expectNear(p.footA, Vec2(-11.2f, 8.0f), "footA");
    expectNear(p.footB, Vec2(4.8f, 8.0f), "footB");

    Player early = posed(0.0f, Vec2(400.0f, -300.0f), Vec2(90.0f, 90.0f), Vec2(1.0f, 2.0f));
    poseAirborne(early);
    expectNear(early.footA, Vec2(90.0f, 90.0f), "a state change starts from the old pose");
    expectNear(early.footB, Vec2(1.0f, 2.0f), "a state change starts from the old pose");
}

TEST(PoseWall, FeetGatherTowardsTheWall) {
    struct Case {
        float normalX;
        float t;
        float footAx;
        float footBx;
    };
    const Case cases[] = {
        {-1.0f, 0.0f, -8.0f, 8.0f},   {-1.0f, 0.1f, 1.0f, 9.0f},  {-1.0f, 0.2f, 10.0f, 10.0f},
        {-1.0f, 5.0f, 10.0f, 10.0f},  {1.0f, 0.1f, -9.0f, -1.0f}, {1.0f, 0.2f, -10.0f, -10.0f},
        {0.5f, 0.3f, -10.0f, -10.0f}, // a slope counts as a wall on its side
    };
    for (const Case& c : cases) {
        // The previous pose does not matter: the blend always starts from the spread feet.
        Player p = posed(c.t, Vec2(0.0f, 100.0f), Vec2(70.0f, 70.0f), Vec2(70.0f, 70.0f));
        p.wallNormal = Vec2(c.normalX, 0.0f);
        poseWall(p);
        EXPECT_EQ(p.bodyOffset.y, 29.0f);
        expectNear(p.footA, Vec2(c.footAx, 5.0f), "footA");
        expectNear(p.footB, Vec2(c.footBx, 5.0f), "footB");
    }
}

TEST(PoseSliding, LowBodyAndSpreadFeet) {
    Player p = posed(0.01f, Vec2(300.0f, 0.0f), Vec2(70.0f, 70.0f), Vec2(70.0f, 70.0f));
    poseSliding(p);
    EXPECT_EQ(p.bodyOffset.x, 0.0f);
    EXPECT_EQ(p.bodyOffset.y, 19.0f);
    expectNear(p.footA, Vec2(-8.0f, 5.0f), "footA");
    expectNear(p.footB, Vec2(8.0f, 5.0f), "footB");
}
