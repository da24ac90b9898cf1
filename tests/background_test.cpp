// The background colour: its first frame, the HSV sectors of the unwrapped hue, and thousands of
// frames checked bit for bit against a separate, plainer implementation.
#include "background.h"

#include "noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>

// ---- A plainer implementation to check against ---------------------------------------------

// 1-D simplex noise spelled out with the library's floor replaced by std::floor and the gradient
// by a sign and a magnitude.
static float referenceNoise1D(float x) {
    const float scale = std::bit_cast<float>(0x3ECA3D71u);
    float cell = std::floor(x);
    auto contribution = [](float corner, float d) {
        int32_t h = noisePermutation[(uint8_t)(int32_t)corner];
        float magnitude = (float)((h & 7) + 1);
        float gradient = (h & 8) ? -magnitude : magnitude;
        float t = 1.0f - d * d;
        t = t * t;
        t = t * t;
        return gradient * d * t;
    };
    float d0 = x - cell;
    float c0 = contribution(cell, d0);
    float c1 = contribution(cell + 1.0f, d0 - 1.0f);
    return (c1 + c0) * scale;
}

// Which of the six 60-degree sectors a hue falls in; everything from 300 on is the last.
static int referenceSector(float h) {
    const float starts[5] = {60.0f, 120.0f, 180.0f, 240.0f, 300.0f};
    int sector = 0;
    for (float start : starts)
        if (h >= start)
            sector++;
    return sector;
}

// For each sector, which channel carries the chroma, which the ramp and which nothing.
struct SectorChannels {
    int chroma;
    int ramp;
    int none;
};
static const SectorChannels sectorChannels[6] = {
    {0, 1, 2}, // red to yellow
    {1, 0, 2}, // yellow to green
    {1, 2, 0}, // green to cyan
    {2, 1, 0}, // cyan to blue
    {2, 0, 1}, // blue to magenta
    {0, 2, 1}, // magenta to red, and on for ever
};

static float channel(Vec4 c, int i) {
    return i == 0 ? c.x : (i == 1 ? c.y : c.z);
}

static Vec4 referenceHsv(float h, float s, float v) {
    float chroma = v * s;
    float ramp = (1.0f - std::fabs(std::fmod(h / 60.0f, 2.0f) - 1.0f)) * chroma;
    float low = v - chroma;
    float rgb[3];
    const SectorChannels& channels = sectorChannels[referenceSector(h)];
    rgb[channels.chroma] = chroma + low;
    rgb[channels.ramp] = ramp + low;
    rgb[channels.none] = low;
    return {rgb[0], rgb[1], rgb[2], 1.0f};
}

static float referenceLevel(float time) {
    const float span = std::bit_cast<float>(0x3EB33332u); // just below 0.35
    return (referenceNoise1D(time) * 0.5f + 0.5f) * span + 0.3f;
}

static void expectSameColour(Vec4 got, Vec4 want, int frame) {
    ASSERT_EQ(got.x, want.x) << "red, frame " << frame;
    ASSERT_EQ(got.y, want.y) << "green, frame " << frame;
    ASSERT_EQ(got.z, want.z) << "blue, frame " << frame;
    ASSERT_EQ(got.w, want.w) << "alpha, frame " << frame;
}

// ---- Tests ---------------------------------------------------------------------------------

TEST(Background, FirstFrameIsAMutedRed) {
    BackgroundState state;
    EXPECT_EQ(state.hueTime, 0.0f);
    EXPECT_EQ(state.saturationNoiseTime, 0.0f);
    EXPECT_EQ(state.valueNoiseTime, -1280.0f);

    Vec4 c = advanceBackground(state);
    EXPECT_EQ(state.hueTime, 0.05f);
    EXPECT_EQ(state.saturationNoiseTime, 0.005f);
    EXPECT_EQ(state.valueNoiseTime, -1280.0f + 0.005f);
    EXPECT_NEAR(c.x, 0.4778f, 1e-4f);
    EXPECT_NEAR(c.y, 0.2497f, 1e-4f);
    EXPECT_NEAR(c.z, 0.2495f, 1e-4f);
    EXPECT_EQ(c.w, 1.0f);
}

