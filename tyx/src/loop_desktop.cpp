// The desktop's main loop: blocks, running one frame after another, and sleeps after each until
// the next update is due.
#include "loop.h"

#include <SDL.h>

int runMainLoop(const MainLoop& loop) {
    bool running = true;
    while (running) {
        running = loop.frame(loop.context);
        int64_t sleep = sleepMilliseconds(*loop.clock, SDL_GetPerformanceCounter());
        if (sleep >= 0)
            SDL_Delay((Uint32)sleep);
    }
    return loop.finish(loop.context);
}
