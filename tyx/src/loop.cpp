// The main loop's scheduling arithmetic.
#include "loop.h"

LoopClock makeLoopClock(uint64_t frequency, uint64_t now) {
    LoopClock clock;
    clock.frequency = frequency;
    clock.nextTick = now;
    clock.tickStep = frequency / ticksPerSecond;
    clock.dt = 1.0f / (float)ticksPerSecond;
    return clock;
}

bool updateDue(const LoopClock& clock, uint64_t now, int updatesThisFrame) {
    return now > clock.nextTick && updatesThisFrame < maxUpdatesPerFrame;
}

int64_t sleepMilliseconds(const LoopClock& clock, uint64_t now) {
    if (now >= clock.nextTick)
        return -1;
    // Single precision, truncated toward zero: the sleep never aims past the due time.
    float ms = ((float)(clock.nextTick - now) / (float)clock.frequency) * 1000.0f;
    return (int64_t)ms;
}
