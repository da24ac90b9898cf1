// The browser's main loop: the browser paces the frames (its animation frames, through
// emscripten's main loop), so nothing here blocks or sleeps; each frame runs the due updates by
// the same rule as the desktop. When a frame reports that the game should stop, the loop is
// cancelled, the shutdown runs and the program exits with its code, which the page is told.
#include "loop.h"

#include <emscripten.h>

// ---- Data --------------------------------------------------------------------------------------

// The loop outlives the call of main that started it.
static MainLoop activeLoop;

// ---- Helpers -----------------------------------------------------------------------------------

// One animation frame of the browser.
static void runBrowserFrame() {
    if (activeLoop.frame(activeLoop.context))
        return;
    emscripten_cancel_main_loop();
    int code = activeLoop.finish(activeLoop.context);
    // Ends the runtime even though a main loop was running, so that the page hears the exit code.
    emscripten_force_exit(code);
}

// ---- Public functions --------------------------------------------------------------------------

int runMainLoop(const MainLoop& loop) {
    activeLoop = loop;
    // Frames at the browser's own rate (0: requestAnimationFrame). Main never returns from here:
    // emscripten unwinds its stack and the browser calls the frames from then on.
    emscripten_set_main_loop(runBrowserFrame, 0, true);
    return 0;
}
