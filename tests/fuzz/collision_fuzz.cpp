// Fuzz target for the collision queries: overlaps and contact on two boxes of arbitrary values
// (NaN, infinities, zero, negative and huge sizes, any angle), in both orders, measured against
// the separating-axis test in double precision. Any disagreement beyond rounding aborts.
//
// Input: per box five fields (centre x, centre y, width, height, angle), each a mode byte and up to
// four bytes of value; missing bytes read as zero. The mode picks how the value is made: raw float
// bits, a small game-like number, a special value (0, -0, NaN, infinities, the 1e8 range limit,
// denormals, ...), a number scaled by a power of two, or, for the second box, the first box's value
// copied, nudged or negated, which is how boxes on one line or just touching come about.
#include "collision.h"
#include "separating_axes.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// ---- Data --------------------------------------------------------------------------------------

// clang-format off
const float specialValues[] = {
    0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-30f, FLT_MIN, FLT_TRUE_MIN, FLT_EPSILON,
    1e8f, -1e8f, 1.00000008e8f, 1e7f, 1048576.0f, 16777216.0f, 3e38f, FLT_MAX, -FLT_MAX, 1e30f,
    3.14159265f, 1.57079633f, 6.28318531f, 0.785398163f,
    std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
    std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
};
// clang-format on
const int specialCount = sizeof specialValues / sizeof specialValues[0];

// The queries treat boxes beyond this (in centre or size) or with a non-finite field as
// degenerate, and report no contact for them.
const float largestCoordinate = 1e8f;

// The contact search stops once a new support point is within this of the closest edge.
const double expansionTolerance = 0.001;

// ---- Reading the input
// ---------------------------------------------------------------------------

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    uint8_t byte() { return at < size ? data[at++] : 0; }
    // Little-endian; one read a statement, as the order of reads within one is unspecified.
    uint16_t u16() {
        uint16_t low = byte();
        return (uint16_t)(low | byte() << 8);
    }
    uint32_t u32() {
        uint32_t low = u16();
        return low | (uint32_t)u16() << 16;
    }
};

// A small number such as the world uses: a sixteenth of a unit apart up to 2048 (an angle: up to
// four radians).
float readGameLike(Reader& in, int field) {
    int16_t raw = (int16_t)in.u16();
    return field == 4 ? raw / 8192.0f : raw / 16.0f;
}

// One field; other holds the first box's fields when the second box is read, else null.
float readField(Reader& in, int field, const float* other) {
    uint8_t mode = in.byte() % 8;
    switch (mode) {
    case 0: {
        uint32_t bits = in.u32();
        float value;
        memcpy(&value, &bits, sizeof value);
        return value;
    }
    case 1:
        return readGameLike(in, field);
    case 2:
        return specialValues[in.byte() % specialCount];
    case 3: {
        float mantissa = (float)(int16_t)in.u16();
        return ldexpf(mantissa, in.byte() % 48 - 12);
    }
    case 4:
        return other ? other[field] : readGameLike(in, field);
    case 5:
        return other ? other[field] + (int16_t)in.u16() / 1024.0f : readGameLike(in, field);
    case 6:
        return other ? -other[field] : readGameLike(in, field);
    default:
        return (float)(int8_t)in.byte() * 0.785398163f;
    }
}

Platform readBox(Reader& in, const float* other, float fields[5]) {
    for (int field = 0; field < 5; field++)
        fields[field] = readField(in, field, other);
    Platform box;
    box.centre = Vec2(fields[0], fields[1]);
    box.width = fields[2];
    box.height = fields[3];
    box.angle = fields[4];
    return box;
}

// ---- Checks ------------------------------------------------------------------------------------

void printBox(const char* name, const Platform& b) {
    fprintf(stderr, "  %s: centre (%.9g, %.9g) size %.9g x %.9g angle %.9g\n", name, b.centre.x,
            b.centre.y, b.width, b.height, b.angle);
    fprintf(stderr, "     exactly: centre (%a, %a) size %a x %a angle %a\n", b.centre.x, b.centre.y,
            b.width, b.height, b.angle);
}

