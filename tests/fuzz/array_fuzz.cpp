// Fuzz target for the engine's array: a sequence of operations (add, get, removeAt, deleteAll)
// with valid and invalid indexes, run on an Array of pointers to records and, in step, on a
// std::vector that serves as the reference. After every operation the two must hold the same
// elements in the same order, the storage must have grown exactly as doubling from 8 gives, and
// the line printed to standard output must be the one a bad index calls for (none for a good
// one). Every record is freed exactly once, so the sanitizers also see any double delete or leak.
#include "array.h"
#include "output_capture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Record {
    int32_t value;
};

// Reads the input a byte at a time; past the end every read is zero.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool done() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    int32_t i32() {
        uint32_t v = 0;
        for (int k = 0; k < 4; k++)
            v |= (uint32_t)byte() << (8 * k);
        return (int32_t)v;
    }
};

[[noreturn]] void fail(const std::string& what) {
    fprintf(stderr, "array disagreement: %s\n", what.c_str());
    abort();
}

// An index for get or removeAt: mostly a valid one, else one of the edges around the valid
// range, else any value at all.
int32_t readIndex(Reader& in, int32_t count) {
    uint8_t kind = in.byte() % 4;
    if (kind <= 1)
        return count > 0 ? in.byte() % count : 0;
    if (kind == 2) {
        const int32_t edges[] = {-1, count, count + 1, INT32_MIN, INT32_MAX};
        return edges[in.byte() % 5];
    }
    return in.i32();
}

// Runs operation while standard output goes to a buffer, and returns what it printed.
template <typename Operation> std::string capture(Operation operation) {
    std::string printed;
    if (!captureStandardOutput([](void* run) { (*(Operation*)run)(); }, &operation, printed))
        fail("cannot capture standard output");
    return printed;
}

std::string invalidIndexLine(const char* format, int32_t index, int32_t count) {
    char line[128];
    snprintf(line, sizeof line, format, index, count - 1);
    return line;
}

// The capacity doubling from 8 gives for the largest count the array has held.
int32_t expectedCapacity(size_t largestCount) {
    int32_t capacity = 8;
    while ((size_t)capacity < largestCount)
        capacity *= 2;
    return capacity;
}

void compare(const Array<Record*>& array, const std::vector<Record*>& reference,
             size_t largestCount, const char* after) {
    if (array.count != (int32_t)reference.size())
        fail(std::string("count after ") + after + " is " + std::to_string(array.count) + ", not " +
             std::to_string(reference.size()));
    if (array.capacity != expectedCapacity(largestCount))
        fail(std::string("capacity after ") + after + " is " + std::to_string(array.capacity) +
             ", not " + std::to_string(expectedCapacity(largestCount)));
    for (size_t i = 0; i < reference.size(); i++) {
        if (array.data[i] != reference[i])
            fail(std::string("slot ") + std::to_string(i) + " differs after " + after);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    Array<Record*> array;
    std::vector<Record*> reference;
    size_t largestCount = 0;
    int32_t made = 0;
    // Bounded so that one input cannot run for long.
    for (int32_t operation = 0; operation < 4096 && !in.done(); operation++) {
        uint8_t code = in.byte() % 8;
        const char* name;
        if (code <= 2) {
            name = "add";
            Record* record = new Record{made++};
            array.add(record);
            reference.push_back(record);
            largestCount = std::max(largestCount, reference.size());
        } else if (code <= 4) {
            name = "get";
            int32_t index = readIndex(in, array.count);
            Record* got = nullptr;
            std::string printed = capture([&] { got = array.get(index); });
            bool valid = index >= 0 && (size_t)index < reference.size();
            Record* want = valid ? reference[index] : nullptr;
            std::string line =
                valid ? ""
                      : invalidIndexLine("Invalid index %i requested, valid range is [0-%i]\n",
                                         index, (int32_t)reference.size());
            if (got != want)
                fail("get(" + std::to_string(index) + ") returned the wrong element");
            if (printed != line)
                fail("get(" + std::to_string(index) + ") printed \"" + printed + "\"");
        } else if (code <= 6) {
            name = "removeAt";
            int32_t index = readIndex(in, array.count);
            std::string printed = capture([&] { array.removeAt(index); });
            bool valid = index >= 0 && (size_t)index < reference.size();
            std::string line =
                valid ? ""
                      : invalidIndexLine("Attempt to remove invalid index %i, valid range is "
                                         "[0-%i]\n",
                                         index, (int32_t)reference.size());
            if (printed != line)
                fail("removeAt(" + std::to_string(index) + ") printed \"" + printed + "\"");
            if (valid) {
                // The owner frees what it removes; the last element fills the hole.
                delete reference[index];
                reference[index] = reference.back();
                reference.pop_back();
            }
        } else {
            name = "deleteAll";
            std::string printed = capture([&] { array.deleteAll(); });
            if (!printed.empty())
                fail("deleteAll printed \"" + printed + "\"");
            reference.clear();
        }
        compare(array, reference, largestCount, name);
    }
    array.deleteAll();
    return 0;
}
