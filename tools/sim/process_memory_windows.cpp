// Memory on Windows: the process's working set, the system's own count of the memory the process
// holds in physical memory.
#include "process_memory.h"

// psapi.h needs the types windows.h declares first.
#include <windows.h>

#include <psapi.h>

int64_t residentKiB() {
    PROCESS_MEMORY_COUNTERS counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return -1;
    return (int64_t)(counters.WorkingSetSize / 1024);
}
