// Fuzz target for the simulator's key-script parser: the input is a whole script, lines of any
// bytes and length. The parser's answer is compared with a second reading written here from the
// format alone: the same events in the same order, or the same first malformed line, reported
// with its number and text. Any difference aborts.
#include "key_script.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The script's name in messages.
const char scriptName[] = "script.txt";

// What a reading of a script comes to: the events, or the number and text of the first bad line.
struct Reading {
    bool good = true;
    std::vector<KeyEvent> events;
    int64_t badLine = 0;
    std::string badText;
};

// The bytes the stream's field reading skips between fields (the "C" locale's white space).
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            i++;
        size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            i++;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A step: 1 to 19 decimal digits whose value lies in [1, INT64_MAX / 2].
bool readStep(const std::string& text, int64_t& step) {
    if (text.empty() || text.size() > 19)
        return false;
    unsigned __int128 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (unsigned)(c - '0');
    }
    if (value < 1 || value > (unsigned __int128)(INT64_MAX / 2))
        return false;
    step = (int64_t)value;
    return true;
}

bool readLine(const std::vector<std::string>& fields, KeyEvent& event) {
    if (fields.size() != 3 || !readStep(fields[0], event.step))
        return false;
    if (fields[1] == "x")
        event.key = SDLK_x;
    else if (fields[1] == "c")
        event.key = SDLK_c;
    else if (fields[1] == "escape")
        event.key = SDLK_ESCAPE;
    else
        return false;
    if (fields[2] != "down" && fields[2] != "up")
        return false;
    event.down = fields[2] == "down";
    return true;
}

// The reference reading: lines split at '\n', a '#' starts a comment, a line with no fields is
// skipped, any other must be exactly "<step> <x|c|escape> <down|up>". Events come out by step,
// those of one step in script order.
Reading referenceReading(const std::string& text) {
    Reading reading;
    std::map<int64_t, std::vector<KeyEvent>> byStep;
    size_t start = 0;
    int64_t number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        number++;
        line = line.substr(0, line.find('#'));
        std::vector<std::string> fields = fieldsOf(line);
        if (fields.empty())
            continue;
        KeyEvent event{};
        if (!readLine(fields, event)) {
            reading.good = false;
            reading.badLine = number;
            reading.badText = line;
            return reading;
        }
        byStep[event.step].push_back(event);
    }
    for (const auto& [step, events] : byStep)
        reading.events.insert(reading.events.end(), events.begin(), events.end());
    return reading;
}

[[noreturn]] void fail(const char* what, const std::string& detail) {
    fprintf(stderr, "key script disagreement: %s\n  %s\n", what, detail.c_str());
    abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    std::vector<KeyEvent> events;
    std::string error;
    bool good = parseKeyScript(in, scriptName, events, error);
    Reading expected = referenceReading(text);

    if (good != expected.good)
        fail(good ? "accepted a malformed script" : "rejected a good script", error);
    if (!good) {
        std::string message = std::string(scriptName) + ":" + std::to_string(expected.badLine) +
                              ": expected \"<step> <x|c|escape> <down|up>\", got \"" +
                              expected.badText + "\"";
        if (error != message)
            fail("wrong message for the first malformed line", error + "\n  expected " + message);
        return 0;
    }
    if (events.size() != expected.events.size())
        fail("wrong number of events", std::to_string(events.size()) + " instead of " +
                                           std::to_string(expected.events.size()));
    for (size_t i = 0; i < events.size(); i++) {
        const KeyEvent& got = events[i];
        const KeyEvent& want = expected.events[i];
        if (got.step != want.step || got.key != want.key || got.down != want.down)
            fail("events differ", "event " + std::to_string(i) + ": step " +
                                      std::to_string(got.step) + " instead of " +
                                      std::to_string(want.step));
    }
    return 0;
}
