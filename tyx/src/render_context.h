// The OpenGL context on the game's window, and the window the renderer draws into.
#pragma once

#include <SDL.h>

extern SDL_Window* renderWindow;

// Asks SDL for an OpenGL 3.2 core-profile, double-buffered context with a 16-bit depth buffer, an
// 8-bit stencil buffer and two-sample multisampling; call before creating the window.
void setContextAttributes();
// Remembers the window, creates and makes current an OpenGL context for it and loads the entry
// points; true only when the context reports a major version of at least 3.
bool createRenderContext(SDL_Window* window);
