// The ledge-marker index: the markers' boxes as spans along x, so that two binary searches bound
// the markers near a box. The
// bounds are the very corner bounds and margin that the collision module's quick rejection uses,
// so the range left out is one the rejection would turn down marker by marker.
#include "ledge_index.h"

// ---- Public functions --------------------------------------------------------------------------

void addLedgeMarker(LedgeIndex& index, const LedgeMarker& marker) {
    index.markersSeen += 1;
    index.lastId = marker.id;
    BoxCorners scratch;
    const BoxCorners& box = cornersOf(marker.box, scratch);
    if (!box.inRange)
        return;
    if (box.reach > index.widestReach)
        index.widestReach = box.reach;
    insertSpan(index.entries, box.low.x, box.high.x, &marker);
}

void clearLedgeIndex(LedgeIndex& index) {
    index.entries.clear();
    index.widestReach = 0.0f;
    index.markersSeen = 0;
    index.lastId = 0;
}

bool ledgeIndexMatches(const LedgeIndex& index, const Array<LedgeMarker*>& markers) {
    if (index.markersSeen != markers.count)
        return false;
    // Ids are never reused, so a level released and refilled behind the index's back shows here.
    return markers.count == 0 || markers.data[markers.count - 1]->id == index.lastId;
}

void findNearbyLedgeMarkers(const LedgeIndex& index, const BoxCorners& box, int32_t& first,
                            int32_t& end) {
    // No indexed marker needs a wider margin than this (the margin grows with either reach), and
    // both tests are the rejection's own subtraction and comparison, so each marker left out is
    // one that clearlyApart turns down. box.low.x - rightSoFar only falls along the entries and
    // left - box.high.x only grows, so each test holds for a leading or a trailing run of them.
    float margin = apartMargin(box.reach, index.widestReach);
    findSpans(
        index.entries, [&box, margin](float rightSoFar) { return box.low.x - rightSoFar > margin; },
        [&box, margin](float left) { return left - box.high.x > margin; }, first, end);
}
