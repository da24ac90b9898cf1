// Simplex noise: the permutation table, the floor, hand-worked noise values, a second independent
// 2-D implementation, the range over long sweeps and the fractal sums.
#include "noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

TEST(NoisePermutation, IsTheClassicPermutationOf0To255) {
    std::vector<int> seen(256, 0);
    for (int i = 0; i < 256; i++)
        seen[noisePermutation[i]]++;
    for (int v = 0; v < 256; v++)
        EXPECT_EQ(seen[v], 1) << "value " << v;

    const int first[8] = {151, 160, 137, 91, 90, 15, 131, 13};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(noisePermutation[i], first[i]) << "index " << i;
    const int last[4] = {215, 61, 156, 180};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(noisePermutation[252 + i], last[i]) << "index " << 252 + i;
}

TEST(FastFloor, RoundsTowardMinusInfinity) {
    struct Case {
        float x;
        int32_t floor;
    };
    const Case cases[] = {
        {-0.5f, -1}, {2.0f, 2},  {-3.0f, -3},  {0.0f, 0},         {-0.0f, 0},          {2.7f, 2},
        {-2.7f, -3}, {1e-7f, 0}, {-1e-7f, -1}, {1279.995f, 1279}, {-1279.995f, -1280},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fastFloor(c.x), c.floor) << "x = " << c.x;

    for (float x = -300.0f; x < 300.0f; x += 0.37f)
        ASSERT_EQ(fastFloor(x), (int32_t)std::floor(x)) << "x = " << x;
}

TEST(Noise1D, VanishesAtEveryInteger) {
    for (int i = -2000; i <= 2000; i++)
        ASSERT_EQ(noise1D((float)i), 0.0f) << "x = " << i;
}

// Worked by hand at half steps, where (1 - 0.5^2)^4 is exact: hash 151 (entry 0) gives gradient
// +8, 160 (entry 1) +1, 137 (entry 2) -2 and 180 (entry 255) +5. Corners left of zero wrap onto
// the table from its end.
TEST(Noise1D, MatchesHandWorkedValues) {
    const float scale = std::bit_cast<float>(0x3ECA3D71u); // 0.395
    const float fall = 0.31640625f;                        // (1 - 0.25)^4
    struct Case {
        float x;
        float leftGradient;
        float rightGradient;
    };
    const Case cases[] = {
        {0.5f, 8.0f, 1.0f},    // corners 0 and 1
        {1.5f, 1.0f, -2.0f},   // corners 1 and 2
        {-0.5f, 5.0f, 8.0f},   // corners -1 (entry 255) and 0
        {-255.5f, 8.0f, 1.0f}, // corners -256 and -255 wrap onto entries 0 and 1
    };
    for (const Case& c : cases) {
        float c0 = c.leftGradient * 0.5f * fall;
        float c1 = c.rightGradient * -0.5f * fall;
        EXPECT_EQ(noise1D(c.x), (c1 + c0) * scale) << "x = " << c.x;
    }
}

// A second 2-D implementation written from the geometry: the skew factors are derived from
// sqrt(3) in double precision and rounded, the floor is the library's.
static float referenceNoise2D(float x, float y) {
    const float f2 = (float)((std::sqrt(3.0) - 1.0) / 2.0);
    const float g2 = (float)((3.0 - std::sqrt(3.0)) / 6.0);
    const float scale = std::bit_cast<float>(0x4234EC30u); // 45.230652
    auto hash = [](int32_t n) { return (int32_t)noisePermutation[(uint8_t)n]; };
    auto corner = [](int32_t h, float dx, float dy) {
        float t = 0.5f - dx * dx - dy * dy;
        if (t < 0.0f)
            return 0.0f;
        int32_t k = h & 63;
        float a = k < 4 ? dx : dy;
        float b = k < 4 ? dy : dx;
        float grad = (k & 1 ? -a : a) + (k & 2 ? -2.0f : 2.0f) * b;
        float t2 = t * t;
        return grad * (t2 * t2);
    };
    float skew = (x + y) * f2;
    float ci = std::floor(x + skew);
    float cj = std::floor(y + skew);
    int32_t i = (int32_t)ci;
    int32_t j = (int32_t)cj;
    float unskew = (ci + cj) * g2;
    float dx0 = x - (ci - unskew);
    float dy0 = y - (cj - unskew);
    bool lower = dx0 > dy0;
    float dx1 = dx0 - (lower ? 1.0f : 0.0f) + g2;
    float dy1 = dy0 - (lower ? 0.0f : 1.0f) + g2;
    float dx2 = dx0 - 1.0f + 2.0f * g2;
    float dy2 = dy0 - 1.0f + 2.0f * g2;
    float n0 = corner(hash(i + hash(j)), dx0, dy0);
    float n1 = corner(hash(i + (lower ? 1 : 0) + hash(j + (lower ? 0 : 1))), dx1, dy1);
    float n2 = corner(hash(i + 1 + hash(j + 1)), dx2, dy2);
    return ((n1 + n0) + n2) * scale;
}

