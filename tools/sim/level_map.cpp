// Recording runs for the level map, and writing the map as SVG. Every chunk is drawn again from
// its template and origin, as the generator placed it, so recording a chunk costs two numbers.
// Relies on the chunk templates and on the SVG helpers for compact path data.
#include "level_map.h"

#include "chunk_templates.h"
#include "svg.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

// ---- Types -------------------------------------------------------------------------------------

namespace {

// An axis-aligned box around points; empty until the first point.
struct Bounds {
    Vec2 low;
    Vec2 high;
    bool empty = true;
};

// The motion states a path can show, and one more style for a state the player does not have.
constexpr int32_t motionStateCount = 6;
constexpr int32_t pathStyleCount = motionStateCount + 1;

// One row of the picture: some of a run's chunks and the part of its path that lies over them.
struct MapRow {
    size_t run = 0;
    int32_t part = 0; // 0 for the run's first row
    size_t firstChunk = 0;
    size_t chunkCount = 0;
    // The path from here to where the next row of the run starts belongs to this row.
    float startX = -FLT_MAX;
    std::vector<std::vector<Vec2>> lines[pathStyleCount];
    std::vector<Vec2> falls;
    std::vector<Vec2> stops;
    Bounds bounds;
};

} // namespace

// ---- Data --------------------------------------------------------------------------------------

static const char* const motionStateNames[motionStateCount] = {
    "running", "sliding", "wall sliding", "wall running", "airborne", "crouching"};

// Paths are classes r and s0 to s5 (sx for an unknown state); the level is p (platforms),
// f (fill triangles), m (ledge markers, with a ring mh around them so that they show at any zoom),
// o (chunk outlines) and t (their template numbers); x marks a fall and e the end of the
// recording; c and h are captions.
static const char style[] =
    "text{font-family:sans-serif}"
    ".c{font-size:36px;fill:#222}"
    ".h{font-size:44px;font-weight:bold;fill:#222}"
    ".o{fill:none;stroke:#8ab;stroke-width:3;stroke-dasharray:14 10}"
    ".t{font-size:36px;font-weight:bold;fill:#6a8a9a}"
    ".p{fill:#222}.f{fill:#888}.m{fill:#f0a000;stroke:#a05000;stroke-width:2}"
    ".mh{fill:none;stroke:#f0a000;stroke-width:4}"
    ".r{fill:none;stroke-width:6;stroke-linejoin:round;stroke-linecap:round}"
    ".s0{stroke:#2a9d2a}.s1{stroke:#1f6fd1}.s2{stroke:#8e44ad}.s3{stroke:#e67e22}"
    ".s4{stroke:#14b8c8}.s5{stroke:#a0522d}.sx{stroke:#f0f}"
    ".x{fill:none;stroke:#d00;stroke-width:8}"
    ".e{fill:#fff;stroke:#000;stroke-width:5}";

// Where the simplified path may stray from the sampled one, in world units.
constexpr float pathTolerance = 1.0f;
// The simplification looks at this many samples at once, so its cost stays linear in the path.
constexpr size_t simplifyWindow = 1024;

constexpr float margin = 48.0f;
constexpr float captionHeight = 60.0f;
constexpr float rowGap = 40.0f;
constexpr float markSize = 24.0f;
constexpr int32_t markerRing = 16;
constexpr float legendWidth = 2100.0f;
constexpr float legendHeight = 230.0f;

// ---- Recording ---------------------------------------------------------------------------------

// Adds a point to the run's path; at a change of motion state the old stretch ends at the point
// before and the new one starts there, so the colours meet without a gap.
static void addPathPoint(MapRun& run, int32_t motionState, Vec2 position, bool always,
                         Vec2 previous) {
    if (run.path.empty() || run.path.back().motionState != motionState) {
        MapStretch stretch;
        stretch.motionState = motionState;
        if (!run.path.empty()) {
            std::vector<Vec2>& before = run.path.back().points;
            if (before.empty() || before.back().x != previous.x || before.back().y != previous.y)
                before.push_back(previous);
            stretch.points.push_back(previous);
        }
        stretch.points.push_back(position);
        run.path.push_back(std::move(stretch));
        run.stepsSinceSample = 0;
        return;
    }
    run.stepsSinceSample++;
    if (always || run.stepsSinceSample >= mapSampleSteps) {
        run.path.back().points.push_back(position);
        run.stepsSinceSample = 0;
    }
}

