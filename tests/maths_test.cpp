// The maths helpers: exact results where the arithmetic is exact, the edge rules where it is not.
#include "maths.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

TEST(Vec2Normalize, ZeroVectorStaysZero) {
    Vec2 v;
    EXPECT_EQ(v.normalize(), 0.0f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    Vec2 n = normalized(Vec2(0.0f, 0.0f));
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 0.0f);

    Vec2 w(3.0f, 4.0f);
    EXPECT_EQ(w.normalize(), 5.0f);
    EXPECT_FLOAT_EQ(w.x, 0.6f);
    EXPECT_FLOAT_EQ(w.y, 0.8f);
}

TEST(Vec2Products, DotCrossAndPerpendiculars) {
    Vec2 a(1.0f, 2.0f);
    Vec2 b(3.0f, -4.0f);
    EXPECT_EQ(dot(a, b), -5.0f);
    EXPECT_EQ(cross(a, b), -10.0f); // 1*(-4) - 2*3
    Vec2 left = perpendicularLeft(Vec2(1.0f, 0.0f));
    EXPECT_EQ(left.x, 0.0f);
    EXPECT_EQ(left.y, 1.0f);
    Vec2 right = perpendicularRight(Vec2(1.0f, 0.0f));
    EXPECT_EQ(right.x, 0.0f);
    EXPECT_EQ(right.y, -1.0f);
    EXPECT_EQ(lengthSquared(b), 25.0f);
    EXPECT_EQ(length(b), 5.0f);
}

TEST(Vec2Rotated, QuarterTurnIsCounterClockwise) {
    Vec2 r = rotated(Vec2(1.0f, 0.0f), 1.5707963f);
    EXPECT_NEAR(r.x, 0.0f, 1e-6f);
    EXPECT_NEAR(r.y, 1.0f, 1e-6f);
    Vec2 back = rotated(Vec2(0.0f, 2.0f), -1.5707963f);
    EXPECT_NEAR(back.x, 2.0f, 1e-6f);
    EXPECT_NEAR(back.y, 0.0f, 1e-6f);
}

// Exact values, each the float nearest the true sine or cosine (worked out apart from the program
// in rational arithmetic): the game's own angles, where a platform's library already agrees, and
// angles where glibc's sinf and cosf miss by a unit in the last place, so that the platform's
// functions standing in for the program's own fail here.
TEST(SineCosine, NearestFloatOnEveryPlatform) {
    struct Case {
        float angle;
        float sine;
        float cosine;
    };
    const Case cases[] = {
        {0x1.657184p-2f, 0x1.5e3a86p-2f, 0x1.e11f64p-1f},    // a ramp's 20 degrees
        {-0x1.657184p-2f, -0x1.5e3a86p-2f, 0x1.e11f64p-1f},  // and the other way
        {0x1.0c1522p+0f, 0x1.bb67aep-1f, 0x1.000002p-1f},    // the wall drop's 60 degrees
        {0x1.921fb6p+0f, 0x1p+0f, -0x1.777a5cp-25f},         // the float nearest pi/2
        {0x1.b4659p+2f, 0x1.0543cap-1f, 0x1.b852ccp-1f},     // glibc's sinf: ...c8p-1
        {0x1.2baffcp+4f, -0x1.e6a4fap-4f, 0x1.fc5fap-1f},    // glibc's sinf: ...fcp-4
        {-0x1.d847acp+2f, -0x1.c768eap-1f, 0x1.d3f4fp-2f},   // glibc's cosf: ...eep-2
        {-0x1.03080ep+28f, 0x1.f94dd8p-1f, -0x1.4a2266p-3f}, // glibc's cosf: ...68p-3
        {-0x1.290596p+69f, -0x1.58780ep-1f, 0x1.7acb58p-1f}, // glibc's sinf: ...10p-1
        {0x1.fffffep+127f, -0x1.0b3366p-1f, 0x1.b4bf2cp-1f}, // the largest float
        {0x1p-149f, 0x1p-149f, 1.0f},                        // the smallest
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sine(c.angle), c.sine) << std::hexfloat << c.angle;
        EXPECT_EQ(cosine(c.angle), c.cosine) << std::hexfloat << c.angle;
    }
    EXPECT_TRUE(std::signbit(sine(-0.0f)));
    EXPECT_EQ(cosine(-0.0f), 1.0f);
    EXPECT_TRUE(std::isnan(sine(INFINITY)));
    EXPECT_TRUE(std::isnan(cosine(-INFINITY)));
    EXPECT_TRUE(std::isnan(sine(NAN)));
}

