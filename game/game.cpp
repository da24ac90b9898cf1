// The game's hooks: what the engine calls each step and frame, and the screen switch behind them.
// The screens poll the event queue themselves; the update hook only peeks at it, for the events
// that matter whatever screen is current (window close and resize).
#include "game.h"

#include "debug_ui.h"
#include "gl_api.h"
#include "shaders.h"
#include "text.h"
#include "title_screen.h"
#include "tyx.h"

#include <SDL.h>

// Events the update hook looks at per step; anything behind them waits for the screen's poll.
static const int peekedEventsPerStep = 16;

void gameConfigureWindow(WindowConfig& config) {
    config.x = SDL_WINDOWPOS_CENTERED;
    config.y = SDL_WINDOWPOS_CENTERED;
    config.width = 640;
    config.height = 480;
    config.flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    config.title = "Taldrift";
}

void gameInit(Game& game) {
    game.screen = titleScreen;
    game.camera.position = Vec2(0.0f, 0.0f);
    // Fixed here for the whole run: a resized window stretches the same world extent.
    game.camera.size = toVec2(getWindowSize());
    debugUiDisableSettingsFile();
    initRenderer();
    initText();
}

bool gameUpdate(Game& game, float dt) {
    SDL_PumpEvents();
    SDL_Event events[peekedEventsPerStep];
    // Peeked events stay queued for the screen's own poll.
    int count = SDL_PeepEvents(events, peekedEventsPerStep, SDL_PEEKEVENT, 0, 0xFFFF);
    for (int i = 0; i < count; i++) {
        const SDL_Event& event = events[i];
        // The quit stays queued, so every later step stops here too without running the screen.
        if (event.type == SDL_QUIT)
            return false;
        if (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_RESIZED ||
                                              event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
            glViewport(0, 0, event.window.data1, event.window.data2);
    }
    return game.screen.update(game, dt);
}

void gameDraw(Game& game) {
    // No clear colour is ever set: every frame starts from transparent black.
    glClear(GL_COLOR_BUFFER_BIT);
    game.screen.draw(game);
}

void gamePostRender(Game&) {}

void gameShutdown(Game&) {}