// Where a live point lies in the map: its true x.
static Vec2 inMap(const LevelMap& map, Vec2 p) {
    return map.offsetX == 0.0 ? p : Vec2((float)((double)p.x + map.offsetX), p.y);
}

void mapChunk(LevelMap& map, int32_t templateIndex, Vec2 liveOrigin) {
    Vec2 origin = inMap(map, liveOrigin);
    bool newRun = map.runs.empty() || (!map.runs.back().chunks.empty() &&
                                       !(origin.x > map.runs.back().chunks.back().origin.x));
    if (newRun)
        map.runs.emplace_back();
    map.runs.back().chunks.push_back(MapChunk{templateIndex, origin});
}

void mapStep(LevelMap& map, const Player& player) {
    if (map.runs.empty())
        map.runs.emplace_back();
    MapRun& run = map.runs.back();
    // After a fall the player drops out of view until the next run; that is not part of the map.
    if (run.ended)
        return;
    Vec2 position = inMap(map, player.position);
    addPathPoint(run, player.motionState, position, !player.alive, run.previous);
    run.previous = position;
    if (!player.alive) {
        run.ended = true;
        run.fell = true;
        run.end = position;
    }
}

void mapFinish(LevelMap& map, const Player& player) {
    if (map.runs.empty() || map.runs.back().ended)
        return;
    MapRun& run = map.runs.back();
    if (!run.path.empty()) {
        std::vector<Vec2>& last = run.path.back().points;
        Vec2 p = inMap(map, player.position);
        if (last.empty() || last.back().x != p.x || last.back().y != p.y)
            last.push_back(p);
    }
    run.ended = true;
    run.end = inMap(map, player.position);
}

// ---- Helpers -----------------------------------------------------------------------------------

static void include(Bounds& bounds, Vec2 p) {
    if (bounds.empty) {
        bounds.low = p;
        bounds.high = p;
        bounds.empty = false;
        return;
    }
    bounds.low = Vec2(std::min(bounds.low.x, p.x), std::min(bounds.low.y, p.y));
    bounds.high = Vec2(std::max(bounds.high.x, p.x), std::max(bounds.high.y, p.y));
}

static void include(Bounds& bounds, const Bounds& other, Vec2 offset) {
    if (other.empty)
        return;
    include(bounds, other.low + offset);
    include(bounds, other.high + offset);
}

static void includeBox(Bounds& bounds, const Platform& box) {
    include(bounds, topLeft(box));
    include(bounds, topRight(box));
    include(bounds, bottomLeft(box));
    include(bounds, bottomRight(box));
}

// Each template's extent relative to its origin: every platform, fill and marker, the origin
// and the exit. A chunk's outline is its template's extent moved to the chunk's origin.
static std::vector<Bounds> templateBounds() {
    std::vector<Bounds> all;
    for (int32_t i = 0; i < chunkTemplates.count; i++) {
        const ChunkTemplate& chunk = *chunkTemplates.data[i];
        Bounds bounds;
        include(bounds, Vec2(0.0f, 0.0f));
        include(bounds, chunk.exit);
        for (int32_t k = 0; k < chunk.platforms.count; k++)
            includeBox(bounds, *chunk.platforms.data[k]);
        for (int32_t k = 0; k < chunk.fillPolygons.count; k++) {
            const FillPolygon& fill = *chunk.fillPolygons.data[k];
            for (int32_t n = 0; n < fill.count; n++)
                include(bounds, fill.origin + fill.points[n]);
        }
        for (int32_t k = 0; k < chunk.ledgeMarkers.count; k++)
            includeBox(bounds, chunk.ledgeMarkers.data[k]->box);
        all.push_back(bounds);
    }
    return all;
}

static const ChunkTemplate* findTemplate(int32_t index) {
    if (index < 0 || index >= chunkTemplates.count)
        return nullptr;
    return chunkTemplates.data[index];
}

static float distanceToSegment(Vec2 p, Vec2 a, Vec2 b) {
    Vec2 ab = b - a;
    Vec2 ap = p - a;
    float lengthSquared = ab.lengthSquared();
    if (lengthSquared == 0.0f)
        return ap.length();
    float t = clamp(ap.dot(ab) / lengthSquared, 0.0f, 1.0f);
    return (ap - ab * t).length();
}

