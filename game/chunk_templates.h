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

// Builds the ten templates, in order, into chunkTemplates.
void buildChunkTemplates();
// Frees every template, empties chunkTemplates and clears the generator's currentTemplate, which
// pointed into it. The game never calls it (the table lives until the process ends); tests and
// tools that build the table more than once do.
void releaseChunkTemplates();
