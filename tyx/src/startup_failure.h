// Start-up failures as the player sees them: the reason on standard error, the "Initialization
// Error" message wherever the platform can show one, and exit code 1. A message left on an
// unattended screen must not keep the program alive: whatever ends a program there (SIGTERM or
// SIGINT on POSIX systems) ends it with exit code 1 as well, message included. How the message is
// shown is each platform's own, in startup_failure_<platform>.cpp.
#pragma once

// Prints "Initialization Error: MESSAGE (REASON)" on standard error, shows MESSAGE and waits until
// it is dismissed or cannot be shown. Returns the exit code, 1.
int reportStartUpFailure(const char* message, const char* reason);
// Whether SDL's video driver of this name shows nothing: SDL falls back on such a driver when it
// can reach no display, and the game would then run where nobody can see it.
bool videoDriverShowsNothing(const char* driver);

// ---- What each platform provides ---------------------------------------------------------------

// Shows the "Initialization Error" message for MESSAGE (REASON already went to standard error) and
// returns once it is dismissed or cannot be shown.
void showStartUpFailure(const char* message, const char* reason);
// What to tell a player whose display could not be reached, for the no-display failure's reason.
const char* noDisplayAdvice();
