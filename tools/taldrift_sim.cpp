// taldrift-sim: runs the real play screen without a window, OpenGL or debug interface, for tests,
// replays and measurements. Input comes from a file of key events or from the autopilot, pushed
// into SDL's event queue before the update they belong to, so the play screen reads them through
// its own poll.
//
//   taldrift-sim [--seed N] [--steps K] [--input FILE | --autopilot] [--record FILE]
//                [--draw-every N [--draw-from K] [--real-time]] [--timing FILE] [--quiet]
//                [--map FILE.svg] [--until-fall] [--start-x X] [--fall-after N]
//   taldrift-sim --templates FILE.svg
//
// Output, tab-separated, in the order things happen: a "chunk" line for every chunk generated and
// a "step" line after every update. With --quiet, one summary line on standard error instead.
// --map also draws the level and the player's path as a picture; --templates draws the template
// sheet and runs nothing. --until-fall ends the simulation with the first fall: every restart
// plays its seed's level again, so later runs would only repeat the first one's end.
#include "autopilot.h"
#include "chunk_log.h"
#include "draw_window.h"
#include "game.h"
#include "key_script.h"
#include "level_generator.h"
#include "level_map.h"
#include "play_screen.h"
#include "process_memory.h"
#include "run_stats.h"
#include "standard_output.h"
#include "template_sheet.h"

#include <SDL.h>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

struct Options {
    uint32_t seed = 1;
    int64_t steps = 640;
    const char* inputPath = nullptr;
    bool autopilot = false;
    const char* recordPath = nullptr;
    int64_t drawEvery = 0;
    int64_t drawFrom = 0; // the first update that may be drawn
    bool realTime = false;
    const char* timingPath = nullptr;
    bool quiet = false;
    const char* mapPath = nullptr;
    const char* templatesPath = nullptr;
    bool untilFall = false;
    int64_t startX = 0;
    int64_t fallAfter = 0;
    bool runOptions = false; // any option that only a run uses
};

static const char usage[] =
    "usage: taldrift-sim [--seed N] [--steps K] [--input FILE | --autopilot] [--record FILE]\n"
    "                    [--draw-every N [--draw-from K] [--real-time]] [--timing FILE] "
    "[--quiet]\n"
    "                    [--map FILE.svg] [--until-fall] [--start-x X] [--fall-after N]\n"
    "       taldrift-sim --templates FILE.svg\n";

// Updates per line of the timing file: one simulated minute.
static const int64_t timingBlock = 64 * 60;
// The farthest a run may be made to start from the origin, either way: 2^30, where a float's
// spacing is 128 units and the level no longer holds together.
static const int64_t farthestStart = 1073741824;

static bool printLines = true;
static ChunkLog chunkLog;
static LevelMap* levelMap = nullptr;
// The live run and what follows it, for the generator's and the shift's hooks.
static const Game* simGame = nullptr;
static RunStats* simStats = nullptr;
static Autopilot* simAutopilot = nullptr;
static double lastChunkX = 0.0; // the true x of the last chunk generated

// ---- Command line ------------------------------------------------------------------------------

