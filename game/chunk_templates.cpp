// The ten chunk templates as data, and the builder that turns them into the table the level
// generator reads. Relies on the oriented boxes of the collision module for corners and ids.
#include "chunk_templates.h"

#include "level_generator.h"

#include <cstdint>
#include <utility>

// ---- Data --------------------------------------------------------------------------------------

// Every chunk starts with a surface whose top-left corner is the chunk's origin (0, 0), and ends
// at a top-right corner, so consecutive chunks join without a seam. Spans are left, right, bottom,
// top in whole pixels; each row then has the platform count, the ramp angle, the marked
// platforms and their count, the exit platform and the weights.
//
// weights[i] is the chance that template i follows; the walk's comparison is strict, so a zero is
// never chosen. Rows 2, 3, 4 and 7 sum to one unit in the last place above 1 in single precision,
// which decides where a draw of exactly 1 lands.
// clang-format off
constexpr TemplateRow templateRows[chunkTemplateCount] = {
    // 0: flat run.
    {{{0, 400, -32, 0}},
     1, 0.0f, {}, 0, 1,
     {0.0f,  0.12f, 0.12f, 0.05f, 0.05f, 0.12f, 0.12f, 0.12f, 0.1f,  0.2f}},
    // 1: climb. Floor, a right wall with a 60-unit opening (y 140..200) between its two pieces,
    // and a tall left wall to climb; both right-hand pieces can be grabbed at their top.
    {{{0, 200, -32, 0}, {168, 200, 0, 140}, {168, 200, 200, 300}, {0, 32, 100, 400}},
     4, 0.0f, {2, 3}, 2, 3,
     {0.35f, 0.1f,  0.0f,  0.28f, 0.27f, 0.0f,  0.0f,  0.0f,  0.0f,  0.0f}},
    // 2: drop. A ledge, the wall below it, a right wall to slide down, the floor 300 lower.
    {{{0, 32, -100, 0}, {0, 32, -300, -160}, {168, 200, -200, 100}, {0, 200, -332, -300}},
     4, 0.0f, {}, 0, 4,
     {0.25f, 0.18f, 0.17f, 0.1f,  0.1f,  0.1f,  0.1f,  0.0f,  0.0f,  0.0f}},
    // 3: ramp up (20 degrees).
    {{{0, 200, -32, 0}},
     1, 0.34906584f, {}, 0, 3,
     {0.25f, 0.18f, 0.17f, 0.1f,  0.1f,  0.1f,  0.1f,  0.0f,  0.0f,  0.0f}},
    // 4: ramp down (20 degrees).
    {{{0, 200, -32, 0}},
     1, -0.34906584f, {}, 0, 3,
     {0.25f, 0.18f, 0.17f, 0.1f,  0.1f,  0.1f,  0.1f,  0.0f,  0.0f,  0.0f}},
    // 5: climb with step. Floor, right wall, left wall, a step off the left wall (its
    // bottom-left corner on the left wall's bottom-right), and a top shelf to the right wall.
    {{{0, 300, -32, 0}, {368, 400, 32, 292}, {0, 32, 130, 454}, {32, 182, 130, 162},
      {170, 400, 292, 324}},
     5, 0.0f, {5}, 1, 5,
     {0.34f, 0.0f,  0.0f,  0.33f, 0.33f, 0.0f,  0.0f,  0.0f,  0.0f,  0.0f}},
    // 6: drop with step. Bottom floor, right wall, left wall, a step off the right wall (its
    // bottom-right corner on the right wall's bottom-left), and the entry shelf.
    {{{0, 400, -356, -324}, {368, 400, -194, 130}, {0, 32, -356, -32}, {218, 368, -194, -162},
      {0, 230, -32, 0}},
     5, 0.0f, {}, 0, 1,
     {0.34f, 0.0f,  0.0f,  0.33f, 0.33f, 0.0f,  0.0f,  0.0f,  0.0f,  0.0f}},
    // 7: step up. The second floor starts 32 before the first ends, its top 72 higher.
    {{{0, 250, -32, 0}, {218, 468, 40, 72}},
     2, 0.0f, {2}, 1, 2,
     {0.0f,  0.15f, 0.15f, 0.05f, 0.05f, 0.1f,  0.1f,  0.15f, 0.15f, 0.1f}},
    // 8: window. A block on the floor and a column above it, a 96-unit window (y 64..160).
    {{{0, 400, -32, 0}, {184, 216, 0, 64}, {184, 216, 160, 1184}},
     3, 0.0f, {2}, 1, 1,
     {0.3f,  0.0f,  0.0f,  0.35f, 0.35f, 0.0f,  0.0f,  0.0f,  0.0f,  0.0f}},
    // 9: low bar. A column whose bottom is 32 above the floor: slide under it.
    {{{0, 400, -32, 0}, {184, 216, 32, 1056}},
     2, 0.0f, {}, 0, 1,
     {0.1f,  0.15f, 0.15f, 0.0f,  0.0f,  0.15f, 0.15f, 0.15f, 0.15f, 0.0f}},
};
// clang-format on

