// The main loop: its fixed-timestep scheduling arithmetic, kept apart from SDL so that it can be
// driven with synthetic counter values, and what paces the frames, which is each platform's own
// (loop_desktop.cpp blocks and sleeps; loop_web.cpp runs on the browser's animation frames).
#pragma once

#include <cstdint>

// Updates per simulated second: the loop's only timing constant.
constexpr uint64_t ticksPerSecond = 64;
// Most updates run in one displayed frame.
constexpr int maxUpdatesPerFrame = 5;

struct LoopClock {
    uint64_t frequency; // performance-counter ticks per second
    uint64_t nextTick;  // counter value at which the next update is due
    uint64_t tickStep;  // frequency / 64, truncated
    float dt;           // 1/64 s
};

// The clock at start-up, given the counter's frequency and its current value.
LoopClock makeLoopClock(uint64_t frequency, uint64_t now);
// True when another update is due this frame: the counter is strictly past nextTick and fewer
// than five updates have run.
bool updateDue(const LoopClock& clock, uint64_t now, int updatesThisFrame);
// Milliseconds to sleep until nextTick, truncated; negative when no sleep is due.
int64_t sleepMilliseconds(const LoopClock& clock, uint64_t now);

// Runs one frame's updates through update(), advancing nextTick by one step per update and
// reading the counter afresh before each test; returns the AND of the results.
template <typename Counter, typename Update>
bool runFrameUpdates(LoopClock& clock, Counter counter, Update update) {
    bool running = true;
    int updates = 0;
    while (updateDue(clock, counter(), updates)) {
        running = update() && running;
        clock.nextTick += clock.tickStep;
        updates += 1;
    }
    return running;
}

// ---- What each platform provides ---------------------------------------------------------------

// The engine's side of the loop: one displayed frame (its updates, the draw and the swap), false
// once an update has asked to stop; and the shutdown after the last frame, which gives the exit
// code.
struct MainLoop {
    LoopClock* clock;
    bool (*frame)(void* context);
    int (*finish)(void* context);
    void* context;
};

// Runs loop.frame once per displayed frame until it returns false, then loop.finish, and ends the
// program with its exit code. Returns that code where the platform lets main return it.
int runMainLoop(const MainLoop& loop);
