// Standard output under node or in a browser: emscripten passes bytes through unchanged already.
#include "standard_output.h"

void makeStandardOutputBinary() {}
