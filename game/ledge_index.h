// The level's ledge markers indexed along x, so that the player's marker pass looks only at the
// markers near its box rather than at every marker of the run. Markers are never moved or released
// during a run, so the index only grows: the level generator adds each marker it places and
// releaseLevel empties the index with the level. Relies on the collision module's corners and its
// rejection margin, so that the markers the index leaves out are exactly ones overlaps would
// reject.
#pragma once

#include "array.h"
#include "chunk_templates.h"
#include "collision.h"
#include "span_index.h"

#include <cstdint>
#include <vector>

// A marker box's x extent; the marker is owned by the level's ledgeMarkers array.
using LedgeIndexEntry = SpanEntry<LedgeMarker>;

struct LedgeIndex {
    std::vector<LedgeIndexEntry> entries; // ascending by left
    float widestReach = 0.0f;             // the largest reach of an indexed marker box
    int32_t markersSeen = 0;              // markers added, indexed or not
    int32_t lastId = 0;                   // the id of the marker added last
};

// Adds a marker just appended to the level's ledgeMarkers. A marker whose box the collision
// queries reject outright (out of range) is counted but not indexed: it can never overlap.
void addLedgeMarker(LedgeIndex& index, const LedgeMarker& marker);
// Forgets every marker, as when the level is released.
void clearLedgeIndex(LedgeIndex& index);
// Whether the index was built from exactly these markers: as many were added and the last one is
// the array's last. An index that does not match must not be used; look at every marker instead.
bool ledgeIndexMatches(const LedgeIndex& index, const Array<LedgeMarker*>& markers);
// The entries [first, end) whose markers a box with these corners may overlap; overlaps rejects
// every marker outside that range, so testing the range finds the same markers as testing all.
void findNearbyLedgeMarkers(const LedgeIndex& index, const BoxCorners& box, int32_t& first,
                            int32_t& end);
