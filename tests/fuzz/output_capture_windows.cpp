// Standard output captured on Windows, where stdout cannot be pointed elsewhere and there are no
// memory streams: its descriptor is made a temporary file's for the while, in binary mode so
// that line endings stay as printed.
#include "output_capture.h"
#include "scratch_folder.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

bool captureStandardOutput(void (*run)(void*), void* context, std::string& printed) {
    ScratchFolder folder("taldrift_capture");
    if (folder.path.empty())
        return false;
    std::string path = (folder.path / "stdout").string();
    FILE* file = fopen(path.c_str(), "w+b");
    if (!file)
        return false;
    fflush(stdout);
    int out = _fileno(stdout);
    int saved = _dup(out);
    _dup2(_fileno(file), out);
    int mode = _setmode(out, _O_BINARY);
    run(context);
    fflush(stdout);
    _setmode(out, mode);
    _dup2(saved, out);
    _close(saved);
    printed.clear();
    rewind(file);
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        printed.append(chunk, got);
    fclose(file);
    return true;
}
