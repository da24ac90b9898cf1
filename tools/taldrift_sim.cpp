// taldrift-sim: runs the real play screen without a window, OpenGL or debug interface, for tests,
// replays and measurements. Input comes from a file of key events, pushed into SDL's event queue
// before the update they belong to, so the play screen reads them through its own poll.
//
//   taldrift-sim [--seed N] [--steps K] [--input FILE] [--quiet]
//
// Output, tab-separated, in the order things happen: a "chunk" line for every chunk generated and
// a "step" line after every update. With --quiet, one summary line on standard error instead.
#include "game.h"
#include "level_generator.h"
#include "play_screen.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct KeyEvent {
    int64_t step;
    SDL_Keycode key;
    bool down;
};

struct Options {
    uint32_t seed = 1;
    int64_t steps = 640;
    const char* inputPath = nullptr;
    bool quiet = false;
};

static const char usage[] = "usage: taldrift-sim [--seed N] [--steps K] [--input FILE] [--quiet]\n";

static bool printLines = true;
static int64_t chunksGenerated = 0;

// ---- Command line ------------------------------------------------------------------------------

// Parses a whole decimal number in [low, high]; false on anything else.
static bool parseNumber(const std::string& text, int64_t low, int64_t high, int64_t& out) {
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

// Returns 0 when the options were understood, otherwise the exit code after printing usage.
static int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        int64_t number = 0;
        if (option == "--quiet") {
            options.quiet = true;
        } else if (option == "--seed" && hasValue &&
                   parseNumber(argv[i + 1], 0, UINT32_MAX, number)) {
            options.seed = (uint32_t)number;
            i++;
        } else if (option == "--steps" && hasValue &&
                   parseNumber(argv[i + 1], 0, INT64_MAX / 2, number)) {
            options.steps = number;
            i++;
        } else if (option == "--input" && hasValue) {
            options.inputPath = argv[i + 1];
            i++;
        } else {
            fputs(usage, stderr);
            return 2;
        }
    }
    return 0;
}

// Reads "<step> <x|c|escape> <down|up>" lines, in any order; blank lines and # comments are
// skipped. The events come back ordered by step, those of one step in file order. On a bad line or
// an unreadable file prints the reason and returns false.
static bool readInput(const char* path, std::vector<KeyEvent>& events) {
    std::ifstream file(path);
    if (!file) {
        fprintf(stderr, "taldrift-sim: cannot read input file %s\n", path);
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
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
                    parseNumber(stepText, 1, INT64_MAX / 2, event.step);
        if (good) {
            if (keyText == "x")
                event.key = SDLK_x;
            else if (keyText == "c")
                event.key = SDLK_c;
            else if (keyText == "escape")
                event.key = SDLK_ESCAPE;
            else
                good = false;
        }
        if (good && (directionText == "down" || directionText == "up"))
            event.down = directionText == "down";
        else
            good = false;
        if (!good) {
            fprintf(stderr,
                    "taldrift-sim: %s:%d: expected \"<step> <x|c|escape> <down|up>\", got \"%s\"\n",
                    path, lineNumber, line.c_str());
            return false;
        }
        events.push_back(event);
    }
    // A directory opens like a file but cannot be read.
    if (file.bad()) {
        fprintf(stderr, "taldrift-sim: cannot read input file %s\n", path);
        return false;
    }
    // The replay walks the events once, step by step: a line for an earlier step further down the
    // file would otherwise never be sent.
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.step < b.step; });
    return true;
}

// ---- Simulation --------------------------------------------------------------------------------

static void printChunk(int32_t templateIndex, Vec2 origin) {
    chunksGenerated++;
    if (printLines)
        printf("chunk\t%" PRId64 "\t%d\t%.9g\t%.9g\n", chunksGenerated, templateIndex,
               (double)origin.x, (double)origin.y);
}

static void printStep(int64_t step, const Game& game) {
    const Player& player = game.player;
    printf("step\t%" PRId64 "\t%.9g\t%.9g\t%.9g\t%.9g\t%d\t%d\t%.9g\t%.9g\n", step,
           (double)player.position.x, (double)player.position.y, (double)player.velocity.x,
           (double)player.velocity.y, player.motionState, player.alive ? 1 : 0, (double)game.score,
           (double)game.groundY);
}

static void pushKey(const KeyEvent& key) {
    SDL_Event event;
    SDL_zero(event);
    event.type = key.down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = key.down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = 0;
    event.key.keysym.sym = key.key;
    SDL_PushEvent(&event);
}

int main(int argc, char** argv) {
    Options options;
    if (int code = parseOptions(argc, argv, options))
        return code;
    std::vector<KeyEvent> events;
    if (options.inputPath != nullptr && !readInput(options.inputPath, events))
        return 2;
    if (SDL_Init(SDL_INIT_EVENTS) != 0) {
        fprintf(stderr, "taldrift-sim: cannot start SDL's event queue: %s\n", SDL_GetError());
        return 1;
    }

    printLines = !options.quiet;
    randomSeedOverride = options.seed;
    chunkGenerated = printChunk;

    // The camera the real game starts with, from its 640x480 window.
    Game game;
    game.camera.size = Vec2(640.0f, 480.0f);
    const float dt = 1.0f / 64.0f;

    size_t nextEvent = 0;
    int64_t step = 0;
    auto start = std::chrono::steady_clock::now();
    while (step < options.steps) {
        step++;
        while (nextEvent < events.size() && events[nextEvent].step <= step) {
            if (events[nextEvent].step == step)
                pushKey(events[nextEvent]);
            nextEvent++;
        }
        bool running = playUpdate(game, dt);
        if (printLines)
            printStep(step, game);
        if (!running)
            break;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (options.quiet) {
        fprintf(stderr,
                "steps=%" PRId64 " updates_per_s=%.0f runs=%d chunks=%" PRId64
                " platforms=%d ledge_markers=%d fill_polygons=%d\n",
                step, seconds > 0.0 ? (double)step / seconds : 0.0, runsStarted(), chunksGenerated,
                game.platforms.count, game.ledgeMarkers.count, game.fillPolygons.count);
    }
    // The level and the template table live until the process ends in the game; freed here so
    // that leak checkers see only real leaks.
    releaseLevel(game);
    releaseChunkTemplates();
    fflush(stdout);
    SDL_Quit();
    return 0;
}
