// The engine's side of the seam with the game: the window configuration the game fills, the six
// hooks the game provides, and the OpenGL error report the loop uses.
#pragma once

#include <cstdint>

struct Game;

// Filled by gameConfigureWindow; the engine zero-fills it first.
struct WindowConfig {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t flags;
    const char* title;
};

// ---- Hooks the game provides -------------------------------------------------------------------

// Once, before the window exists.
void gameConfigureWindow(WindowConfig& config);
// Once, after the Game is constructed and before the first update.
void gameInit(Game& game);
// One fixed step of dt seconds; false ends the game.
bool gameUpdate(Game& game, float dt);
// Once per frame, between the debug interface's new frame and its render.
void gameDraw(Game& game);
// Once per frame, after the debug interface has rendered and before the buffer swap.
void gamePostRender(Game& game);
// Once, after the loop has ended.
void gameShutdown(Game& game);

// ---- Engine services ---------------------------------------------------------------------------

// Reads glGetError once and prints "(file:line) OpenGL error: NAME" to standard error when there
// is an error, or always when asked to.
void checkGlError(const char* file, int line, bool always);
// The printed name of a glGetError value.
const char* glErrorName(uint32_t error);