// Whether the C library's long double sine and cosine are exact for huge angles, where reducing
// the angle takes hundreds of bits of pi: glibc's are; mingw's, the processor's own instructions,
// reduce with a 66-bit pi, which is enough below 2^32 only. Checked on angles whose nearest floats
// are known (see above), read through volatile so that the compiler cannot work them out itself.
static bool libraryReducesHugeAngles() {
    volatile float largest = 0x1.fffffep+127f;
    volatile float huge = -0x1.290596p+69f;
    return (float)sinl((long double)largest) == -0x1.0b3366p-1f &&
           (float)cosl((long double)largest) == 0x1.b4bf2cp-1f &&
           (float)sinl((long double)huge) == -0x1.58780ep-1f &&
           (float)cosl((long double)huge) == 0x1.7acb58p-1f;
}

// Every range of angles, against the long double functions: a wrong quarter or a lost bit of the
// reduction is far more than the unit in the last place allowed here. Where the library is exact
// only below 2^32, only those angles are compared; the table above holds huge ones.
TEST(SineCosine, WithinAUnitInTheLastPlaceEverywhere) {
    const bool everyAngle = libraryReducesHugeAngles();
    uint32_t state = 12345u;
    int32_t compared = 0;
    for (int32_t i = 0; i < 200000; i++) {
        state = state * 1664525u + 1013904223u;
        float angle;
        memcpy(&angle, &state, sizeof(angle));
        if (!std::isfinite(angle) || (!everyAngle && fabsf(angle) >= 0x1p32f))
            continue;
        compared++;
        float s = (float)sinl((long double)angle);
        float c = (float)cosl((long double)angle);
        ASSERT_LE(fabsf(sine(angle) - s), fabsf(nextafterf(s, INFINITY) - s))
            << std::hexfloat << angle;
        ASSERT_LE(fabsf(cosine(angle) - c), fabsf(nextafterf(c, INFINITY) - c))
            << std::hexfloat << angle;
    }
    // Three in five floats are smaller than 2^32.
    EXPECT_GT(compared, 100000);
}

TEST(Operators, ComponentWiseAndIntegerMixes) {
    Vec2 v = Vec2(1.0f, 2.0f) * Vec2(3.0f, 4.0f) + Vec2(1.0f, 1.0f);
    EXPECT_EQ(v.x, 4.0f);
    EXPECT_EQ(v.y, 9.0f);
    v -= Vec2(4.0f, 1.0f);
    v *= 0.5f;
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 4.0f);
    EXPECT_EQ((-v).y, -4.0f);
    EXPECT_EQ((v / 4.0f).y, 1.0f);

    IVec2 i(2, 3);
    IVec2 sum = (i += IVec2(1, 1));
    EXPECT_TRUE(sum == IVec2(3, 4));
    EXPECT_TRUE(i == IVec2(3, 4));
    EXPECT_TRUE(i * 2 == IVec2(6, 8));
    EXPECT_TRUE(i * IVec2(2, 3) == IVec2(6, 12));
    Vec2 scaled = i * 0.5f;
    EXPECT_EQ(scaled.x, 1.5f);
    EXPECT_EQ(scaled.y, 2.0f);
    Vec2 converted = toVec2(IVec2(640, 480));
    EXPECT_EQ(converted.x, 640.0f);
    EXPECT_EQ(converted.y, 480.0f);

    Vec4 c(1.0f, 0.5f, 0.25f, 1.0f);
    Vec4 shaded = c * 0.5f;
    EXPECT_EQ(shaded.w, 0.5f);
    Vec4 tinted = (c *= Vec4(0.5f, 0.5f, 0.5f, 1.0f));
    EXPECT_EQ(tinted.x, 0.5f);
    EXPECT_EQ(c.z, 0.125f);
}

TEST(Scalars, RoundClampSignLerp) {
    EXPECT_EQ(roundToInt(-0.4f), 0);
    EXPECT_EQ(roundToInt(-1.7f), -1);
    EXPECT_EQ(roundToInt(2.5f), 3);
    EXPECT_EQ(roundToInt(2.5), 3);
    EXPECT_EQ(roundToInt(-1.7), -1);

    // The low bound is tested first, so crossed bounds give low below it and high above.
    EXPECT_EQ(clamp(5.0f, 10.0f, 0.0f), 10.0f);
    EXPECT_EQ(clamp(15.0f, 10.0f, 0.0f), 0.0f);
    EXPECT_EQ(clamp(5.0f, 0.0f, 10.0f), 5.0f);
    EXPECT_EQ(clampAbs(-7.0f, 3.0f), -3.0f);
    EXPECT_EQ(clampAbs(7.0f, 3.0f), 3.0f);
    EXPECT_EQ(clampAbs(2.0f, 3.0f), 2.0f);

    EXPECT_EQ(sign(5), 1);
    EXPECT_EQ(sign(-5), -1);
    EXPECT_EQ(sign(0), 0);
    EXPECT_EQ(sign(-0.5f), -1.0f);
    EXPECT_EQ(sign(NAN), 0.0f);

    EXPECT_EQ(lerpf(2.0f, 6.0f, 0.25f), 3.0f);
    EXPECT_EQ(lerpf(2.0f, 6.0f, 2.0f), 10.0f); // not clamped
    Vec2 mid = lerp(Vec2(0.0f, 10.0f), Vec2(10.0f, 20.0f), 0.5f);
    EXPECT_EQ(mid.x, 5.0f);
    EXPECT_EQ(mid.y, 15.0f);
}

