// How much memory the simulator's process holds, as the operating system counts it. Each platform
// answers in a file of its own (process_memory_<platform>.cpp); the build picks one.
#pragma once

#include <cstdint>

// The process's resident memory in KiB; -1 where the system does not say.
int64_t residentKiB();
