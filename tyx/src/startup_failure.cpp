// The start-up failure report every platform shares: the line on standard error, then the
// platform's own way of showing the failure (startup_failure_<platform>.cpp).
#include "startup_failure.h"

#include <cstdio>
#include <cstring>

int reportStartUpFailure(const char* message, const char* reason) {
    fprintf(stderr, "Initialization Error: %s (%s)\n", message, reason);
    fflush(stderr);
    showStartUpFailure(message, reason);
    return 1;
}

bool videoDriverShowsNothing(const char* driver) {
    return driver != nullptr && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0);
}
