// The fill-polygon index: the polygons' x extents as spans, so that two binary searches bound the
// polygons that reach into a range of x.
#include "fill_index.h"

#include <cmath>

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
    insertSpan(index.entries, left, right, &polygon);
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
    findSpans(
        index.entries, [low](float right) { return right < low; },
        [high](float left) { return left > high; }, first, end);
}