[[noreturn]] void fail(const char* what, const Platform& a, const Platform& b, bool overlap,
                       const Contact& c, double penetration, double tolerance) {
    fprintf(stderr, "collision disagreement: %s\n", what);
    printBox("a", a);
    printBox("b", b);
    fprintf(stderr,
            "  overlaps %d, contact hit %d depth %.9g normal (%.9g, %.9g); separating axes "
            "%.9g (tolerance %.3g)\n",
            overlap, c.hit, c.depth, c.normal.x, c.normal.y, penetration, tolerance);
    abort();
}

bool isWithinRange(const Platform& b) {
    return fabsf(b.centre.x) <= largestCoordinate && fabsf(b.centre.y) <= largestCoordinate &&
           fabsf(b.width) <= largestCoordinate && fabsf(b.height) <= largestCoordinate &&
           std::isfinite(b.angle);
}

double magnitude(const Platform& b) {
    return std::max(std::max(fabs((double)b.centre.x), fabs((double)b.centre.y)),
                    std::max(fabs((double)b.width), fabs((double)b.height)));
}

// Checks both queries on (a, b) against the separating-axis test and the promises every result
// keeps whatever the input.
void checkPair(const Platform& a, const Platform& b) {
    bool overlap = overlaps(a, b);
    Contact c = contact(a, b);
    auto failWith = [&](const char* what, double penetration = 0.0, double tolerance = 0.0) {
        fail(what, a, b, overlap, c, penetration, tolerance);
    };

    // Whatever the input: no hit means nothing to push by, a hit a finite push along a unit normal
    // (or, for boxes that only touch along a line or at a point, no push at all).
    if (!c.hit) {
        if (c.depth != 0.0f || c.normal.x != 0.0f || c.normal.y != 0.0f)
            failWith("no contact, yet a depth or a normal");
    } else {
        if (!std::isfinite(c.depth) || c.depth < 0.0f)
            failWith("contact depth not finite and non-negative");
        if (!std::isfinite(c.normal.x) || !std::isfinite(c.normal.y))
            failWith("contact normal not finite");
        bool noNormal = c.normal.x == 0.0f && c.normal.y == 0.0f;
        if (noNormal ? c.depth != 0.0f : fabs(length(c.normal) - 1.0) > 1e-3)
            failWith("contact normal neither of unit length nor, with depth 0, zero");
        if (!overlap)
            failWith("contact finds a hit that overlaps does not");
    }

    if (!isWithinRange(a) || !isWithinRange(b)) {
        if (overlap || c.hit)
            failWith("a box out of range or not finite reported as touching");
        return;
    }

    // Single precision places each corner to within a unit or two in the last place of the
    // largest value in play (about 1.2e-7 of it), and the searches round on top. Pairs within
    // 1e-5 of that value (some 80 units in the last place) of touching may go either way; for
    // the others the outcome must match, the depth must be the penetration to within that plus
    // the search's own tolerance, and moving a by the contact must leave the boxes at most
    // touching.
    double tolerance = 1e-5 * std::max(1.0, std::max(magnitude(a), magnitude(b)));
    double penetration = separatingAxisPenetration(a, b);
    if (penetration < -tolerance) {
        if (overlap)
            failWith("apart, yet overlaps", penetration, tolerance);
        return;
    }
    if (penetration <= tolerance)
        return;
    if (!overlap)
        failWith("intersecting, yet overlaps says no", penetration, tolerance);
    if (!c.hit)
        failWith("intersecting, yet contact finds no hit", penetration, tolerance);
    if (fabs(c.depth - penetration) > tolerance + expansionTolerance)
        failWith("contact depth is not the penetration", penetration, tolerance);
    double after =
        separatingAxisPenetration(a, b, (double)c.normal.x * c.depth, (double)c.normal.y * c.depth);
    if (after > tolerance + expansionTolerance)
        failWith("moving by the contact leaves the boxes intersecting", penetration, tolerance);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    float first[5], second[5];
    Platform a = readBox(in, nullptr, first);
    Platform b = readBox(in, first, second);
    checkPair(a, b);
    checkPair(b, a);
    return 0;
}
