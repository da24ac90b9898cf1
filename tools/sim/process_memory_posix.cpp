// Resident memory on POSIX systems, from the kernel's count of the process's pages in
// /proc/self/statm; systems without that file do not say.
#include "process_memory.h"

#include <cstdio>
#include <unistd.h>

int64_t residentKiB() {
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1;
    long long size = 0;
    long long resident = -1;
    bool read = fscanf(statm, "%lld %lld", &size, &resident) == 2;
    fclose(statm);
    long page = sysconf(_SC_PAGESIZE);
    return read && page > 0 ? (int64_t)(resident * (page / 1024)) : -1;
}
