// Key scripts: the simulator's input files, one key event a line ("<step> <x|c|escape> <down|up>",
// blank lines and # comments allowed), and the events they hold.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <string>
#include <vector>

// One key event, sent just before the update of the given step (steps count from 1).
struct KeyEvent {
    int64_t step;
    SDL_Keycode key;
    bool down;
};

// Parses a whole decimal number in [low, high]; false on anything else.
bool parseNumber(const std::string& text, int64_t low, int64_t high, int64_t& out);

// Reads a key script; name is used in messages only. The events come back ordered by step, those
// of one step in script order. On a malformed line returns false with the reason in error.
bool parseKeyScript(std::istream& in, const std::string& name, std::vector<KeyEvent>& events,
                    std::string& error);
// Reads a key script from a file; false with the reason in error when the file cannot be read or
// holds a malformed line.
bool readKeyScript(const char* path, std::vector<KeyEvent>& events, std::string& error);
// Writes one event as a script line; false when the write fails.
bool writeKeyEvent(FILE* file, const KeyEvent& event);