TEST(Background, HalfWayToYellowAtFullestColour) {
    Vec4 c = hsvColour(30.0f, 0.65f, 0.65f);
    EXPECT_NEAR(c.x, 0.65f, 1e-6f);
    EXPECT_NEAR(c.y, 0.43875f, 1e-6f);
    EXPECT_NEAR(c.z, 0.2275f, 1e-6f);
    EXPECT_EQ(c.w, 1.0f);
}

TEST(Background, HueSectorsSwitchAtMultiplesOfSixtyAndNeverWrap) {
    struct Case {
        float h;
        int sector;
    };
    const Case cases[] = {
        {0.0f, 0},    {59.99f, 0},  {60.0f, 1},   {60.01f, 1},   {119.99f, 1},
        {120.0f, 2},  {179.99f, 2}, {180.0f, 3},  {239.99f, 3},  {240.0f, 4},
        {299.99f, 4}, {300.0f, 5},  {359.99f, 5}, {360.0f, 5},   {400.0f, 5},
        {450.0f, 5},  {719.99f, 5}, {1000.0f, 5}, {20000.0f, 5},
    };
    const float s = 0.5f, v = 0.6f;
    for (const Case& c : cases) {
        ASSERT_EQ(referenceSector(c.h), c.sector);
        Vec4 got = hsvColour(c.h, s, v);
        float chroma = v * s;
        float ramp = (1.0f - std::fabs(std::fmod(c.h / 60.0f, 2.0f) - 1.0f)) * chroma;
        float low = v - chroma;
        const SectorChannels& channels = sectorChannels[c.sector];
        EXPECT_EQ(channel(got, channels.chroma), chroma + low) << "h = " << c.h;
        EXPECT_EQ(channel(got, channels.ramp), ramp + low) << "h = " << c.h;
        EXPECT_EQ(channel(got, channels.none), low) << "h = " << c.h;
        EXPECT_EQ(got.w, 1.0f);
    }
}

// 8000 frames take the hue through every sector and past 360, and the noise clocks across 40
// cells of the lattice.
TEST(Background, ThousandsOfFramesMatchThePlainImplementation) {
    BackgroundState state;
    float hue = 0.0f, saturationTime = 0.0f, valueTime = -1280.0f;
    bool sawSector[6] = {};
    for (int frame = 1; frame <= 8000; frame++) {
        Vec4 got = advanceBackground(state);
        hue += 0.05f;
        saturationTime += 0.005f;
        valueTime += 0.005f;
        Vec4 want = referenceHsv(hue, referenceLevel(saturationTime), referenceLevel(valueTime));
        expectSameColour(got, want, frame);
        sawSector[referenceSector(hue)] = true;

        // Saturation and value stay within 0.3..0.65, so every channel does too.
        ASSERT_GE(std::min({got.x, got.y, got.z}), 0.3f * (1.0f - 0.65f) - 1e-6f);
        ASSERT_LE(std::max({got.x, got.y, got.z}), 0.65f + 1e-6f);
    }
    for (int sector = 0; sector < 6; sector++)
        EXPECT_TRUE(sawSector[sector]) << "sector " << sector;
    EXPECT_GT(hue, 360.0f);
}

TEST(Background, ProgramClockAdvancesOncePerCall) {
    BackgroundState expected = currentBackgroundState();
    for (int frame = 1; frame <= 50; frame++) {
        Vec4 want = advanceBackground(expected);
        Vec4 got = backgroundColour();
        expectSameColour(got, want, frame);
        const BackgroundState& now = currentBackgroundState();
        ASSERT_EQ(now.hueTime, expected.hueTime);
        ASSERT_EQ(now.saturationNoiseTime, expected.saturationNoiseTime);
        ASSERT_EQ(now.valueNoiseTime, expected.valueNoiseTime);
    }
}
