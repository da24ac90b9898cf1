// Start-up failures as the player sees them: the reason on standard error, the "Initialization
// Error" message box wherever a display can show one, and exit code 1. A box left on an unattended
// screen must not keep the program alive, so SIGTERM or SIGINT while it is up ends the program with
// exit code 1 as well, box included.
#pragma once

// Prints "Initialization Error: MESSAGE (REASON)" on standard error, shows MESSAGE in the box and
// waits until the box is dismissed or cannot be shown. Returns the exit code, 1.
int reportStartUpFailure(const char* message, const char* reason);
// Whether SDL's video driver of this name shows nothing: SDL falls back on such a driver when it
// can reach no display, and the game would then run where nobody can see it.
bool videoDriverShowsNothing(const char* driver);
