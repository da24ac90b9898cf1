// Drawing in the simulator built for WebAssembly: it runs under node, which has no window, canvas
// or WebGL to draw with (SDL's video would look for a page that is not there), so it runs without
// drawing only.
#include "draw_window.h"

bool platformCanDraw(std::string& error) {
    error = "drawing needs a display, and the simulator under node has none: use the native "
            "taldrift-sim to draw";
    return false;
}
