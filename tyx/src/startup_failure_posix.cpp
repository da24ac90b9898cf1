// The start-up failure's message box on POSIX systems. SDL shows its box from a process of its own
// and, in the process that waits for it, a signal would only queue a quit event that nobody reads;
// so the box runs in a child process group that a signal handler here can end together with the
// program.
#include "startup_failure.h"

#include <SDL.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

// ---- Data --------------------------------------------------------------------------------------

// The process group the box runs in; 0 while there is none.
static volatile sig_atomic_t boxGroup = 0;

// ---- Helpers -----------------------------------------------------------------------------------

// Ends the program while the box is up. Only async-signal-safe calls: kill and _exit.
static void endWithBox(int) {
    if (boxGroup > 0)
        kill(-(pid_t)boxGroup, SIGKILL);
    _exit(1);
}

// SDL's box needs a video driver that shows something: on one that does not it fails, or crashes
// trying. Then the box is shown through the first that can reach a display, if any can.
static void showBox(const char* message) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 && videoDriverShowsNothing(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (SDL_VideoInit("x11") != 0 && SDL_VideoInit("wayland") != 0)
            return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Initialization Error", message, nullptr);
}

// ---- Public functions --------------------------------------------------------------------------

void showStartUpFailure(const char* message, const char*) {
    struct sigaction ending;
    memset(&ending, 0, sizeof(ending));
    ending.sa_handler = endWithBox;
    sigemptyset(&ending.sa_mask);
    sigset_t signals;
    sigset_t previous;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    // Held back until the box's group is known, so that a signal never leaves the box behind.
    pthread_sigmask(SIG_BLOCK, &signals, &previous);
    sigaction(SIGTERM, &ending, nullptr);
    sigaction(SIGINT, &ending, nullptr);

    pid_t box = fork();
    if (box == 0) {
        // The box's process: a group of its own, which whatever SDL starts for the box joins.
        setpgid(0, 0);
        signal(SIGTERM, SIG_DFL);
        signal(SIGINT, SIG_DFL);
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        showBox(message);
        _exit(0);
    }
    if (box > 0) {
        // Also here, so that the group exists whichever process runs first.
        setpgid(box, box);
        boxGroup = box;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    if (box < 0) {
        // No process to spare: the box is shown from this one; a signal still ends the program.
        showBox(message);
        return;
    }
    int status = 0;
    while (waitpid(box, &status, 0) == -1 && errno == EINTR) {
    }
    boxGroup = 0;
}

const char* noDisplayAdvice() {
    return "set DISPLAY, or run under xvfb-run -a";
}
