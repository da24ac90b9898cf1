// The level's fill polygons indexed along x, so that drawing a frame looks only at the polygons
// near the view rather than at every polygon of the run. Fill polygons are never moved or released
// during a run, so the index only grows: the level generator adds each polygon it places and
// releaseLevel empties the index with the level.
#pragma once

#include "array.h"
#include "chunk_templates.h"
#include "span_index.h"

#include <cstdint>
#include <vector>

// A polygon's x extent; the polygon is owned by the level's fillPolygons array.
using FillIndexEntry = SpanEntry<FillPolygon>;

struct FillIndex {
    std::vector<FillIndexEntry> entries; // ascending by left
    int32_t polygonsSeen = 0;            // polygons added, indexed or not
    const FillPolygon* last = nullptr;   // the polygon added last, and where it was
    Vec2 lastOrigin;
};

// Adds a polygon just appended to the level's fillPolygons. One without points, or with a NaN
// coordinate, is counted but not indexed: it can draw nothing.
void addFillPolygon(FillIndex& index, const FillPolygon& polygon);
// Forgets every polygon, as when the level is released.
void clearFillIndex(FillIndex& index);
// Whether the index was built from exactly these polygons: as many were added and the last one is
// the array's last, where it was. An index that does not match must not be used; look at every
// polygon instead. Changing the level's polygons other than through the generator and
// releaseLevel shows here as long as the last one changes.
bool fillIndexMatches(const FillIndex& index, const Array<FillPolygon*>& polygons);
// The entries [first, end) whose polygons reach into the x range from low to high; every other
// polygon lies wholly to its left or right.
void findFillPolygonsBetween(const FillIndex& index, float low, float high, int32_t& first,
                             int32_t& end);
