// An independent check of the collision queries: the separating-axis test on two oriented boxes,
// worked in double precision from the boxes' float fields. The unit tests and the collision fuzzer
// both measure the queries against it.
#pragma once

#include "collision.h"

#include <algorithm>
#include <cmath>

// A box's four corners in double precision, in no particular order.
struct SeparatingAxesQuad {
    double x[4];
    double y[4];
};

// The corners of b, its centre shifted by (shiftX, shiftY).
inline SeparatingAxesQuad separatingAxesQuad(const Platform& b, double shiftX = 0.0,
                                             double shiftY = 0.0) {
    double c = std::cos((double)b.angle);
    double s = std::sin((double)b.angle);
    double hw = b.width / 2.0;
    double hh = b.height / 2.0;
    const double lx[4] = {-hw, hw, hw, -hw};
    const double ly[4] = {-hh, -hh, hh, hh};
    SeparatingAxesQuad q;
    for (int k = 0; k < 4; k++) {
        q.x[k] = b.centre.x + shiftX + lx[k] * c - ly[k] * s;
        q.y[k] = b.centre.y + shiftY + lx[k] * s + ly[k] * c;
    }
    return q;
}

// The smallest overlap of the two boxes' projections over both boxes' local axes, with a's centre
// shifted by (shiftX, shiftY): positive when they intersect (and then the distance a must move to
// separate them), zero when they touch, negative when apart. Each box brings both of its axes even
// when it has no width or height, so a segment or a point is judged as soundly as a box.
inline double separatingAxisPenetration(const Platform& a, const Platform& b, double shiftX = 0.0,
                                        double shiftY = 0.0) {
    SeparatingAxesQuad qa = separatingAxesQuad(a, shiftX, shiftY);
    SeparatingAxesQuad qb = separatingAxesQuad(b);
    double axes[4][2] = {{std::cos((double)a.angle), std::sin((double)a.angle)},
                         {-std::sin((double)a.angle), std::cos((double)a.angle)},
                         {std::cos((double)b.angle), std::sin((double)b.angle)},
                         {-std::sin((double)b.angle), std::cos((double)b.angle)}};
    double smallest = HUGE_VAL;
    for (auto& axis : axes) {
        double minA = HUGE_VAL, maxA = -HUGE_VAL, minB = HUGE_VAL, maxB = -HUGE_VAL;
        for (int k = 0; k < 4; k++) {
            double pa = qa.x[k] * axis[0] + qa.y[k] * axis[1];
            double pb = qb.x[k] * axis[0] + qb.y[k] * axis[1];
            minA = std::min(minA, pa);
            maxA = std::max(maxA, pa);
            minB = std::min(minB, pb);
            maxB = std::max(maxB, pb);
        }
        smallest = std::min(smallest, std::min(maxA - minB, maxB - minA));
    }
    return smallest;
}