// Drops the points of [first, last] that lie within the tolerance of the line the others make
// (Ramer-Douglas-Peucker, with a stack instead of recursion); keep marks the survivors.
static void simplifyRange(const std::vector<Vec2>& points, size_t first, size_t last,
                          std::vector<bool>& keep) {
    std::vector<std::pair<size_t, size_t>> pending{{first, last}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        float worst = 0.0f;
        size_t worstIndex = from;
        for (size_t i = from + 1; i < to; i++) {
            float d = distanceToSegment(points[i], points[from], points[to]);
            if (d > worst) {
                worst = d;
                worstIndex = i;
            }
        }
        if (worst > pathTolerance) {
            keep[worstIndex] = true;
            pending.push_back({from, worstIndex});
            pending.push_back({worstIndex, to});
        }
    }
}

static std::vector<Vec2> simplifyPath(const std::vector<Vec2>& points) {
    if (points.size() < 3)
        return points;
    std::vector<bool> keep(points.size(), false);
    for (size_t first = 0; first + 1 < points.size(); first += simplifyWindow) {
        size_t last = std::min(first + simplifyWindow, points.size() - 1);
        keep[first] = true;
        keep[last] = true;
        simplifyRange(points, first, last, keep);
    }
    std::vector<Vec2> kept;
    for (size_t i = 0; i < points.size(); i++) {
        if (keep[i])
            kept.push_back(points[i]);
    }
    return kept;
}

static int32_t pathStyle(int32_t motionState) {
    return motionState >= 0 && motionState < motionStateCount ? motionState : motionStateCount;
}

// The row of the run (rows [first, end)) that a point at x belongs to: the last one starting at
// or before x, or the first.
static size_t rowFor(const std::vector<MapRow>& rows, size_t first, size_t end, float x) {
    size_t row = first;
    for (size_t i = first + 1; i < end && rows[i].startX <= x; i++)
        row = i;
    return row;
}

static void addLine(MapRow& row, int32_t style, std::vector<Vec2> line) {
    if (line.size() < 2)
        return;
    for (Vec2 p : line)
        include(row.bounds, p);
    row.lines[style].push_back(std::move(line));
}

// Splits a stretch of path among the run's rows by x; a line that crosses into another row is
// drawn in both, so the path stays continuous.
static void addStretch(std::vector<MapRow>& rows, size_t first, size_t end,
                       const MapStretch& stretch) {
    std::vector<Vec2> points = simplifyPath(stretch.points);
    if (points.empty())
        return;
    int32_t style = pathStyle(stretch.motionState);
    size_t current = rowFor(rows, first, end, points[0].x);
    std::vector<Vec2> line{points[0]};
    for (size_t i = 1; i < points.size(); i++) {
        size_t row = rowFor(rows, first, end, points[i].x);
        line.push_back(points[i]);
        if (row != current) {
            addLine(rows[current], style, std::move(line));
            line = {points[i - 1], points[i]};
            current = row;
        }
    }
    addLine(rows[current], style, std::move(line));
}

static void addRun(std::vector<MapRow>& rows, const LevelMap& map, size_t runIndex,
                   const std::vector<Bounds>& extents) {
    const MapRun& run = map.runs[runIndex];
    size_t first = rows.size();
    for (size_t i = 0; i < run.chunks.size(); i++) {
        const MapChunk& chunk = run.chunks[i];
        if (rows.size() == first ||
            !(chunk.origin.x - run.chunks[rows.back().firstChunk].origin.x < mapRowWidth)) {
            MapRow row;
            row.run = runIndex;
            row.part = (int32_t)(rows.size() - first);
            row.firstChunk = i;
            // The first row also takes whatever lies left of the first chunk.
            row.startX = rows.size() == first ? -FLT_MAX : chunk.origin.x;
            rows.push_back(std::move(row));
        }
        MapRow& row = rows.back();
        row.chunkCount++;
        include(row.bounds, chunk.origin);
        if ((size_t)chunk.templateIndex < extents.size())
            include(row.bounds, extents[(size_t)chunk.templateIndex], chunk.origin);
    }
    if (rows.size() == first) {
        MapRow row;
        row.run = runIndex;
        rows.push_back(std::move(row));
    }
    size_t end = rows.size();
    for (const MapStretch& stretch : run.path)
        addStretch(rows, first, end, stretch);
    if (run.ended) {
        MapRow& row = rows[rowFor(rows, first, end, run.end.x)];
        (run.fell ? row.falls : row.stops).push_back(run.end);
        include(row.bounds, run.end - Vec2(markSize, markSize));
        include(row.bounds, run.end + Vec2(markSize, markSize));
    }
}

