// Standard output as the simulator writes it: every byte printed reaches the file or pipe as it
// is, so a trace is the same bytes on every platform. Each platform sees to it in a file of its
// own (standard_output_<platform>.cpp); the build picks one.
#pragma once

// Makes standard output carry bytes unchanged (no line ending turned into another).
void makeStandardOutputBinary();
