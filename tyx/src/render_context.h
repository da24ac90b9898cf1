// The OpenGL context on the game's window, and the window the renderer draws into. Each platform
// has its own file: render_context_desktop.cpp (OpenGL 3.2 core through libepoxy) and
// render_context_web.cpp (WebGL 2); the build picks one.
#pragma once

#include <SDL.h>
#include <cstdint>

extern SDL_Window* renderWindow;

// Asks SDL for an OpenGL 3.2 core-profile, double-buffered context with a 16-bit depth buffer, an
// 8-bit stencil buffer and two-sample multisampling; call before creating the window.
void setContextAttributes();
// Remembers the window, creates and makes current an OpenGL context for it and loads the entry
// points; true only when the context reports a major version of at least 3.
bool createRenderContext(SDL_Window* window);
// The lines every shader file is compiled after: the GLSL version of the platform's context and
// whatever else it needs before the first declaration. The files themselves carry no version, so
// one set of them serves every platform.
const char* shaderPreamble();
// The GLSL version line the debug interface's own shaders are built with.
const char* debugUiGlslVersion();
// The shader type of a geometry stage, or 0 where the platform's OpenGL has none (OpenGL ES 3.0).
uint32_t geometryShaderType();