// Returns 0 when the options were understood, otherwise the exit code after printing usage.
static int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        const char* value = hasValue ? argv[i + 1] : nullptr;
        int64_t number = 0;
        if (option == "--quiet") {
            options.quiet = true;
            options.runOptions = true;
        } else if (option == "--autopilot") {
            options.autopilot = true;
            options.runOptions = true;
        } else if (option == "--until-fall") {
            options.untilFall = true;
            options.runOptions = true;
        } else if (option == "--real-time") {
            options.realTime = true;
            options.runOptions = true;
        } else if (option == "--seed" && hasValue && parseNumber(value, 0, UINT32_MAX, number)) {
            options.seed = (uint32_t)number;
            options.runOptions = true;
            i++;
        } else if (option == "--steps" && hasValue &&
                   parseNumber(value, 0, INT64_MAX / 2, number)) {
            options.steps = number;
            options.runOptions = true;
            i++;
        } else if (option == "--draw-every" && hasValue &&
                   parseNumber(value, 1, INT64_MAX / 2, number)) {
            options.drawEvery = number;
            options.runOptions = true;
            i++;
        } else if (option == "--draw-from" && hasValue &&
                   parseNumber(value, 1, INT64_MAX / 2, number)) {
            options.drawFrom = number;
            options.runOptions = true;
            i++;
        } else if (option == "--input" && hasValue) {
            options.inputPath = value;
            options.runOptions = true;
            i++;
        } else if (option == "--record" && hasValue) {
            options.recordPath = value;
            options.runOptions = true;
            i++;
        } else if (option == "--timing" && hasValue) {
            options.timingPath = value;
            options.runOptions = true;
            i++;
        } else if (option == "--start-x" && hasValue &&
                   parseNumber(value[0] == '-' ? value + 1 : value, 0, farthestStart, number)) {
            options.startX = value[0] == '-' ? -number : number;
            options.runOptions = true;
            i++;
        } else if (option == "--fall-after" && hasValue &&
                   parseNumber(value, 1, INT64_MAX / 2, number)) {
            options.fallAfter = number;
            options.runOptions = true;
            i++;
        } else if (option == "--map" && hasValue) {
            options.mapPath = value;
            options.runOptions = true;
            i++;
        } else if (option == "--templates" && hasValue) {
            options.templatesPath = value;
            i++;
        } else {
            fputs(usage, stderr);
            return 2;
        }
    }
    bool conflicting = (options.autopilot && options.inputPath != nullptr) ||
                       ((options.realTime || options.drawFrom > 0) && options.drawEvery == 0) ||
                       (options.fallAfter > 0 && !options.autopilot);
    if (conflicting) {
        fputs(usage, stderr);
        return 2;
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
    if (options.autopilot)
        caption += "the autopilot";
    else if (options.inputPath != nullptr)
        caption += std::string("input ") + options.inputPath;
    else
        caption += "no input";
    return caption;
}

// ---- Output ------------------------------------------------------------------------------------

// Prints " name=" and the ten per-template counts, comma-separated.
static void printByTemplate(const char* name, const int64_t (&counts)[chunkTemplateCount]) {
    fprintf(stderr, " %s=", name);
    for (int32_t i = 0; i < chunkTemplateCount; i++)
        fprintf(stderr, "%s%" PRId64, i > 0 ? "," : "", counts[i]);
}

// Nine significant digits tell every float apart; a shifted run's true x needs a double's 17.
static int xDigits(const Game& game) {
    return game.shifts == 0 ? 9 : 17;
}

static void onChunk(int32_t templateIndex, Vec2 origin) {
    // A run's chunks lie ever further right in true x, so one that does not starts a new run's
    // log, however the live run was shifted before.
    double x = trueX(*simGame, origin.x);
    if (!chunkLog.chunks.empty() && !(x > lastChunkX))
        chunkLog.chunks.clear();
    lastChunkX = x;
    logChunk(chunkLog, templateIndex, origin);
    if (printLines)
        printf("chunk\t%" PRId64 "\t%d\t%.*g\t%.9g\n", chunkLog.generated, templateIndex,
               xDigits(*simGame), x, (double)origin.y);
    if (levelMap != nullptr) {
        levelMap->offsetX = trueX(*simGame, 0.0f);
        mapChunk(*levelMap, templateIndex, origin);
    }
}

// The live run was moved by dx (shiftRun): what the simulator keeps of it moves too.
static void onShift(float dx) {
    shiftChunkLog(chunkLog, dx);
    if (simStats)
        shiftRunStats(*simStats, dx);
    if (simAutopilot)
        shiftAutopilot(*simAutopilot, dx);
    if (levelMap != nullptr)
        levelMap->offsetX = trueX(*simGame, 0.0f);
}

static void printStep(int64_t step, const Game& game) {
    const Player& player = game.player;
    printf("step\t%" PRId64 "\t%.*g\t%.9g\t%.9g\t%.9g\t%d\t%d\t%.9g\t%.9g\n", step, xDigits(game),
           trueX(game, player.position.x), (double)player.position.y, (double)player.velocity.x,
           (double)player.velocity.y, player.motionState, player.alive ? 1 : 0, (double)game.score,
           (double)game.groundY);
}

