// taldrift-sim: runs the real play screen without a window, OpenGL or debug interface, for tests,
// replays and measurements. Input comes from a file of key events, pushed into SDL's event queue
// before the update they belong to, so the play screen reads them through its own poll.
//
//   taldrift-sim [--seed N] [--steps K] [--input FILE] [--quiet] [--map FILE.svg]
//   taldrift-sim --templates FILE.svg
//
// Output, tab-separated, in the order things happen: a "chunk" line for every chunk generated and
// a "step" line after every update. With --quiet, one summary line on standard error instead.
// --map also draws the level and the player's path as a picture; --templates draws the template
// sheet and runs nothing.
#include "game.h"
#include "key_script.h"
#include "level_generator.h"
#include "level_map.h"
#include "play_screen.h"
#include "template_sheet.h"

#include <SDL.h>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

struct Options {
    uint32_t seed = 1;
    int64_t steps = 640;
    const char* inputPath = nullptr;
    bool quiet = false;
    const char* mapPath = nullptr;
    const char* templatesPath = nullptr;
    bool runOptions = false; // any option that only a run uses
};

static const char usage[] =
    "usage: taldrift-sim [--seed N] [--steps K] [--input FILE] [--quiet] [--map FILE.svg]\n"
    "       taldrift-sim --templates FILE.svg\n";

static bool printLines = true;
static int64_t chunksGenerated = 0;
static LevelMap* levelMap = nullptr;

// ---- Command line ------------------------------------------------------------------------------

// Returns 0 when the options were understood, otherwise the exit code after printing usage.
static int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        int64_t number = 0;
        if (option == "--quiet") {
            options.quiet = true;
            options.runOptions = true;
        } else if (option == "--seed" && hasValue &&
                   parseNumber(argv[i + 1], 0, UINT32_MAX, number)) {
            options.seed = (uint32_t)number;
            options.runOptions = true;
            i++;
        } else if (option == "--steps" && hasValue &&
                   parseNumber(argv[i + 1], 0, INT64_MAX / 2, number)) {
            options.steps = number;
            options.runOptions = true;
            i++;
        } else if (option == "--input" && hasValue) {
            options.inputPath = argv[i + 1];
            options.runOptions = true;
            i++;
        } else if (option == "--map" && hasValue) {
            options.mapPath = argv[i + 1];
            options.runOptions = true;
            i++;
        } else if (option == "--templates" && hasValue) {
            options.templatesPath = argv[i + 1];
            i++;
        } else {
            fputs(usage, stderr);
            return 2;
        }
    }
    if (options.templatesPath != nullptr && options.runOptions) {
        fputs("taldrift-sim: --templates draws the template sheet and runs nothing; it takes no "
              "other option\n",
              stderr);
        return 2;
    }
    return 0;
}

// ---- Pictures ----------------------------------------------------------------------------------

// Opens a picture's file before any work, so that a long run never ends in a file it cannot write.
static bool openPicture(const char* path, std::ofstream& file) {
    file.open(path, std::ios::binary | std::ios::trunc);
    if (!file)
        fprintf(stderr, "taldrift-sim: cannot write %s\n", path);
    return (bool)file;
}

// Closes a written picture; false, after saying so, when it did not all reach the file.
static bool closePicture(const char* path, std::ofstream& file) {
    file.close();
    if (!file)
        fprintf(stderr, "taldrift-sim: writing %s failed\n", path);
    return (bool)file;
}

static int drawTemplateSheet(const char* path) {
    std::ofstream file;
    if (!openPicture(path, file))
        return 1;
    buildChunkTemplates();
    writeTemplateSheet(file);
    releaseChunkTemplates();
    return closePicture(path, file) ? 0 : 1;
}

// What the map's caption says the run was.
static std::string mapCaption(const Options& options, int64_t steps) {
    std::string caption = "Taldrift level map: seed " + std::to_string(options.seed) + ", " +
                          std::to_string(steps) + " steps, ";
    caption += options.inputPath != nullptr ? std::string("input ") + options.inputPath
                                            : std::string("no input");
    return caption;
}

// ---- Simulation --------------------------------------------------------------------------------

static void printChunk(int32_t templateIndex, Vec2 origin) {
    chunksGenerated++;
    if (printLines)
        printf("chunk\t%" PRId64 "\t%d\t%.9g\t%.9g\n", chunksGenerated, templateIndex,
               (double)origin.x, (double)origin.y);
    if (levelMap != nullptr)
        mapChunk(*levelMap, templateIndex, origin);
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
    if (options.templatesPath != nullptr)
        return drawTemplateSheet(options.templatesPath);
    std::ofstream mapFile;
    LevelMap map;
    if (options.mapPath != nullptr) {
        if (!openPicture(options.mapPath, mapFile))
            return 1;
        levelMap = &map;
    }
    std::vector<KeyEvent> events;
    std::string error;
    if (options.inputPath != nullptr && !readKeyScript(options.inputPath, events, error)) {
        fprintf(stderr, "taldrift-sim: %s\n", error.c_str());
        return 2;
    }
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
        if (levelMap != nullptr)
            mapStep(map, game.player);
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
    bool pictureWritten = true;
    if (levelMap != nullptr) {
        mapFinish(map, game.player);
        writeLevelMap(map, mapCaption(options, step), mapFile);
        pictureWritten = closePicture(options.mapPath, mapFile);
    }
    // The level and the template table live until the process ends in the game; freed here so
    // that leak checkers see only real leaks.
    releaseLevel(game);
    releaseChunkTemplates();
    fflush(stdout);
    SDL_Quit();
    return pictureWritten ? 0 : 1;
}
