// The simulator's window: draws the run through the game's own draw hook into a 640x480 window
// made with the engine's context attributes, and counts the draw calls of every frame. Needs a
// display.
#pragma once

#include "game.h"

#include <SDL.h>
#include <cstdint>
#include <string>

struct DrawWindow {
    SDL_Window* window = nullptr;
    int64_t aliveFrames = 0; // frames drawn while a run was alive, and their draw calls
    uint64_t aliveCallsMax = 0;
    uint64_t aliveCallsTotal = 0;
    uint64_t blockCallsMax = 0; // the most in a live frame since the caller last cleared it
};

// Opens the window and its OpenGL context and builds the renderer and the text from resources/
// under the working directory. False with the reason in error when there is no display, no
// OpenGL 3.2 context or no shaders.
bool openDrawWindow(DrawWindow& window, std::string& error);
// Draws one frame of the play screen as the game does and shows it; frames of a live run count
// towards the draw-call figures.
void drawFrame(DrawWindow& window, Game& game);
// The mean draw calls per frame of a live run; 0 when none was drawn.
double meanDrawCalls(const DrawWindow& window);
void closeDrawWindow(DrawWindow& window);

// ---- What each platform provides ---------------------------------------------------------------

// Whether this build of the simulator can draw at all; when not, false with the reason in error.
// (draw_window_desktop.cpp: yes, given a display; draw_window_web.cpp: not under node.)
bool platformCanDraw(std::string& error);