static void printSummary(const Options& options, int64_t step, double seconds, const Game& game,
                         const RunStats& stats, const Autopilot* autopilot, double autopilotSeconds,
                         const DrawWindow& window) {
    fprintf(stderr,
            "steps=%" PRId64 " updates_per_s=%.0f runs=%d chunks=%" PRId64
            " platforms=%d ledge_markers=%d fill_polygons=%d",
            step, seconds > 0.0 ? (double)step / seconds : 0.0, runsStarted(), chunkLog.generated,
            game.platforms.count, game.ledgeMarkers.count, game.fillPolygons.count);
    if (autopilot) {
        fprintf(stderr, " deaths=%" PRId64, stats.deaths);
        printByTemplate("deaths_by_template", stats.deathsByTemplate);
        const AutopilotCounters& counters = autopilot->counters;
        fprintf(stderr,
                " stuck_s=%.1f farthest_x=%.1f searches=%" PRId64 " escapes=%" PRId64
                " give_ups=%" PRId64 " soft_locks=%" PRId64 " slow_stretches=%" PRId64
                " lookahead_steps=%" PRId64 " autopilot_s=%.2f",
                (double)stats.stuckSteps / 64.0, (double)stats.farthestX, counters.searches,
                counters.escapes, counters.giveUps, counters.softLocks, counters.slowStretches,
                autopilot->lookahead.steps, autopilotSeconds);
        printByTemplate("visits_by_template", stats.visitsByTemplate);
        printByTemplate("give_ups_by_template", stats.giveUpsByTemplate);
    }
    if (options.drawEvery > 0)
        fprintf(stderr, " draw_calls_max=%" PRIu64 " draw_calls_mean=%.1f", window.aliveCallsMax,
                meanDrawCalls(window));
    fputc('\n', stderr);
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

// Waits until the wall clock has caught up with update `step` at 64 updates a second.
static void keepRealTime(Clock::time_point start, int64_t step) {
    double due = (double)step / 64.0;
    double now = std::chrono::duration<double>(Clock::now() - start).count();
    if (due > now)
        SDL_Delay((Uint32)((due - now) * 1000.0));
}

// Writes one line of the timing file for the block of updates that ends with `step`: the block's
// number, the mean cost of its updates in nanoseconds, the live platforms and ledge markers, the
// most draw calls a frame of a live run drawn in the block took (0 when none was drawn), the
// resident memory in KiB and the runs started so far.
static void writeTiming(FILE* timing, Clock::time_point& blockStart, int64_t step, const Game& game,
                        DrawWindow& window) {
    auto now = Clock::now();
    double ns = std::chrono::duration<double, std::nano>(now - blockStart).count();
    fprintf(timing, "%" PRId64 "\t%.1f\t%d\t%d\t%" PRIu64 "\t%" PRId64 "\t%d\n", step / timingBlock,
            ns / (double)timingBlock, game.platforms.count, game.ledgeMarkers.count,
            window.blockCallsMax, residentKiB(), runsStarted());
    window.blockCallsMax = 0;
    // Measuring is not part of the next block's cost.
    blockStart = Clock::now();
}

// Opens a file to write or says why not; binary, so that its bytes are the same on every platform.
static FILE* openOutput(const char* path) {
    FILE* file = fopen(path, "wb");
    if (file == nullptr)
        fprintf(stderr, "taldrift-sim: cannot write %s\n", path);
    return file;
}

// Closes a file written to; false, with a message, when anything written was lost.
static bool closeOutput(FILE* file, const char* path) {
    if (file == nullptr)
        return true;
    bool good = !ferror(file);
    good = fclose(file) == 0 && good;
    if (!good)
        fprintf(stderr, "taldrift-sim: writing %s failed\n", path);
    return good;
}

// ---- Simulation --------------------------------------------------------------------------------

int main(int argc, char** argv) {
    makeStandardOutputBinary();
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
    std::vector<KeyEvent> script;
    std::string error;
    if (options.inputPath != nullptr && !readKeyScript(options.inputPath, script, error)) {
        fprintf(stderr, "taldrift-sim: %s\n", error.c_str());
        return 2;
    }
    FILE* record = options.recordPath ? openOutput(options.recordPath) : nullptr;
    FILE* timing = options.timingPath ? openOutput(options.timingPath) : nullptr;
    if ((options.recordPath && !record) || (options.timingPath && !timing))
        return 2;
    if (SDL_Init(SDL_INIT_EVENTS) != 0) {
        fprintf(stderr, "taldrift-sim: cannot start SDL's event queue: %s\n", SDL_GetError());
        return 1;
    }
    DrawWindow window;
    if (options.drawEvery > 0 && !openDrawWindow(window, error)) {
        fprintf(stderr, "taldrift-sim: %s\n", error.c_str());
        SDL_Quit();
        return 1;
    }

    printLines = !options.quiet;
    randomSeedOverride = options.seed;
    // The start as the live run holds it: whole shifts and the rest, in [0, shiftSpan).
    const int64_t span = (int64_t)shiftSpan;
    runStartShifts = (options.startX >= 0 ? options.startX : options.startX - span + 1) / span;
    runStartX = (float)(options.startX - runStartShifts * span);
    chunkGenerated = onChunk;
    runShifted = onShift;

    // The camera the real game starts with, from its 640x480 window.
    Game game;
    game.camera.size = Vec2(640.0f, 480.0f);
    const float dt = 1.0f / 64.0f;
    std::unique_ptr<Autopilot> autopilot;
    if (options.autopilot) {
        autopilot = std::make_unique<Autopilot>();
        startAutopilot(*autopilot, chunkLog);
        autopilot->fallAfter = options.fallAfter;
    }
    RunStats stats;
    simGame = &game;
    simStats = &stats;
    simAutopilot = autopilot.get();

    size_t nextScripted = 0;
    std::vector<KeyEvent> events;
    int64_t step = 0;
    double autopilotSeconds = 0.0;
    auto start = Clock::now();
    auto blockStart = start;
    while (step < options.steps) {
        step++;
        events.clear();
        if (autopilot) {
            auto before = Clock::now();
            int64_t giveUps = autopilot->counters.giveUps;
            autopilotKeys(*autopilot, game, step, events);
            autopilotSeconds += std::chrono::duration<double>(Clock::now() - before).count();
            if (autopilot->counters.giveUps > giveUps)
                noteGiveUp(stats);
        }
        while (nextScripted < script.size() && script[nextScripted].step <= step) {
            if (script[nextScripted].step == step)
                events.push_back(script[nextScripted]);
            nextScripted++;
        }
        for (const KeyEvent& event : events) {
            pushKey(event);
            if (record)
                writeKeyEvent(record, event);
        }
        bool running = playUpdate(game, dt);
        noteUpdate(stats, game, chunkLog, runsStarted());
        if (printLines)
            printStep(step, game);
        if (levelMap != nullptr)
            mapStep(map, game.player);
        if (options.drawEvery > 0 && step >= options.drawFrom && step % options.drawEvery == 0) {
            drawFrame(window, game);
            if (options.realTime)
                keepRealTime(start, step);
        }
        if (timing && step % timingBlock == 0)
            writeTiming(timing, blockStart, step, game, window);
        if (!running || (options.untilFall && stats.deaths > 0))
            break;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    finishStats(stats);
    if (autopilot)
        finishAutopilot(*autopilot, game);

    if (options.quiet)
        printSummary(options, step, seconds, game, stats, autopilot.get(), autopilotSeconds,
                     window);
    bool written = closeOutput(record, options.recordPath);
    written = closeOutput(timing, options.timingPath) && written;
    if (levelMap != nullptr) {
        mapFinish(map, game.player);
        writeLevelMap(map, mapCaption(options, step), mapFile);
        written = closePicture(options.mapPath, mapFile) && written;
    }
    // The level and the template table live until the process ends in the game; freed here so
    // that leak checkers see only real leaks.
    releaseLevel(game);
    releaseChunkTemplates();
    fflush(stdout);
    closeDrawWindow(window);
    SDL_Quit();
    return written ? 0 : 1;
}
