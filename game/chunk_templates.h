// The ten hand-designed chunk templates the level is built from, and the chance of each following
// another. Built once, on the play screen's first update, and kept until the program ends.
#pragma once

#include "array.h"
#include "collision.h"
#include "maths.h"

#include <cstdint>

constexpr int32_t chunkTemplateCount = 10;

// A filled triangle under a ramp's end: drawn like a platform, not solid.
struct FillPolygon {
    Vec2 origin;        // what the points are relative to
    const Vec2* points; // owned by the template, shared by every instance
    int32_t count;
};

// An 8 x 8 box at a climbable platform's top-left corner; the player reacts to entering one.
struct LedgeMarker {
    int32_t id;
    Platform box;
    int32_t tagA;
    int32_t tagB;
};

struct ChunkTemplate {
    Vec2 exit; // where the next chunk's origin goes, relative to this one's
    Array<Platform*> platforms;
    Array<FillPolygon*> fillPolygons;
    Array<LedgeMarker*> ledgeMarkers;
    float weights[chunkTemplateCount]; // weights[i]: the chance that template i follows this one
};

extern Array<ChunkTemplate*> chunkTemplates;

// ---- The table as written ----------------------------------------------------------------------

// What one row of the table can hold.
constexpr int32_t templateRowPlatforms = 5;
constexpr int32_t templateRowMarkers = 2;
// A ramp row lists only its floor; building it adds the ramp and the floor after the ramp.
constexpr int32_t rampAddedPlatforms = 2;

// An axis-aligned platform by its extent, as one would draw it on squared paper.
struct PlatformSpan {
    float left, right, bottom, top;
};

// One row of the table. Platforms are numbered from 1 in creation order, which matters: the play
// screen takes the first platform in array order that lies under the player.
struct TemplateRow {
    // The axis-aligned platforms in creation order; a ramp template lists only its floor here.
    PlatformSpan platforms[templateRowPlatforms];
    int32_t platformCount;
    // Ramp templates add a ramp at this angle after the floor, then a floor after the ramp.
    float rampAngle;
    // Platforms whose top-left corner carries a ledge marker.
    int32_t markedPlatforms[templateRowMarkers];
    int32_t markerCount;
    // The platform whose top-right corner is the exit.
    int32_t exitPlatform;
    float weights[chunkTemplateCount];
};

// What can be wrong with a row; the names say it.
enum class TemplateRowProblem {
    none,
    noPlatforms,
    morePlatformsThanARowHolds,
    platformWithoutExtent,
    platformListedBeyondItsCount,
    noPlatformWithItsTopLeftAtTheOrigin,
    moreMarkersThanARowHolds,
    markerListedBeyondItsCount,
    markerOnAMissingPlatform,
    exitOnAMissingPlatform,
    weightOutsideZeroToOne,
    weightsDoNotSumToOne,
};

// The first thing wrong with a row, or none. Usable at compile time, where the game's own table is
// checked. A row's weights, summed left to right in single precision, must come within one float
// step of 1: rounding leaves some rows one unit in the last place above it.
constexpr TemplateRowProblem templateRowProblem(const TemplateRow& row) {
    using enum TemplateRowProblem;
    if (row.platformCount < 1)
        return noPlatforms;
    if (row.platformCount > templateRowPlatforms)
        return morePlatformsThanARowHolds;
    bool startsAtOrigin = false;
    for (int32_t i = 0; i < templateRowPlatforms; i++) {
        const PlatformSpan& span = row.platforms[i];
        if (i >= row.platformCount) {
            if (span.left != 0.0f || span.right != 0.0f || span.bottom != 0.0f || span.top != 0.0f)
                return platformListedBeyondItsCount;
            continue;
        }
        if (!(span.left < span.right && span.bottom < span.top))
            return platformWithoutExtent;
        startsAtOrigin = startsAtOrigin || (span.left == 0.0f && span.top == 0.0f);
    }
    if (!startsAtOrigin)
        return noPlatformWithItsTopLeftAtTheOrigin;

    int32_t platforms = row.platformCount + (row.rampAngle != 0.0f ? rampAddedPlatforms : 0);
    if (row.markerCount < 0 || row.markerCount > templateRowMarkers)
        return moreMarkersThanARowHolds;
    for (int32_t i = 0; i < templateRowMarkers; i++) {
        int32_t marked = row.markedPlatforms[i];
        if (i >= row.markerCount) {
            if (marked != 0)
                return markerListedBeyondItsCount;
        } else if (marked < 1 || marked > platforms) {
            return markerOnAMissingPlatform;
        }
    }
    if (row.exitPlatform < 1 || row.exitPlatform > platforms)
        return exitOnAMissingPlatform;

    float sum = 0.0f;
    for (float weight : row.weights) {
        if (!(weight >= 0.0f && weight <= 1.0f))
            return weightOutsideZeroToOne;
        sum += weight;
    }
    // The float below 1 and the float above it.
    if (!(sum >= 0x1.fffffep-1f && sum <= 0x1.000002p0f))
        return weightsDoNotSumToOne;
    return none;
}

// Builds the ten templates, in order, into chunkTemplates.
void buildChunkTemplates();
// Frees every template, empties chunkTemplates and clears the generator's currentTemplate, which
// pointed into it. The game never calls it (the table lives until the process ends); tests and
// tools that build the table more than once do.
void releaseChunkTemplates();
