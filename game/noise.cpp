// Simplex noise in one and two dimensions and fractal sums of it. Every step is a single-precision
// operation in a fixed order, so a build without fused multiply-add contraction (the default for
// x86-64) gives bit-identical results everywhere; do not build this with -ffast-math.
#include "noise.h"

// ---- Data --------------------------------------------------------------------------------------

// The classic improved-noise permutation of 0..255.
const uint8_t noisePermutation[256] = {
    151, 160, 137, 91,  90,  15,  131, 13,  201, 95,  96,  53,  194, 233, 7,   225, 140, 36,  103,
    30,  69,  142, 8,   99,  37,  240, 21,  10,  23,  190, 6,   148, 247, 120, 234, 75,  0,   26,
    197, 62,  94,  252, 219, 203, 117, 35,  11,  32,  57,  177, 33,  88,  237, 149, 56,  87,  174,
    20,  125, 136, 171, 168, 68,  175, 74,  165, 71,  134, 139, 48,  27,  166, 77,  146, 158, 231,
    83,  111, 229, 122, 60,  211, 133, 230, 220, 105, 92,  41,  55,  46,  245, 40,  244, 102, 143,
    54,  65,  25,  63,  161, 1,   216, 80,  73,  209, 76,  132, 187, 208, 89,  18,  169, 200, 196,
    135, 130, 116, 188, 159, 86,  164, 100, 109, 198, 173, 186, 3,   64,  52,  217, 226, 250, 124,
    123, 5,   202, 38,  147, 118, 126, 255, 82,  85,  212, 207, 206, 59,  227, 47,  16,  58,  17,
    182, 189, 28,  42,  223, 183, 170, 213, 119, 248, 152, 2,   44,  154, 163, 70,  221, 153, 101,
    155, 167, 43,  172, 9,   129, 22,  39,  253, 19,  98,  108, 110, 79,  113, 224, 232, 178, 185,
    112, 104, 218, 246, 97,  228, 251, 34,  242, 193, 238, 210, 144, 12,  191, 179, 162, 241, 81,
    51,  145, 235, 249, 14,  239, 107, 49,  192, 214, 31,  181, 199, 106, 157, 184, 84,  204, 176,
    115, 121, 50,  45,  127, 4,   150, 254, 138, 236, 205, 93,  222, 114, 67,  29,  24,  72,  243,
    141, 128, 195, 78,  66,  215, 61,  156, 180,
};

// Scales bring the peak of each noise to about 1. The literals round to the exact floats the
// results are reproduced with (bits 0x3ECA3D71 and 0x4234EC30).
static const float noise1DScale = 0.395f;
static const float noise2DScale = 45.230652f;
// Skew and unskew factors of the 2-D simplex grid: (sqrt(3) - 1) / 2 and (3 - sqrt(3)) / 6.
static const float skew2D = 0.36602539f;
static const float unskew2D = 0.21132487f;
static const float unskew2DTwice = 0.42264974f;

// ---- Helpers -----------------------------------------------------------------------------------

// Wraps any index, negative ones included, onto the table (two's complement low byte).
static int32_t perm(int32_t n) {
    return noisePermutation[n & 255];
}

// Gradients +-1..+-8 along the line.
static float gradient1D(int32_t hash, float x) {
    float g = 1.0f + (float)(hash & 7);
    if (hash & 8)
        g = -g;
    return g * x;
}

// Eight gradient directions in the plane, picked by the low bits of the hash.
static float gradient2D(int32_t hash, float x, float y) {
    int32_t k = hash & 63;
    float u = k < 4 ? x : y;
    float v = k < 4 ? y : x;
    return ((k & 1) ? -u : u) + ((k & 2) ? v * -2.0f : v * 2.0f);
}

// Falloff (1 - x^2)^4 of one lattice point's contribution; zero one unit away.
static float falloff1D(float x) {
    float t = 1.0f - x * x;
    t = t * t;
    t = t * t;
    return t;
}

// One corner's contribution to 2-D noise; nothing once the corner is out of reach.
static float corner2D(int32_t hash, float x, float y) {
    float t = 0.5f - x * x - y * y;
    if (t < 0.0f)
        return 0.0f;
    t = t * t;
    return gradient2D(hash, x, y) * (t * t);
}

// ---- Public functions --------------------------------------------------------------------------

int32_t fastFloor(float x) {
    int32_t t = (int32_t)x;
    return (float)t > x ? t - 1 : t;
}

float noise1D(float x) {
    int32_t i0 = fastFloor(x);
    int32_t i1 = i0 + 1;
    float x0 = x - (float)i0;
    float x1 = x0 - 1.0f;
    float c0 = gradient1D(perm(i0), x0) * falloff1D(x0);
    float c1 = gradient1D(perm(i1), x1) * falloff1D(x1);
    return (c1 + c0) * noise1DScale;
}

float noise2D(float x, float y) {
    float s = (x + y) * skew2D;
    int32_t i = fastFloor(x + s);
    int32_t j = fastFloor(y + s);
    float t = (float)(i + j) * unskew2D;
    float x0 = x - ((float)i - t);
    float y0 = y - ((float)j - t);

    // Which of the cell's two triangles holds the point decides the middle corner; on the
    // diagonal the upper one is taken.
    int32_t i1 = 0;
    int32_t j1 = 1;
    if (x0 > y0) {
        i1 = 1;
        j1 = 0;
    }
    float x1 = x0 - (float)i1 + unskew2D;
    float y1 = y0 - (float)j1 + unskew2D;
    float x2 = x0 - 1.0f + unskew2DTwice;
    float y2 = y0 - 1.0f + unskew2DTwice;

    int32_t h0 = perm(i + perm(j));
    int32_t h1 = perm(i + i1 + perm(j + j1));
    int32_t h2 = perm(i + 1 + perm(j + 1));
    float c0 = corner2D(h0, x0, y0);
    float c1 = corner2D(h1, x1, y1);
    float c2 = corner2D(h2, x2, y2);
    return ((c1 + c0) + c2) * noise2DScale;
}

// With no octaves there is nothing to average; 0 is the neutral noise value rather than 0/0.
float fractal1D(const FractalNoise& fractal, size_t octaves, float x) {
    float f = fractal.frequency;
    float a = fractal.amplitude;
    float sum = 0.0f;
    float total = 0.0f;
    for (size_t octave = 0; octave < octaves; octave++) {
        sum += noise1D(x * f) * a;
        total += a;
        f *= fractal.lacunarity;
        a *= fractal.persistence;
    }
    if (octaves == 0)
        return 0.0f;
    return sum / total;
}

float fractal2D(const FractalNoise& fractal, size_t octaves, float x, float y) {
    float f = fractal.frequency;
    float a = fractal.amplitude;
    float sum = 0.0f;
    float total = 0.0f;
    for (size_t octave = 0; octave < octaves; octave++) {
        sum += noise2D(x * f, y * f) * a;
        total += a;
        f *= fractal.lacunarity;
        a *= fractal.persistence;
    }
    if (octaves == 0)
        return 0.0f;
    return sum / total;
}