// The picture's size of a row's content, margins included.
static Vec2 rowSize(const MapRow& row) {
    if (row.bounds.empty)
        return Vec2(2.0f * margin, 2.0f * margin);
    return row.bounds.high - row.bounds.low + Vec2(2.0f * margin, 2.0f * margin);
}

static std::string pathElement(const char* classes, const SvgPath& path) {
    if (path.data.empty())
        return "";
    return std::string("<path class=\"") + classes + "\" d=\"" + path.data + "\"/>\n";
}

static std::string textElement(const char* classes, IVec2 at, const std::string& text) {
    return std::string("<text class=\"") + classes + "\" x=\"" + std::to_string(at.x) + "\" y=\"" +
           std::to_string(at.y) + "\">" + svgEscape(text) + "</text>\n";
}

static void addCross(SvgPath& path, const SvgFrame& frame, Vec2 at) {
    svgMoveTo(path, svgPoint(frame, at + Vec2(-markSize, markSize)));
    svgLineTo(path, svgPoint(frame, at + Vec2(markSize, -markSize)));
    svgMoveTo(path, svgPoint(frame, at + Vec2(-markSize, -markSize)));
    svgLineTo(path, svgPoint(frame, at + Vec2(markSize, markSize)));
}

static void addDiamond(SvgPath& path, const SvgFrame& frame, Vec2 at) {
    const Vec2 corners[4] = {at + Vec2(0.0f, markSize), at + Vec2(markSize, 0.0f),
                             at + Vec2(0.0f, -markSize), at + Vec2(-markSize, 0.0f)};
    svgPolygon(path, frame, corners, 4);
}

static std::string rowCaption(const LevelMap& map, const MapRow& row) {
    const MapRun& run = map.runs[row.run];
    std::string caption = "run " + std::to_string(row.run + 1);
    if (row.part > 0)
        return caption + ", continued (chunks " + std::to_string(row.firstChunk + 1) + " to " +
               std::to_string(row.firstChunk + row.chunkCount) + ")";
    caption += ": " + std::to_string(run.chunks.size()) + " chunks";
    if (run.ended && run.fell)
        caption += ", fell at x = " + std::to_string(std::lround(run.end.x));
    else if (run.ended)
        caption += ", still going at x = " + std::to_string(std::lround(run.end.x)) +
                   " when the recording stopped";
    return caption;
}

// The level of one row, its path, its marks and the template numbers, in the row's own frame.
static void writeRow(const LevelMap& map, const MapRow& row, float top,
                     const std::vector<Bounds>& extents, std::ostream& out) {
    const MapRun& run = map.runs[row.run];
    out << textElement("c", IVec2((int32_t)margin, (int32_t)(top + captionHeight * 0.7f)),
                       rowCaption(map, row));
    out << "<g class=\"row\" transform=\"translate(0," << std::lround(top + captionHeight)
        << ")\">\n";
    SvgFrame frame;
    if (!row.bounds.empty)
        frame.origin = Vec2(row.bounds.low.x - margin, row.bounds.high.y + margin);

    SvgPath outlines, platforms, fills, markers, rings;
    std::string labels;
    for (size_t i = row.firstChunk; i < row.firstChunk + row.chunkCount; i++) {
        const MapChunk& chunk = run.chunks[i];
        const ChunkTemplate* source = findTemplate(chunk.templateIndex);
        if (source == nullptr)
            continue;
        const Bounds& extent = extents[(size_t)chunk.templateIndex];
        Vec2 low = extent.low + chunk.origin;
        Vec2 high = extent.high + chunk.origin;
        const Vec2 corners[4] = {Vec2(low.x, high.y), high, Vec2(high.x, low.y), low};
        svgPolygon(outlines, frame, corners, 4);
        IVec2 corner = svgPoint(frame, corners[0]);
        labels += textElement("t", IVec2(corner.x + 10, corner.y + 38),
                              std::to_string(chunk.templateIndex));
        for (int32_t k = 0; k < source->platforms.count; k++) {
            Platform box = *source->platforms.data[k];
            box.centre += chunk.origin;
            svgBox(platforms, frame, box);
        }
        for (int32_t k = 0; k < source->fillPolygons.count; k++) {
            const FillPolygon& fill = *source->fillPolygons.data[k];
            std::vector<Vec2> points;
            for (int32_t n = 0; n < fill.count; n++)
                points.push_back(fill.origin + fill.points[n] + chunk.origin);
            svgPolygon(fills, frame, points.data(), (int32_t)points.size());
        }
        for (int32_t k = 0; k < source->ledgeMarkers.count; k++) {
            Platform box = source->ledgeMarkers.data[k]->box;
            box.centre += chunk.origin;
            svgBox(markers, frame, box);
            svgCircle(rings, svgPoint(frame, box.centre), markerRing);
        }
    }
    out << pathElement("o", outlines) << pathElement("f", fills) << pathElement("p", platforms)
        << pathElement("m", markers) << pathElement("mh", rings);

    for (int32_t style = 0; style < pathStyleCount; style++) {
        SvgPath path;
        for (const std::vector<Vec2>& line : row.lines[style])
            svgPolyline(path, frame, line.data(), line.size());
        std::string classes = style < motionStateCount ? "r s" + std::to_string(style) : "r sx";
        out << pathElement(classes.c_str(), path);
    }
    SvgPath falls, stops;
    for (Vec2 p : row.falls)
        addCross(falls, frame, p);
    for (Vec2 p : row.stops)
        addDiamond(stops, frame, p);
    out << pathElement("x", falls) << pathElement("e", stops) << labels << "</g>\n";
}

