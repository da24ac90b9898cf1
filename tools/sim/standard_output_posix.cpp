// Standard output on POSIX systems: a stream carries bytes unchanged already.
#include "standard_output.h"

void makeStandardOutputBinary() {}
