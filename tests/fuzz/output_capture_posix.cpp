// Standard output captured on POSIX systems: stdout points at a memory stream for the while.
#include "output_capture.h"

#include <cstdio>
#include <cstdlib>

bool captureStandardOutput(void (*run)(void*), void* context, std::string& printed) {
    char* text = nullptr;
    size_t size = 0;
    FILE* buffer = open_memstream(&text, &size);
    if (!buffer)
        return false;
    FILE* saved = stdout;
    stdout = buffer;
    run(context);
    stdout = saved;
    fclose(buffer);
    printed.assign(text, size);
    free(text);
    return true;
}
