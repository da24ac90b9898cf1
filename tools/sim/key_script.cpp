// Reading key scripts. Every line is checked whole, so a typo is reported with its line number
// rather than replayed as something else.
#include "key_script.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

bool parseNumber(const std::string& text, int64_t low, int64_t high, int64_t& out) {
    if (text.empty() || text.size() > 19)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    long long value = strtoll(text.c_str(), nullptr, 10);
    if (value < low || value > high)
        return false;
    out = value;
    return true;
}

// Fills event from one line's three fields; false when any of them is not what a script holds.
static bool parseEvent(const std::string& stepText, const std::string& keyText,
                       const std::string& directionText, KeyEvent& event) {
    if (!parseNumber(stepText, 1, INT64_MAX / 2, event.step))
        return false;
    if (keyText == "x")
        event.key = SDLK_x;
    else if (keyText == "c")
        event.key = SDLK_c;
    else if (keyText == "escape")
        event.key = SDLK_ESCAPE;
    else
        return false;
    if (directionText != "down" && directionText != "up")
        return false;
    event.down = directionText == "down";
    return true;
}

bool parseKeyScript(std::istream& in, const std::string& name, std::vector<KeyEvent>& events,
                    std::string& error) {
    std::string line;
    int64_t lineNumber = 0;
    while (std::getline(in, line)) {
        lineNumber++;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.resize(hash);
        std::istringstream fields(line);
        std::string stepText, keyText, directionText, extra;
        if (!(fields >> stepText))
            continue;
        KeyEvent event{};
        bool good = (fields >> keyText) && (fields >> directionText) && !(fields >> extra) &&
                    parseEvent(stepText, keyText, directionText, event);
        if (!good) {
            error = name + ":" + std::to_string(lineNumber) +
                    ": expected \"<step> <x|c|escape> <down|up>\", got \"" + line + "\"";
            return false;
        }
        events.push_back(event);
    }
    // A directory opens like a file but cannot be read.
    if (in.bad()) {
        error = "cannot read input file " + name;
        return false;
    }
    // A replay walks the events once, step by step: a line for an earlier step further down the
    // script would otherwise never be sent.
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.step < b.step; });
    return true;
}

bool readKeyScript(const char* path, std::vector<KeyEvent>& events, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::string("cannot read input file ") + path;
        return false;
    }
    return parseKeyScript(file, path, events, error);
}

bool writeKeyEvent(FILE* file, const KeyEvent& event) {
    const char* key = event.key == SDLK_x ? "x" : event.key == SDLK_c ? "c" : "escape";
    return fprintf(file, "%lld %s %s\n", (long long)event.step, key, event.down ? "down" : "up") >
           0;
}
