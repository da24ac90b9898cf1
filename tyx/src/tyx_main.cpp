// The engine's entry point: owns the process from start to exit. Starts SDL, the window, the
// OpenGL context, the audio device and the debug interface, then runs the game's hooks in a
// fixed-timestep loop (64 updates per simulated second, at most five per displayed frame) and
// tears everything down in order. The game is known only through its hooks and its Game record.
#include "audio.h"
#include "debug_ui.h"
#include "game.h"
#include "loop.h"
#include "render_context.h"
#include "tyx.h"

#include <SDL.h>
#include <cstring>

// Reports a start-up failure the way the player sees it: a message box, then exit code 1.
static int failStartUp(const char* message, bool quitSdl) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Initialization Error", message, nullptr);
    if (quitSdl)
        SDL_Quit();
    return 1;
}

// Opens the first joystick that is a game controller; no controller input is read anywhere.
static void openFirstGameController() {
    for (int index = 0; index < SDL_NumJoysticks(); index++) {
        if (SDL_IsGameController(index) && SDL_GameControllerOpen(index) != nullptr)
            return;
    }
}

// One displayed frame: the due updates, the draw, the swap, the error check and the sleep.
static bool runFrame(Game& game, SDL_Window* window, LoopClock& clock) {
    bool running = runFrameUpdates(clock, SDL_GetPerformanceCounter,
                                   [&] { return gameUpdate(game, clock.dt); });
    debugUiNewFrame();
    gameDraw(game);
    debugUiRender();
    gamePostRender(game);
    SDL_GL_SwapWindow(window);
    checkGlError(__FILE__, __LINE__, false);
    int64_t sleep = sleepMilliseconds(clock, SDL_GetPerformanceCounter());
    if (sleep >= 0)
        SDL_Delay((Uint32)sleep);
    return running;
}

// Constructs the game, runs it until an update asks to stop and shuts everything down; the Game
// is destroyed last, after SDL_Quit.
static int runGame(SDL_Window* window) {
    LoopClock clock = makeLoopClock(SDL_GetPerformanceFrequency(), SDL_GetPerformanceCounter());
    Game game;
    gameInit(game);
    checkGlError(__FILE__, __LINE__, true);

    while (runFrame(game, window, clock)) {
    }

    gameShutdown(game);
    debugUiShutdown();
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER) != 0)
        return failStartUp("Unable to initialize SDL", false);
    setContextAttributes();

    WindowConfig config;
    memset(&config, 0, sizeof(config));
    gameConfigureWindow(config);
    SDL_Window* window = SDL_CreateWindow(config.title, config.x, config.y, config.width,
                                          config.height, config.flags);
    if (window == nullptr)
        return failStartUp("Unable to create window!", true);
    if (!createRenderContext(window))
        return failStartUp("Unable to create renderer!", true);
    if (!audioOpen())
        return failStartUp("Unable to initialize audio!", true);
    SDL_GL_SetSwapInterval(1);
    debugUiInit(window);
    openFirstGameController();

    return runGame(window);
}