// Every row is checked as the program compiles. A broken row stops the build at the assertion
// below, whose instantiation note names TemplateRowCheck<the template's number, what is wrong>.
template <int32_t Template, TemplateRowProblem Problem> struct TemplateRowCheck {
    static_assert(Problem == TemplateRowProblem::none,
                  "a chunk template row is broken: the note names its number and the problem");
    static constexpr bool passed = true;
};
template <int32_t... Templates>
constexpr bool checkTemplateRows(std::integer_sequence<int32_t, Templates...>) {
    return (TemplateRowCheck<Templates, templateRowProblem(templateRows[Templates])>::passed &&
            ...);
}
static_assert(checkTemplateRows(std::make_integer_sequence<int32_t, chunkTemplateCount>()));

// Ramps and the floors around them share the floors' thickness.
static const float rampLength = 200.0f;
static const float floorThickness = 32.0f;
static const float floorAfterRampLength = 200.0f;

static const float markerSize = 8.0f;

Array<ChunkTemplate*> chunkTemplates;

// ---- Helpers -----------------------------------------------------------------------------------

static Platform* platformFromSpan(PlatformSpan span) {
    Vec2 centre((span.left + span.right) / 2.0f, (span.bottom + span.top) / 2.0f);
    return new Platform(makePlatform(centre, span.right - span.left, span.top - span.bottom, 0.0f));
}

static FillPolygon* makeFillPolygon(Vec2 a, Vec2 b, Vec2 c) {
    Vec2* points = new Vec2[3]{a, b, c};
    return new FillPolygon{Vec2(0.0f, 0.0f), points, 3};
}

// Appends a ramp whose top-left corner meets the floor's top-right corner, the floor after it
// (its top-left corner on the ramp's top-right corner) and the triangle that closes the gap the
// tilted ramp leaves against the lower of the two floors.
static void addRamp(ChunkTemplate& chunk, float angle) {
    const Platform& floor = *chunk.platforms.get(0);
    Platform* ramp =
        new Platform(makePlatform(Vec2(0.0f, 0.0f), rampLength, floorThickness, angle));
    // Built at the origin first, then moved so that its top-left corner lands on the floor's end.
    ramp->centre = topRight(floor) - topLeft(*ramp);
    chunk.platforms.add(ramp);

    Vec2 after = topRight(*ramp) + Vec2(floorAfterRampLength / 2.0f, -floorThickness / 2.0f);
    Platform* next = new Platform(makePlatform(after, floorAfterRampLength, floorThickness, 0.0f));
    chunk.platforms.add(next);

    if (angle > 0.0f)
        chunk.fillPolygons.add(
            makeFillPolygon(topRight(floor), bottomRight(floor), bottomLeft(*ramp)));
    else
        chunk.fillPolygons.add(
            makeFillPolygon(topRight(*ramp), bottomRight(*ramp), bottomLeft(*next)));
}

static ChunkTemplate* buildChunkTemplate(const TemplateRow& row) {
    // Value-initialised: the exit and every weight start at zero.
    ChunkTemplate* chunk = new ChunkTemplate();
    for (int32_t i = 0; i < row.platformCount; i++)
        chunk->platforms.add(platformFromSpan(row.platforms[i]));
    if (row.rampAngle != 0.0f)
        addRamp(*chunk, row.rampAngle);

    // A marker sits exactly on the corner, not offset by its own half size.
    for (int32_t i = 0; i < row.markerCount; i++) {
        const Platform* marked = chunk->platforms.get(row.markedPlatforms[i] - 1);
        LedgeMarker* marker = new LedgeMarker();
        marker->id = nextId();
        marker->box = makePlatform(topLeft(*marked), markerSize, markerSize, 0.0f);
        marker->tagA = 1;
        marker->tagB = -1;
        chunk->ledgeMarkers.add(marker);
    }

    for (int32_t i = 0; i < chunkTemplateCount; i++)
        chunk->weights[i] = row.weights[i];
    chunk->exit = topRight(*chunk->platforms.get(row.exitPlatform - 1));
    return chunk;
}

// ---- Public functions --------------------------------------------------------------------------

void buildChunkTemplates() {
    for (const TemplateRow& row : templateRows)
        chunkTemplates.add(buildChunkTemplate(row));
}

void releaseChunkTemplates() {
    for (int32_t i = 0; i < chunkTemplates.count; i++) {
        ChunkTemplate* chunk = chunkTemplates.get(i);
        chunk->platforms.deleteAll();
        for (int32_t k = 0; k < chunk->fillPolygons.count; k++)
            delete[] chunk->fillPolygons.get(k)->points;
        chunk->fillPolygons.deleteAll();
        chunk->ledgeMarkers.deleteAll();
    }
    chunkTemplates.deleteAll();
    // The generator's last template was one of these; the next chunk starts the chain afresh.
    currentTemplate = nullptr;
}
