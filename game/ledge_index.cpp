// The ledge-marker index: the markers' boxes sorted by their left edge, each entry also holding
// the largest right edge up to it, so that two binary searches bound the markers near a box. The
// bounds are the very corner bounds and margin that the collision module's quick rejection uses,
// so the range left out is one the rejection would turn down marker by marker.
#include "ledge_index.h"

// ---- Helpers -----------------------------------------------------------------------------------

// Refills rightSoFar from position on, after an entry was inserted there.
static void updateRightSoFar(LedgeIndex& index, size_t position) {
    for (size_t i = position; i < index.entries.size(); i++) {
        LedgeIndexEntry& entry = index.entries[i];
        float before = i > 0 ? index.entries[i - 1].rightSoFar : entry.right;
        entry.rightSoFar = entry.right > before ? entry.right : before;
    }
}

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
    // Markers arrive in the order the level grows to the right, so this is nearly always the end.
    size_t position = index.entries.size();
    while (position > 0 && index.entries[position - 1].left > box.low.x)
        position--;
    index.entries.insert(index.entries.begin() + (std::ptrdiff_t)position,
                         LedgeIndexEntry{box.low.x, box.high.x, box.high.x, &marker});
    updateRightSoFar(index, position);
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
    // every test below is the rejection's own subtraction and comparison, so each marker left out
    // is one that clearlyApart turns down.
    float margin = apartMargin(box.reach, index.widestReach);
    const std::vector<LedgeIndexEntry>& entries = index.entries;

    // Entries before first lie wholly to the left: box.low.x - rightSoFar only falls along the
    // entries, so the test holds for a leading run of them.
    int32_t low = 0;
    int32_t high = (int32_t)entries.size();
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (box.low.x - entries[(size_t)middle].rightSoFar > margin)
            low = middle + 1;
        else
            high = middle;
    }
    first = low;

    // Entries from end on lie wholly to the right: left - box.high.x only grows along them.
    high = (int32_t)entries.size();
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (entries[(size_t)middle].left - box.high.x > margin)
            high = middle;
        else
            low = middle + 1;
    }
    end = low;
}
