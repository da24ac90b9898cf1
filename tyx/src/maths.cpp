// Vector helpers that are too long to sit in the header, the matrix builders, and the sine and
// cosine that the whole program uses. The sine and cosine rely on nothing but IEEE double
// arithmetic and integers, so they give the same bits wherever the program is built.
#include "maths.h"

#include <cmath>
#include <cstring>

// ---- Sine and cosine: data ---------------------------------------------------------------------

// The first 256 bits of the fraction 2/pi = 0.a2f9836e..., enough to reduce any float angle to a
// quarter turn exactly: the largest float, about 2^128, needs bits down to 2^-230.
static const uint32_t twoOverPiBits[8] = {0xa2f9836e, 0x4e441529, 0xfc2757d1, 0xf534ddc0,
                                          0xdb629599, 0x3c439041, 0xfe5163ab, 0xdebbc561};
static const double halfPi = 1.5707963267948966;
// The Taylor coefficients (-1)^n / (2n+1)! and (-1)^n / (2n)!: within a quarter turn the terms
// left out are below 1e-19, so the double results are good to a few units of double rounding.
static constexpr double factorial(int n) {
    return n <= 1 ? 1.0 : n * factorial(n - 1);
}
static constexpr double sineTerms[8] = {
    -1.0 / factorial(3),  1.0 / factorial(5),  -1.0 / factorial(7),  1.0 / factorial(9),
    -1.0 / factorial(11), 1.0 / factorial(13), -1.0 / factorial(15), 1.0 / factorial(17)};
static constexpr double cosineTerms[9] = {
    -1.0 / factorial(2),  1.0 / factorial(4),   -1.0 / factorial(6),
    1.0 / factorial(8),   -1.0 / factorial(10), 1.0 / factorial(12),
    -1.0 / factorial(14), 1.0 / factorial(16),  -1.0 / factorial(18)};

// ---- Sine and cosine: helpers ------------------------------------------------------------------

// Bit `index` of the fraction of 2/pi, counting 1 for the first after the point; 0 before it.
static unsigned twoOverPiBit(int32_t index) {
    if (index < 1)
        return 0;
    int32_t offset = index - 1;
    return (twoOverPiBits[offset / 32] >> (31 - offset % 32)) & 1u;
}

// Splits a = quarter * pi/2 + rest with |rest| <= pi/4 and quarter taken mod 4, for a finite
// a >= 0. Past pi/4 the reduction is exact integer arithmetic: with a = m * 2^e (m the 24-bit
// significand), a * 2/pi mod 4 needs only the bits of 2/pi from 2^-(e-1) on, since the earlier ones
// contribute multiples of four; 128 of them leave over 90 bits of the remainder however close a
// comes to a multiple of pi/2.
static void reduceQuarterTurns(float a, int32_t& quarter, double& rest) {
    if (a <= 0.78539816f) {
        quarter = 0;
        rest = a;
        return;
    }
    uint32_t bits;
    memcpy(&bits, &a, sizeof(bits));
    int32_t e = (int32_t)(bits >> 23) - 150;
    uint64_t m = (bits & 0x7fffffu) | 0x800000u;
    unsigned __int128 window = 0;
    for (int32_t i = 0; i < 128; i++)
        window = (window << 1) | twoOverPiBit(e - 1 + i);
    // a * 2/pi mod 4, as a fixed-point number with 126 bits after the point; the product wraps
    // modulo 2^128 exactly as the reduction needs.
    unsigned __int128 turns = window * m;
    const unsigned __int128 one = (unsigned __int128)1 << 126;
    quarter = (int32_t)(turns >> 126);
    __int128 fraction = (__int128)(turns & (one - 1));
    if (fraction >= (__int128)(one >> 1)) {
        quarter += 1;
        fraction -= (__int128)one;
    }
    quarter &= 3;
    rest = (double)fraction * 0x1p-126 * halfPi;
}

// The Taylor sums over |r| <= pi/4, in double.
static double sineOfRest(double r) {
    double z = r * r;
    double sum = sineTerms[7];
    for (int32_t i = 6; i >= 0; i--)
        sum = sineTerms[i] + z * sum;
    return r + r * z * sum;
}
static double cosineOfRest(double r) {
    double z = r * r;
    double sum = cosineTerms[8];
    for (int32_t i = 7; i >= 0; i--)
        sum = cosineTerms[i] + z * sum;
    return 1.0 + z * sum;
}

// ---- Public functions --------------------------------------------------------------------------

float sine(float a) {
    if (!std::isfinite(a))
        return a - a;
    int32_t quarter;
    double r;
    reduceQuarterTurns(fabsf(a), quarter, r);
    double s = (quarter & 1) == 0 ? sineOfRest(r) : cosineOfRest(r);
    if (quarter >= 2)
        s = -s;
    // sin(-a) = -sin(a), which also gives a zero its sign back.
    return (float)(std::signbit(a) ? -s : s);
}

float cosine(float a) {
    if (!std::isfinite(a))
        return a - a;
    int32_t quarter;
    double r;
    reduceQuarterTurns(fabsf(a), quarter, r);
    double c = (quarter & 1) == 0 ? cosineOfRest(r) : -sineOfRest(r);
    if (quarter >= 2)
        c = -c;
    return (float)c;
}

Vec2 Vec2::rotated(float a) const {
    float c = cosine(a);
    float s = sine(a);
    return {x * c - y * s, x * s + y * c};
}

Vec2 moveTowards(Vec2 current, Vec2 target, float maxStep) {
    Vec2 d = target - current;
    float q = d.x * d.x + d.y * d.y;
    // Squares compare, so a negative step longer than the distance also lands on the target.
    if (maxStep * maxStep > q)
        return target;
    float l = sqrtf(q);
    if (l > 0.0f)
        d = d * (1.0f / l);
    return current + d * maxStep;
}

float approach(float current, float target, float step) {
    float d = target - current;
    float s = sign(d);
    if (step > fabsf(d))
        return target;
    return current + s * step;
}

float approachAngle(float current, float target, float step) {
    const float twoPi = 6.2831855f;
    float d0 = target - current;
    float d1 = (target + twoPi) - current;
    float d2 = (target - twoPi) - current;
    float d = d0;
    if (fabsf(d0) > fabsf(d1))
        d = d1;
    else if (fabsf(d0) > fabsf(d2))
        d = d2;
    if (step > fabsf(d))
        return target;
    return current + sign(d) * step;
}

Mat4 projectionMatrix(float w, float h) {
    // Column by column: x scaled by 2/w, y by 2/h, z mapped to -z - 1.
    Mat4 p;
    p.m[0] = 2.0f / w;
    p.m[5] = 2.0f / h;
    p.m[10] = -1.0f;
    p.m[11] = 0.0f;
    p.m[14] = -1.0f;
    p.m[15] = 1.0f;
    return p;
}

Mat4 viewingMatrix(Vec2 camera) {
    Mat4 v;
    v.m[0] = 1.0f;
    v.m[5] = 1.0f;
    v.m[10] = 1.0f;
    v.m[12] = -camera.x;
    v.m[13] = -camera.y;
    v.m[15] = 1.0f;
    return v;
}

Mat4 modelMatrixRows(Vec2 p, float cosA, float sinA, Vec2 s) {
    Mat4 r;
    r.m[0] = s.x * cosA;
    r.m[1] = -s.y * sinA;
    r.m[3] = p.x;
    r.m[4] = s.x * sinA;
    r.m[5] = s.y * cosA;
    r.m[7] = p.y;
    r.m[10] = 1.0f;
    r.m[15] = 1.0f;
    return r;
}
