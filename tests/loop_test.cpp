// The main loop's scheduling, driven with synthetic performance-counter values.
#include "loop.h"

#include <gtest/gtest.h>
#include <vector>

TEST(LoopClock, StepsDeriveFromTheTickRate) {
    LoopClock clock = makeLoopClock(1000000000, 5);
    EXPECT_EQ(clock.tickStep, 15625000u);
    EXPECT_EQ(clock.nextTick, 5u);
    EXPECT_EQ(clock.dt, 0.015625f);
    // A frequency that is not a multiple of 64 truncates the step; dt stays exact.
    LoopClock odd = makeLoopClock(1000, 0);
    EXPECT_EQ(odd.tickStep, 15u);
    EXPECT_EQ(odd.dt, 0.015625f);
}

TEST(LoopUpdates, RunOnePerElapsedTickUpToFive) {
    struct Case {
        uint64_t now;
        int expectedUpdates;
    };
    // nextTick starts at 1000 with a step of 100; the counter stays put during the frame.
    for (Case c : {Case{1000, 0}, Case{999, 0}, Case{1001, 1}, Case{1100, 1}, Case{1101, 2},
                   Case{1250, 3}, Case{5000, 5}}) {
        LoopClock clock = makeLoopClock(6400, c.now);
        clock.nextTick = 1000;
        int calls = 0;
        bool running = runFrameUpdates(
            clock, [&] { return c.now; }, [&] { return ++calls > 0; });
        EXPECT_TRUE(running);
        EXPECT_EQ(calls, c.expectedUpdates) << "counter " << c.now;
        EXPECT_EQ(clock.nextTick, 1000u + 100u * (uint64_t)c.expectedUpdates);
    }
}

TEST(LoopUpdates, FalseFromTheFourthStillRunsTheFifth) {
    LoopClock clock = makeLoopClock(6400, 0);
    clock.nextTick = 0;
    std::vector<bool> results = {true, true, true, false, true};
    size_t calls = 0;
    bool running = runFrameUpdates(
        clock, [] { return uint64_t(100000); }, [&] { return results[calls++]; });
    EXPECT_FALSE(running);
    EXPECT_EQ(calls, 5u);
}

TEST(LoopUpdates, CounterIsReadAfreshForEveryTest) {
    LoopClock clock = makeLoopClock(6400, 0);
    clock.nextTick = 1000;
    // The clock advances while updates run: one step is due, then the counter catches up.
    uint64_t counter = 1001;
    int calls = 0;
    runFrameUpdates(
        clock, [&] { return counter; },
        [&] {
            calls++;
            counter += 150;
            return true;
        });
    // 1001 > 1000, 1151 > 1100, 1301 > 1200, 1451 > 1300, 1601 > 1400: five, the frame's cap.
    EXPECT_EQ(calls, 5);
}

TEST(LoopSleep, TruncatesToWholeMilliseconds) {
    LoopClock clock = makeLoopClock(1000000, 0);
    clock.nextTick = 50000;
    EXPECT_EQ(sleepMilliseconds(clock, 50000), -1); // due now: no sleep
    EXPECT_EQ(sleepMilliseconds(clock, 60000), -1); // behind: no sleep
    EXPECT_EQ(sleepMilliseconds(clock, 49500), 0);  // half a millisecond: SDL_Delay(0)
    EXPECT_EQ(sleepMilliseconds(clock, 34375), 15); // 15.625 ms
    EXPECT_EQ(sleepMilliseconds(clock, 49000), 1);
}

TEST(LoopBacklog, CatchesUpFiveStepsPerFrameWithoutDroppingAny) {
    LoopClock clock = makeLoopClock(6400, 0);
    uint64_t now = 1250; // a stall of twelve and a half steps
    int total = 0;
    int frames = 0;
    while (updateDue(clock, now, 0)) {
        int calls = 0;
        runFrameUpdates(
            clock, [&] { return now; }, [&] { return ++calls > 0; });
        total += calls;
        frames++;
        EXPECT_LE(calls, 5);
    }
    EXPECT_EQ(total, 13);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(clock.nextTick, 1300u);
}
