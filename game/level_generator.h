// The level generator: extends the world to the right one chunk at a time, choosing each chunk's
// template by the transition weights of the one before, from its own seeded random source.
#pragma once

#include "chunk_templates.h"

#include <cstdint>
#include <optional>

struct Game;

// The template generated last; null until the first chunk ever. A restart keeps it, so a new run
// continues the chain where the previous one stopped.
extern ChunkTemplate* currentTemplate;

// When set, seedRandomFromClock seeds with this instead of the clock, so that a headless run is
// the same on every restart.
extern std::optional<uint32_t> randomSeedOverride;

// When set, called after every chunk with its template's index and its origin: how tools follow
// the level as the play screen builds it.
extern void (*chunkGenerated)(int32_t templateIndex, Vec2 origin);

// Seeds the random source.
void seedRandom(uint32_t seed);
// Seeds the random source from the clock in seconds (or from randomSeedOverride when set).
void seedRandomFromClock();
// The next random number, 0 to 32767 inclusive.
int32_t nextRandom();

// The index of the template to follow current for a random number in 0..32767.
int32_t chooseNextTemplate(const ChunkTemplate& current, int32_t randomValue);

// Deletes every live platform, ledge marker and fill polygon and empties the ledge-marker and
// fill-polygon indexes; the point lists stay with the templates.
void releaseLevel(Game& game);

// Copies a template's platforms, fill polygons and ledge markers (each marker with a new id) into
// the live level at origin, with the level's indexes kept up to date. Returns where the next
// chunk starts. Does not tell chunkGenerated.
Vec2 placeChunk(Game& game, const ChunkTemplate& chunk, Vec2 origin);

// Moves every live platform, ledge marker, fill polygon and the frontier by dx along x, the
// indexes with them. Near the player, where every x is a multiple of dx's precision, the move is
// exact.
void shiftLevel(Game& game, float dx);

// Appends one chunk at the game's frontier and moves the frontier to the chunk's exit. Returns
// the index of the template used, or -1 when the table is not built.
int32_t generateChunk(Game& game);
