// The engine's entry point: owns the process from start to exit. Starts SDL, the window, the
// OpenGL context, the audio device and the debug interface, then runs the game's hooks in a
// fixed-timestep loop (64 updates per simulated second, at most five per displayed frame) and
// tears everything down in order. The game is known only through its hooks and its Game record.
#include "audio.h"
#include "debug_ui.h"
#include "game.h"
#include "loop.h"
#include "render_context.h"
#include "startup_failure.h"
#include "tyx.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

// The renderer reads its shader sources and the font image from under this folder, relative to the
// working directory.
static const char* const resourceFolder = "resources";

// Reports a start-up failure the way the player sees it (standard error, a message box), then
// exit code 1.
static int failStartUp(const char* message, const char* reason, bool quitSdl) {
    int code = reportStartUpFailure(message, reason);
    if (quitSdl)
        SDL_Quit();
    return code;
}

// SDL's own account of the last failure, or what to say when it gives none.
static const char* sdlReason(const char* otherwise) {
    const char* error = SDL_GetError();
    return error != nullptr && error[0] != '\0' ? error : otherwise;
}

// Opens the first joystick that is a game controller; no controller input is read anywhere.
static void openFirstGameController() {
    for (int index = 0; index < SDL_NumJoysticks(); index++) {
        if (SDL_IsGameController(index) && SDL_GameControllerOpen(index) != nullptr)
            return;
    }
}

// What the loop's frames and the shutdown work on. It lives on the heap: in a browser the loop
// goes on after the call of main that started it has returned.
struct Engine {
    SDL_Window* window = nullptr;
    LoopClock clock;
    Game game;
};

// One displayed frame: the due updates, the draw, the swap and the error check.
static bool runFrame(void* context) {
    Engine& engine = *(Engine*)context;
    bool running = runFrameUpdates(engine.clock, SDL_GetPerformanceCounter,
                                   [&] { return gameUpdate(engine.game, engine.clock.dt); });
    debugUiNewFrame();
    gameDraw(engine.game);
    debugUiRender();
    gamePostRender(engine.game);
    SDL_GL_SwapWindow(engine.window);
    checkGlError(__FILE__, __LINE__, false);
    return running;
}

// Shuts everything down once the loop has ended; the Game is destroyed last, after SDL_Quit.
static int shutDown(void* context) {
    Engine* engine = (Engine*)context;
    gameShutdown(engine->game);
    debugUiShutdown();
    SDL_DestroyWindow(engine->window);
    SDL_Quit();
    delete engine;
    return 0;
}

// Constructs the game, then runs it until an update asks to stop and shuts everything down.
static int runGame(SDL_Window* window) {
    LoopClock clock = makeLoopClock(SDL_GetPerformanceFrequency(), SDL_GetPerformanceCounter());
    Engine* engine = new Engine;
    engine->window = window;
    engine->clock = clock;
    gameInit(engine->game);
    checkGlError(__FILE__, __LINE__, true);
    return runMainLoop(MainLoop{&engine->clock, runFrame, shutDown, engine});
}

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER) != 0)
        return failStartUp("Unable to initialize SDL", sdlReason("SDL_Init failed"), false);
    // Without a reachable display SDL settles for a video driver that shows nothing, and the game
    // would run where nobody can see it.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (videoDriverShowsNothing(driver)) {
        char reason[256];
        snprintf(reason, sizeof(reason),
                 "SDL's video driver is \"%s\", which shows nothing: no display was found; %s",
                 driver, noDisplayAdvice());
        return failStartUp("Unable to create window!", reason, true);
    }
    // The shaders and the font are read from here; without the folder the window would stay black.
    std::error_code error;
    if (!std::filesystem::is_directory(resourceFolder, error))
        return failStartUp("Unable to find resources!",
                           "no folder named resources in the working directory; start the game "
                           "from the repository root",
                           true);
    setContextAttributes();

    WindowConfig config;
    memset(&config, 0, sizeof(config));
    gameConfigureWindow(config);
    SDL_Window* window = SDL_CreateWindow(config.title, config.x, config.y, config.width,
                                          config.height, config.flags);
    if (window == nullptr)
        return failStartUp("Unable to create window!", sdlReason("SDL_CreateWindow failed"), true);
    if (!createRenderContext(window))
        return failStartUp("Unable to create renderer!",
                           sdlReason("no OpenGL 3.2 core context on this display"), true);
    if (!audioOpen())
        return failStartUp("Unable to initialize audio!", sdlReason("no audio output device"),
                           true);
    SDL_GL_SetSwapInterval(1);
    debugUiInit(window);
    openFirstGameController();

    return runGame(window);
}
