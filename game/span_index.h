// Things laid out along x, kept sorted by their left edge, each entry also holding the largest
// right edge up to it. That largest right edge only grows along the entries, and so does the left
// edge, so two binary searches bound the run of entries that may reach into a range of x. The
// level's fill-polygon and ledge-marker indexes are built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

template <typename Record> struct SpanEntry {
    float left;           // the record's smallest x
    float right;          // its largest x
    float rightSoFar;     // the largest right of this entry and of every entry before it
    const Record* record; // owned by the level
};

// Inserts a record's span in left-edge order and brings the entries' rightSoFar up to date.
template <typename Record>
void insertSpan(std::vector<SpanEntry<Record>>& entries, float left, float right,
                const Record* record) {
    // Records arrive in the order the level grows to the right, so this is nearly always the end.
    size_t position = entries.size();
    while (position > 0 && entries[position - 1].left > left)
        position--;
    entries.insert(entries.begin() + (std::ptrdiff_t)position,
                   SpanEntry<Record>{left, right, right, record});
    for (size_t i = position; i < entries.size(); i++) {
        SpanEntry<Record>& entry = entries[i];
        float before = i > 0 ? entries[i - 1].rightSoFar : entry.right;
        entry.rightSoFar = entry.right > before ? entry.right : before;
    }
}

// The entries [first, end) that may reach into a range: those before first have a rightSoFar for
// which endsLeft holds (they all lie wholly left of it), those from end on a left for which
// startsRight holds (wholly right of it). Both tests must hold for a leading or trailing run only.
template <typename Record, typename EndsLeft, typename StartsRight>
void findSpans(const std::vector<SpanEntry<Record>>& entries, EndsLeft endsLeft,
               StartsRight startsRight, int32_t& first, int32_t& end) {
    int32_t low = 0;
    int32_t high = (int32_t)entries.size();
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (endsLeft(entries[(size_t)middle].rightSoFar))
            low = middle + 1;
        else
            high = middle;
    }
    first = low;
    high = (int32_t)entries.size();
    while (low < high) {
        int32_t middle = low + (high - low) / 2;
        if (startsRight(entries[(size_t)middle].left))
            high = middle;
        else
            low = middle + 1;
    }
    end = low;
}