TEST(Noise2D, IsZeroAtTheOrigin) {
    EXPECT_EQ(noise2D(0.0f, 0.0f), 0.0f);
}

TEST(Noise2D, AgreesWithAnIndependentImplementation) {
    for (float y = -40.0f; y < 40.0f; y += 0.173f)
        for (float x = -40.0f; x < 40.0f; x += 0.219f)
            ASSERT_EQ(noise2D(x, y), referenceNoise2D(x, y)) << "at (" << x << ", " << y << ")";
}

TEST(NoiseRange, StaysWithinAboutOne) {
    float low = 0.0f, high = 0.0f;
    for (float x = -600.0f; x < 600.0f; x += 0.0031f) {
        float n = noise1D(x);
        low = std::min(low, n);
        high = std::max(high, n);
    }
    EXPECT_GE(low, -1.01f);
    EXPECT_LE(high, 1.01f);
    // A sweep this long reaches well into both halves of the range.
    EXPECT_LT(low, -0.7f);
    EXPECT_GT(high, 0.7f);

    low = high = 0.0f;
    for (float y = -30.0f; y < 30.0f; y += 0.047f)
        for (float x = -30.0f; x < 30.0f; x += 0.053f) {
            float n = noise2D(x, y);
            low = std::min(low, n);
            high = std::max(high, n);
        }
    EXPECT_GE(low, -1.01f);
    EXPECT_LE(high, 1.01f);
    EXPECT_LT(low, -0.7f);
    EXPECT_GT(high, 0.7f);
}

TEST(Fractal, OneOctaveAtUnitScaleIsThePlainNoise) {
    const FractalNoise unit{1.0f, 1.0f, 2.0f, 0.5f};
    for (float x = -20.0f; x < 20.0f; x += 0.31f) {
        ASSERT_EQ(fractal1D(unit, 1, x), noise1D(x)) << "x = " << x;
        ASSERT_EQ(fractal2D(unit, 1, x, 0.7f * x + 1.3f), noise2D(x, 0.7f * x + 1.3f))
            << "x = " << x;
    }
}

TEST(Fractal, LaterOctavesUseScaledFrequencyAndWeight) {
    const FractalNoise fractal{0.25f, 2.0f, 3.0f, 0.5f};
    const float x = 7.3f, y = -2.9f;
    // Octaves at frequencies 0.25, 0.75, 2.25 with weights 2, 1, 0.5.
    float sum1 =
        ((noise1D(x * 0.25f) * 2.0f) + noise1D(x * 0.75f) * 1.0f) + noise1D(x * 2.25f) * 0.5f;
    EXPECT_EQ(fractal1D(fractal, 3, x), sum1 / 3.5f);
    float sum2 = ((noise2D(x * 0.25f, y * 0.25f) * 2.0f) + noise2D(x * 0.75f, y * 0.75f) * 1.0f) +
                 noise2D(x * 2.25f, y * 2.25f) * 0.5f;
    EXPECT_EQ(fractal2D(fractal, 3, x, y), sum2 / 3.5f);
}

TEST(Fractal, NoOctavesGiveZeroRatherThanNaN) {
    const FractalNoise fractal{1.0f, 1.0f, 2.0f, 0.5f};
    EXPECT_EQ(fractal1D(fractal, 0, 0.3f), 0.0f);
    EXPECT_EQ(fractal2D(fractal, 0, 0.3f, 0.6f), 0.0f);
}
