// The game object the engine hands to every hook, and the screens it switches between.
#pragma once

#include "array.h"
#include "chunk_templates.h"
#include "collision.h"
#include "draw.h"
#include "fill_index.h"
#include "keyboard.h"
#include "ledge_index.h"
#include "maths.h"
#include "player.h"

struct Game;

// Past this x the live run is moved back by as much (shiftRun): within 2^20 of the player every
// float is then a multiple of 1/8, so the move is exact, and play keeps the precision of the
// first 2^21 units however far it goes.
inline constexpr float shiftSpan = 2097152.0f; // 2^21

// A screen is a pair of plain functions; switching screens assigns both at once.
struct Screen {
    bool (*update)(Game& game, float dt); // one fixed step; false ends the game
    void (*draw)(Game& game);
};

struct Game {
    Player player;
    float score = 0.0f;
    KeyboardState keys{};
    Camera camera;
    Screen screen{};
    float groundY = 0.0f;
    Vec2 frontier;
    Array<Platform*> platforms;
    Array<LedgeMarker*> ledgeMarkers;
    Array<FillPolygon*> fillPolygons;
    LedgeIndex ledgeIndex; // ledgeMarkers by x, kept by the level generator and releaseLevel
    FillIndex fillIndex;   // fillPolygons by x, kept the same way
    // How many times the live run has been moved left by shiftSpan: a live x stands for the true
    // x + shifts * shiftSpan, which only what shows or logs the distance needs.
    int64_t shifts = 0;

    // Everything zero, except that the player's box takes a fresh id.
    Game() { player.box.id = nextId(); }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};

// The true x of a live x: x + shifts * shiftSpan, and x itself (bit for bit) before any shift.
inline double trueX(const Game& game, float x) {
    return game.shifts == 0 ? (double)x : (double)x + (double)game.shifts * (double)shiftSpan;
}
