// Vector helpers that are too long to sit in the header, and the matrix builders.
#include "maths.h"

#include <cmath>

Vec2 Vec2::rotated(float a) const {
    float c = cosf(a);
    float s = sinf(a);
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
