// The fill-polygon index: the polygons' x extents sorted by their left edge, each entry also
// holding the largest right edge up to it, so that two binary searches bound the polygons that
// reach into a range of x.
#include "fill_index.h"

#include <cmath>

// ---- Helpers -----------------------------------------------------------------------------------

// Refills rightSoFar from position on, after an entry was inserted there.
static void updateRightSoFar(FillIndex& index, size_t position) {
    for (size_t i = position; i < index.entries.size(); i++) {
        FillIndexEntry& entry = index.entries[i];
        float before = i > 0 ? index.entries[i - 1].rightSoFar : entry.right;
        entry.rightSoFar = entry.right > before ? entry.right : before;
    }
}

// ---- Public functions --------------------------------------------------------------------------

void addFillPolygon(FillIndex& index, const FillPolygon& polygon) {
    index.polygonsSeen += 1;
    index.last = &polygon;
    index.lastOrigin = polygon.origin;
    if (polygon.count <= 0)
        return;
    float left = polygon.origin.x + polygon.points[0].x;
    float right = left;
    for (int32_t i = 1; i < polygon.count; i++) {
        float x = polygon.origin.x + polygon.points[i].x;
        left = fminf(left, x);
        right = fmaxf(right, x);
    }
    if (std::isnan(left) || std::isnan(right))
        return;
    // Polygons arrive in the order the level grows to the right, so this is nearly always the end.
    size_t position = index.entries.size();
    while (position > 0 && index.entries[position - 1].left > left)
        position--;
    index.entries.insert(index.entries.begin() + (std::ptrdiff_t)position,
                         FillIndexEntry{left, right, right, &polygon});
    updateRightSoFar(index, position);
}

void clearFillIndex(FillIndex& index) {
    index.entries.clear();
    index.polygonsSeen = 0;
    index.last = nullptr;
    index.lastOrigin = Vec2();
}

bool fillIndexMatches(const FillIndex& index, const Array<FillPolygon*>& polygons) {
    if (index.polygonsSeen != polygons.count)
        return false;
    if (polygons.count == 0)
        return true;
    const FillPolygon* last = polygons.data[polygons.count - 1];
    return last == index.last && last->origin.x == index.lastOrigin.x &&
           last->origin.y == index.lastOrigin.y;
}

void findFillPolygonsBetween(const FillIndex& index, float low, float high, int32_t& first,
                             int32_t& end) {
    const std::vector<FillIndexEntry>& entries = index.entries;
    // Entries before first end left of low: rightSoFar only grows along the entries.
    int32_t a = 0;
    int32_t b = (int32_t)entries.size();
    while (a < b) {
        int32_t middle = a + (b - a) / 2;
        if (entries[(size_t)middle].rightSoFar < low)
            a = middle + 1;
        else
            b = middle;
    }
    first = a;
    // Entries from end on start right of high.
    b = (int32_t)entries.size();
    while (a < b) {
        int32_t middle = a + (b - a) / 2;
        if (entries[(size_t)middle].left > high)
            b = middle;
        else
            a = middle + 1;
    }
    end = a;
}
