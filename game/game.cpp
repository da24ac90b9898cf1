// The game's hooks: what the engine calls, and the screen switch behind them.
#include "game.h"

#include "tyx.h"

#include <SDL.h>
#include <epoxy/gl.h>

void gameConfigureWindow(WindowConfig& config) {
    config.x = SDL_WINDOWPOS_CENTERED;
    config.y = SDL_WINDOWPOS_CENTERED;
    config.width = 640;
    config.height = 480;
    config.flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    config.title = "Taldrift";
}

void gameInit(Game&) {}

bool gameUpdate(Game&, float) {
    bool running = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            running = false;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
            running = false;
    }
    return running;
}

void gameDraw(Game&) {
    glClear(GL_COLOR_BUFFER_BIT);
}

void gamePostRender(Game&) {}

void gameShutdown(Game&) {}
