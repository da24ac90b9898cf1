// Small value types for 2-D positions, sizes, directions and colours, the operators and helpers
// over them, and the 4x4 matrices the renderer hands to OpenGL. Nothing allocates or keeps state.
// The small vector operations are defined here, in the header, so that the collision queries'
// inner loops need no call for them.
#pragma once

#include <cmath>
#include <cstdint>

// ---- Types -------------------------------------------------------------------------------------

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    Vec2() = default;
    Vec2(float x, float y) : x(x), y(y) {}

    // Square root of x*x + y*y.
    float length() const { return sqrtf(x * x + y * y); }
    // x*x + y*y.
    float lengthSquared() const { return x * x + y * y; }
    // Scales to unit length in place when the length is positive; returns the old length.
    float normalize() {
        float l = length();
        if (l > 0.0f) {
            float inv = 1.0f / l;
            x *= inv;
            y *= inv;
        }
        return l;
    }
    // A unit-length copy; the zero vector stays zero.
    Vec2 normalized() const {
        Vec2 v = *this;
        v.normalize();
        return v;
    }
    float dot(Vec2 b) const { return x * b.x + y * b.y; }
    // The z component of the 3-D cross product.
    float cross(Vec2 b) const { return x * b.y - y * b.x; }
    // Turned by +90 degrees.
    Vec2 perpendicularLeft() const { return {-y, x}; }
    // Turned by -90 degrees.
    Vec2 perpendicularRight() const { return {y, -x}; }
    // Turned counter-clockwise by a radians.
    Vec2 rotated(float a) const;
};

struct IVec2 {
    int32_t x = 0;
    int32_t y = 0;

    IVec2() = default;
    IVec2(int32_t x, int32_t y) : x(x), y(y) {}
};

struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    Vec4() = default;
    Vec4(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
};

// Sixteen floats; whether they are stored row after row or column after column is up to the
// builder, which says so when it uploads them.
struct Mat4 {
    float m[16] = {};
};

// ---- Operators ---------------------------------------------------------------------------------

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator-(Vec2 a) {
    return {-a.x, -a.y};
}
inline Vec2 operator*(Vec2 a, Vec2 b) {
    return {a.x * b.x, a.y * b.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline Vec2 operator*(float s, Vec2 a) {
    return {s * a.x, s * a.y};
}
inline Vec2 operator/(Vec2 a, float s) {
    return {a.x / s, a.y / s};
}
inline Vec2& operator+=(Vec2& a, Vec2 b) {
    a.x += b.x;
    a.y += b.y;
    return a;
}
inline Vec2& operator-=(Vec2& a, Vec2 b) {
    a.x -= b.x;
    a.y -= b.y;
    return a;
}
inline Vec2& operator*=(Vec2& a, float s) {
    a.x *= s;
    a.y *= s;
    return a;
}

inline IVec2 operator+(IVec2 a, IVec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline IVec2 operator-(IVec2 a, IVec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline IVec2 operator*(IVec2 a, IVec2 b) {
    return {a.x * b.x, a.y * b.y};
}
inline IVec2 operator*(IVec2 a, int32_t i) {
    return {a.x * i, a.y * i};
}
inline IVec2 operator*(int32_t i, IVec2 a) {
    return {i * a.x, i * a.y};
}
inline Vec2 operator*(IVec2 a, float s) {
    return {(float)a.x * s, (float)a.y * s};
}
inline Vec2 operator*(float s, IVec2 a) {
    return {s * (float)a.x, s * (float)a.y};
}
inline IVec2 operator+=(IVec2& a, IVec2 b) {
    a.x += b.x;
    a.y += b.y;
    return a;
}
inline bool operator==(IVec2 a, IVec2 b) {
    return a.x == b.x && a.y == b.y;
}

inline Vec4 operator*(Vec4 a, Vec4 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w};
}
inline Vec4 operator*(Vec4 a, float s) {
    return {a.x * s, a.y * s, a.z * s, a.w * s};
}
inline Vec4 operator*(float s, Vec4 a) {
    return {s * a.x, s * a.y, s * a.z, s * a.w};
}
inline Vec4 operator*=(Vec4& a, Vec4 b) {
    a = a * b;
    return a;
}

// ---- Helpers -----------------------------------------------------------------------------------

inline Vec2 toVec2(IVec2 v) {
    return {(float)v.x, (float)v.y};
}

inline float dot(Vec2 a, Vec2 b) {
    return a.dot(b);
}
inline float cross(Vec2 a, Vec2 b) {
    return a.cross(b);
}
inline float length(Vec2 v) {
    return v.length();
}
inline float lengthSquared(Vec2 v) {
    return v.lengthSquared();
}
inline Vec2 normalized(Vec2 v) {
    return v.normalized();
}
inline Vec2 rotated(Vec2 v, float a) {
    return v.rotated(a);
}
inline Vec2 perpendicularLeft(Vec2 v) {
    return v.perpendicularLeft();
}
inline Vec2 perpendicularRight(Vec2 v) {
    return v.perpendicularRight();
}

// a*(1 - t) + b*t per component; t is not clamped.
inline Vec2 lerp(Vec2 a, Vec2 b, float t) {
    return a * (1.0f - t) + b * t;
}
// (1 - t)*a + b*t; t is not clamped. Named like the C library's float functions because C++20's
// <math.h> already puts a std::lerp(float, float, float) with other rounding in the global scope.
inline float lerpf(float a, float b, float t) {
    return (1.0f - t) * a + b * t;
}

// low if v < low, otherwise the smaller of v and high: the low bound wins when they cross.
inline float clamp(float v, float low, float high) {
    if (v < low)
        return low;
    return v < high ? v : high;
}
inline float clampAbs(float v, float limit) {
    if (v > limit)
        return limit;
    if (v < -limit)
        return -limit;
    return v;
}

// Adds one half and truncates toward zero, so 2.5 gives 3 and -1.7 gives -1.
inline int32_t roundToInt(float v) {
    return (int32_t)(v + 0.5f);
}
inline int32_t roundToInt(double v) {
    return (int32_t)(v + 0.5);
}

inline int32_t sign(int32_t i) {
    return i > 0 ? 1 : (i < 0 ? -1 : 0);
}
// 1, -1 or 0; NaN counts as 0.
inline float sign(float v) {
    return v > 0.0f ? 1.0f : (v < 0.0f ? -1.0f : 0.0f);
}

// The sine and cosine of a radians, the same bits on every compiler, C library and processor:
// computed here, never by the platform's sinf and cosf, whose last bits differ between C
// libraries. Within half a unit in the last place or so of the true value; NaN for NaN and the
// infinities, and the sign of a zero kept by sine.
float sine(float a);
float cosine(float a);

// Steps current towards target by at most maxStep; lands exactly on target when it is closer.
Vec2 moveTowards(Vec2 current, Vec2 target, float maxStep);
// Steps current towards target by step; returns target once step exceeds the distance.
float approach(float current, float target, float step);
// Steps an angle towards target the short way round; the result is not wrapped.
float approachAngle(float current, float target, float step);

// ---- Matrices ----------------------------------------------------------------------------------

// Orthographic projection of a w x h view centred on the origin, y up; stored column by column.
Mat4 projectionMatrix(float w, float h);
// Moves the camera point (cx, cy) to the origin; stored column by column.
Mat4 viewingMatrix(Vec2 camera);
// Translation to p, rotation by angle (given as its cosine and sine), scale by s; stored row by
// row.
Mat4 modelMatrixRows(Vec2 p, float cosA, float sinA, Vec2 s);
