// Memory in WebAssembly: the program's linear memory, all of which the engine running it holds;
// what the engine itself uses besides is not the program's to see.
#include "process_memory.h"

int64_t residentKiB() {
    // Memory 0 counts in pages of 64 KiB.
    return (int64_t)__builtin_wasm_memory_size(0) * 64;
}
