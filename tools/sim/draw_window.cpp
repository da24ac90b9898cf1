// The simulator's window. Frames go through gameDraw, the hook the engine calls, so what is
// measured is what the game draws; the debug interface is left out, as the game gives it nothing
// to draw.
#include "draw_window.h"

#include "play_screen.h"
#include "render_context.h"
#include "shaders.h"
#include "text.h"
#include "tyx.h"

#include <algorithm>

bool openDrawWindow(DrawWindow& window, std::string& error) {
    if (!platformCanDraw(error))
        return false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("drawing needs a display: ") + SDL_GetError();
        return false;
    }
    // Without a display SDL falls back to drivers that draw nowhere anyone can see.
    std::string driver = SDL_GetCurrentVideoDriver();
    if (driver == "offscreen" || driver == "dummy") {
        error = "drawing needs a display (none found: set DISPLAY, or run under xvfb-run)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    setContextAttributes();
    window.window = SDL_CreateWindow("taldrift-sim", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     640, 480, SDL_WINDOW_OPENGL);
    if (window.window == nullptr) {
        error = std::string("cannot open a window to draw in: ") + SDL_GetError();
        return false;
    }
    if (!createRenderContext(window.window)) {
        error = std::string("no OpenGL 3.2 context for the window: ") + SDL_GetError();
        closeDrawWindow(window);
        return false;
    }
    initRenderer();
    initText();
    if (renderer.flatColorProgram == 0 || textProgram == 0) {
        error = "cannot build the shader programs from resources/shaders/ (run from the "
                "repository root)";
        closeDrawWindow(window);
        return false;
    }
    return true;
}

void drawFrame(DrawWindow& window, Game& game) {
    game.screen = playScreen;
    uint64_t before = drawCallCount();
    gameDraw(game);
    uint64_t calls = drawCallCount() - before;
    SDL_GL_SwapWindow(window.window);
    if (game.player.alive) {
        window.aliveFrames++;
        window.aliveCallsTotal += calls;
        window.aliveCallsMax = std::max(window.aliveCallsMax, calls);
        window.blockCallsMax = std::max(window.blockCallsMax, calls);
    }
}

double meanDrawCalls(const DrawWindow& window) {
    if (window.aliveFrames == 0)
        return 0.0;
    return (double)window.aliveCallsTotal / (double)window.aliveFrames;
}

void closeDrawWindow(DrawWindow& window) {
    if (window.window != nullptr)
        SDL_DestroyWindow(window.window);
    window.window = nullptr;
}
