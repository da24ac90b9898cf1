// The start-up failure's message box on Windows. The box is shown from this process (SDL calls
// the system's MessageBox), which keeps running while it is up; Ctrl+C, Ctrl+Break or closing the
// console the program was started from then end the program with exit code 1, box and all.
#include "startup_failure.h"

#include <SDL.h>
#include <windows.h>

// ---- Helpers -----------------------------------------------------------------------------------

// Ends the program while the box is up. Windows calls it on a thread of its own, so it ends the
// whole process rather than return to a console that would close it with another code.
static BOOL WINAPI endWithBox(DWORD) {
    ExitProcess(1);
    return TRUE;
}

// ---- Public functions --------------------------------------------------------------------------

void showStartUpFailure(const char* message, const char*) {
    SetConsoleCtrlHandler(endWithBox, TRUE);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Initialization Error", message, nullptr);
    SetConsoleCtrlHandler(endWithBox, FALSE);
}

const char* noDisplayAdvice() {
    return "start it from a signed-in Windows desktop";
}
