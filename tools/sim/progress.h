// How far along a run a position is, for the autopilot to steer by: its x, plus height gained
// where chunks climb, less a steep price for being below a chunk's way through.
#pragma once

#include "chunk_log.h"

// The progress measure of a position in the run the log holds. Height gained in a climbing chunk
// counts twice its distance to the right and is carried on to every later chunk, so climbing a
// wall counts as progress; being more than a little below the chunk's floor at that x (where no
// way through goes, as under the next chunk's floor) costs eight times the depth.
float progressPotential(const ChunkLog& chunks, Vec2 position);
// The progress just past the exit of the chunk holding x, at the next chunk's entry: what getting
// through that chunk comes to.
float exitPotential(const ChunkLog& chunks, float x);
