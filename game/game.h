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

    // Everything zero, except that the player's box takes a fresh id.
    Game() { player.box.id = nextId(); }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};