TEST(MoveTowards, StepsAndLandsOnTarget) {
    Vec2 step = moveTowards(Vec2(0.0f, 0.0f), Vec2(3.0f, 4.0f), 1.0f);
    EXPECT_FLOAT_EQ(step.x, 0.6f);
    EXPECT_FLOAT_EQ(step.y, 0.8f);
    Vec2 landed = moveTowards(Vec2(0.0f, 0.0f), Vec2(3.0f, 4.0f), 6.0f);
    EXPECT_EQ(landed.x, 3.0f);
    EXPECT_EQ(landed.y, 4.0f);
    // A step of exactly the distance goes through the direction, not the shortcut.
    Vec2 exact = moveTowards(Vec2(0.0f, 0.0f), Vec2(3.0f, 4.0f), 5.0f);
    EXPECT_FLOAT_EQ(exact.x, 3.0f);
    EXPECT_FLOAT_EQ(exact.y, 4.0f);
    // A small negative step moves away; a long negative one still lands on the target.
    Vec2 away = moveTowards(Vec2(0.0f, 0.0f), Vec2(0.0f, 10.0f), -1.0f);
    EXPECT_EQ(away.y, -1.0f);
    Vec2 far = moveTowards(Vec2(0.0f, 0.0f), Vec2(0.0f, 10.0f), -20.0f);
    EXPECT_EQ(far.y, 10.0f);
    Vec2 same = moveTowards(Vec2(1.0f, 1.0f), Vec2(1.0f, 1.0f), 0.0f);
    EXPECT_EQ(same.x, 1.0f);
}

TEST(Approach, FloatsAndAngles) {
    EXPECT_EQ(approach(0.0f, 1.0f, 1.0f), 1.0f);
    EXPECT_EQ(approach(0.0f, 1.0f, 2.0f), 1.0f);
    EXPECT_EQ(approach(0.0f, 1.0f, 0.25f), 0.25f);
    EXPECT_EQ(approach(0.0f, -1.0f, 0.25f), -0.25f);
    EXPECT_EQ(approach(3.0f, 3.0f, 0.0f), 3.0f);

    // From 3.0 to -3.0 the short way is up through pi, and the result is not wrapped.
    EXPECT_FLOAT_EQ(approachAngle(3.0f, -3.0f, 0.1f), 3.1f);
    EXPECT_FLOAT_EQ(approachAngle(-3.0f, 3.0f, 0.1f), -3.1f);
    EXPECT_FLOAT_EQ(approachAngle(0.0f, 1.0f, 0.1f), 0.1f);
    EXPECT_EQ(approachAngle(3.0f, -3.0f, 1.0f), -3.0f);
}

TEST(Matrices, ProjectionViewingAndModel) {
    // Column by column: the camera point goes to the origin, the view's corner to (1, 1).
    Mat4 p = projectionMatrix(640.0f, 480.0f);
    Mat4 v = viewingMatrix(Vec2(100.0f, 50.0f));
    auto apply = [](const Mat4& m, float x, float y, float z) {
        float out[4];
        for (int r = 0; r < 4; r++)
            out[r] = m.m[0 * 4 + r] * x + m.m[1 * 4 + r] * y + m.m[2 * 4 + r] * z + m.m[3 * 4 + r];
        return Vec4(out[0], out[1], out[2], out[3]);
    };
    Vec4 viewed = apply(v, 420.0f, 290.0f, 0.0f);
    EXPECT_EQ(viewed.x, 320.0f);
    EXPECT_EQ(viewed.y, 240.0f);
    Vec4 clip = apply(p, viewed.x, viewed.y, viewed.z);
    EXPECT_EQ(clip.x, 1.0f);
    EXPECT_EQ(clip.y, 1.0f);
    EXPECT_EQ(clip.z, -1.0f);
    EXPECT_EQ(clip.w, 1.0f);

    // Row by row: translate . rotate . scale.
    Mat4 m = modelMatrixRows(Vec2(10.0f, 20.0f), 0.0f, 1.0f, Vec2(2.0f, 3.0f));
    float x = 1.0f, y = 1.0f;
    float mx = m.m[0] * x + m.m[1] * y + m.m[3];
    float my = m.m[4] * x + m.m[5] * y + m.m[7];
    EXPECT_EQ(mx, 10.0f - 3.0f);
    EXPECT_EQ(my, 20.0f + 2.0f);
    EXPECT_EQ(m.m[15], 1.0f);
}
