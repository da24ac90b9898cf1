// The start-up failure on a web page: the page shows the "Initialization Error" message with its
// reason in place of the game (the page's showStartUpFailure), since a browser has no message box
// that would not block the page. The exit code follows when main returns.
#include "startup_failure.h"

#include <emscripten.h>

void showStartUpFailure(const char* message, const char* reason) {
    // clang-format off
    EM_ASM({
        var message = UTF8ToString($0);
        var reason = UTF8ToString($1);
        if (typeof Module.showStartUpFailure === 'function')
            Module.showStartUpFailure(message, reason);
        else
            alert('Initialization Error\n\n' + message + '\n(' + reason + ')');
    }, message, reason);
    // clang-format on
}

const char* noDisplayAdvice() {
    return "open the page in a browser with WebGL 2";
}
