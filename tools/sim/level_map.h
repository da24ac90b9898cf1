// The level as a picture: the chunks a simulated run generates and the path the player takes,
// recorded while the run goes on and written as one SVG. Every run's level starts at the same
// place, so runs are stacked one under the other; a long run is wrapped into rows of bounded
// width. The picture stays compact however many chunks it holds: shapes of one kind share one
// path element per row, and the path is sampled and simplified.
#pragma once

#include "maths.h"
#include "player.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// One generated chunk: its template and where its origin was placed.
struct MapChunk {
    int32_t templateIndex = 0;
    Vec2 origin;
};

// A stretch of the player's path in one motion state; it starts where the stretch before it ended.
struct MapStretch {
    int32_t motionState = 0;
    std::vector<Vec2> points;
};

// One run: the level generated for it and the path through it, up to where it ended.
struct MapRun {
    std::vector<MapChunk> chunks;
    std::vector<MapStretch> path;
    bool ended = false; // fallen, or the recording stopped while it went on
    bool fell = false;
    Vec2 end;
    Vec2 previous; // the player's position after the update before
    int32_t stepsSinceSample = 0;
};

struct LevelMap {
    std::vector<MapRun> runs;
    // Added to every x the map is given, so that it draws the true x of a live run that was
    // shifted (see shiftRun); 0 until then.
    double offsetX = 0.0;
};

// How often the path is sampled, in updates; a change of motion state is always kept.
inline constexpr int32_t mapSampleSteps = 2;
// A row of the picture holds the chunks whose origins lie within this many units of its first.
inline constexpr float mapRowWidth = 8192.0f;

// Records a chunk as the generator places it (hook it to chunkGenerated). A run's level only
// grows to the right, so a chunk that does not lie right of the last one starts a new run.
void mapChunk(LevelMap& map, int32_t templateIndex, Vec2 origin);
// Records the player after an update: samples its path and marks where its run fell.
void mapStep(LevelMap& map, const Player& player);
// Ends the recording: a run still going ends where the player is.
void mapFinish(LevelMap& map, const Player& player);

// Writes the map as an SVG document with the caption on top. Needs the chunk templates built.
void writeLevelMap(const LevelMap& map, const std::string& caption, std::ostream& out);
