// Standard output captured while an operation runs, for the fuzz targets that check what it
// printed. How it is captured is each platform's own (output_capture_<platform>.cpp).
#pragma once

#include <string>

// Runs run(context) with standard output going to a buffer and puts what it printed in printed;
// false when no buffer could be had.
bool captureStandardOutput(void (*run)(void*), void* context, std::string& printed);
