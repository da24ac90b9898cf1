// The debug interface (Dear ImGui with its SDL2 and OpenGL 3 back ends): set up by the engine,
// fed by the screens' event polls. Safe to call when no debug interface exists, as in tests and
// headless tools.
#pragma once

#include <SDL.h>

// Creates the ImGui context and initialises its SDL2 and OpenGL 3 back ends for the window.
bool debugUiInit(SDL_Window* window);
// Hands one polled event to the debug interface; does nothing when there is none.
void debugUiProcessEvent(const SDL_Event& event);
// Starts a debug-interface frame.
void debugUiNewFrame();
// Renders whatever the frame submitted.
void debugUiRender();
// Switches off the settings file, so no imgui.ini is read or written.
void debugUiDisableSettingsFile();
// Shuts down both back ends and destroys the context.
void debugUiShutdown();