// A key to the picture's colours and marks, drawn with the same classes as the map.
static void writeLegend(const std::string& caption, std::ostream& out) {
    out << textElement("h", IVec2((int32_t)margin, 64), caption) << "<g class=\"legend\">\n";
    for (int32_t i = 0; i < motionStateCount; i++) {
        int32_t x = (int32_t)margin + i * 330;
        out << "<path class=\"r s" << i << "\" d=\"M" << x << " 130h70\"/>\n";
        out << textElement("c", IVec2(x + 84, 142), motionStateNames[i]);
    }
    int32_t y = 200;
    int32_t x = (int32_t)margin;
    out << "<path class=\"p\" d=\"M" << x << ' ' << y - 30 << "h60v30h-60z\"/>\n"
        << textElement("c", IVec2(x + 72, y), "platform");
    x += 260;
    out << "<path class=\"f\" d=\"M" << x << ' ' << y << "h60l-60-30z\"/>\n"
        << textElement("c", IVec2(x + 72, y), "fill");
    x += 190;
    out << "<path class=\"m\" d=\"M" << x + 12 << ' ' << y - 22 << "h8v8h-8z\"/>\n"
        << "<path class=\"mh\" d=\"M" << x << ' ' << y - 18
        << "a16 16 0 1 0 32 0a16 16 0 1 0-32 0\"/>\n"
        << textElement("c", IVec2(x + 48, y), "ledge marker");
    x += 320;
    out << "<path class=\"o\" d=\"M" << x << ' ' << y - 40 << "h90v50h-90z\"/>\n"
        << textElement("t", IVec2(x + 8, y - 6), "7")
        << textElement("c", IVec2(x + 104, y), "chunk of template 7");
    x += 520;
    out << "<path class=\"x\" d=\"M" << x << ' ' << y - 36 << "l36 36m0-36l-36 36\"/>\n"
        << textElement("c", IVec2(x + 52, y), "fell");
    x += 170;
    out << "<path class=\"e\" d=\"M" << x + 18 << ' ' << y - 36 << "l18 18-18 18-18-18z\"/>\n"
        << textElement("c", IVec2(x + 52, y), "recording stopped") << "</g>\n";
}

// ---- Writing -----------------------------------------------------------------------------------

void writeLevelMap(const LevelMap& map, const std::string& caption, std::ostream& out) {
    std::vector<Bounds> extents = templateBounds();
    std::vector<MapRow> rows;
    for (size_t i = 0; i < map.runs.size(); i++)
        addRun(rows, map, i, extents);

    float width = legendWidth;
    float height = legendHeight;
    for (const MapRow& row : rows) {
        Vec2 size = rowSize(row);
        width = std::max(width, size.x);
        height += captionHeight + size.y + rowGap;
    }
    long w = std::lround(std::ceil(width));
    long h = std::lround(std::ceil(height));
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << w << "\" height=\"" << h
        << "\" viewBox=\"0 0 " << w << ' ' << h << "\">\n"
        << "<style>" << style << "</style>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    writeLegend(caption, out);
    float top = legendHeight;
    for (const MapRow& row : rows) {
        writeRow(map, row, top, extents, out);
        top += captionHeight + rowSize(row).y + rowGap;
    }
    out << "</svg>\n";
}
