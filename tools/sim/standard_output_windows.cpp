// Standard output on Windows: opened in text mode, which would end every line in CR LF; binary
// mode passes bytes through as they are.
#include "standard_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

void makeStandardOutputBinary() {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}
