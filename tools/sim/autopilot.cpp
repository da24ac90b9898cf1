// The autopilot's driver: a plan checked update by update against the live run, a search over one
// or two moves when the plan runs out, leaves the run or stops getting on, and the escape search
// when that is not enough.
#include "autopilot.h"

#include "escape_search.h"
#include "progress.h"

#include <algorithm>
#include <cmath>
#include <iterator>

// ---- Tunables ----------------------------------------------------------------------------------

// Every plan is looked at this many updates ahead (2.5 s) ...
constexpr int32_t horizon = 160;
// ... and a new one is made once fewer than this many of them remain.
constexpr int32_t planReserve = 64;
// A plan is good when it ends at least this much further along than it started, still getting on.
constexpr float minimumGain = 24.0f;
// After a search that found nothing good the next one waits, twice as long after every further
// such search, up to the longest pause.
constexpr int32_t firstSearchPause = 8;
constexpr int32_t longestSearchPause = 128;
// The lookahead sees the live level this far behind and ahead of the player.
constexpr float viewBehind = 1024.0f;
constexpr float viewAhead = 2048.0f;
// Without progress for this long (2 s) the escape search runs, looking this far ahead (15 s)
// with this many lookahead steps at most for a way through the chunk, or else at least this much
// further along.
constexpr int64_t escapeAfter = 128;
constexpr int32_t escapeLimit = 960;
constexpr int64_t escapeBudget = 400000;
constexpr float escapeGain = 48.0f;
// Falling on purpose (for soaking restarts) looks this far ahead (5 s) with this many lookahead
// steps at most.
constexpr int32_t fallLimit = 320;
constexpr int64_t fallBudget = 50000;
// Soft locks closer together than this are one place.
constexpr float softLockPlace = 256.0f;
// An escape's plan runs on this long past its goal (1.5 s), so that it is not redone at once.
constexpr int32_t escapeFollowOn = planReserve + 32;

// Where one move gets nowhere good, a quick escape search looks this far ahead (7.5 s), with
// this many lookahead steps at most, for a way through the chunk.
constexpr int32_t quickEscapeLimit = 480;
constexpr int64_t quickEscapeBudget = 20000;
// Nearer its exit than this the chunk is left to the short search.
constexpr float quickEscapeGain = 96.0f;
// A chunk whose exit is this much above the player is climbed by the quick escape search first.
constexpr float climbHeight = 64.0f;

// Progress counts in steps of this much.
constexpr float progressStepSize = 1.0f;

// When a first move may start, in updates from now.
constexpr int32_t firstMoveTimes[] = {0,  1,  2,  3,  4,  5,  6,  8,  10, 12, 14,  16,  19,  22, 26,
                                      30, 34, 38, 44, 50, 56, 64, 72, 80, 90, 100, 112, 124, 136};
// When a second move may start, in updates after the first one's keys are up.
constexpr int32_t secondMoveDelays[] = {0,  1,  2,  3,  4,  6,  8,  10, 12, 16,
                                        20, 24, 30, 36, 44, 52, 64, 80, 96};
// Moves are also tried this many updates after each change of motion state.
constexpr int32_t stateChangeDelays[] = {0, 1, 2, 4};
// How many of the best one-move plans get a second move.
constexpr int32_t beamWidth = 4;
// Before a plan is taken, the best few are checked: a player in the air at the end of the
// lookahead is followed until it lands, up to this many updates (3 s) past the end.
constexpr int32_t confirmWidth = 4;
constexpr int32_t landBy = horizon + 192;

// ---- Types -------------------------------------------------------------------------------------

struct Candidate {
    Move moves[2];
    int32_t count = 0;
    Outcome outcome;
};

// ---- Helpers -----------------------------------------------------------------------------------

static bool isGood(const Outcome& outcome) {
    return !outcome.fell && outcome.end - outcome.start >= minimumGain && stillGoing(outcome);
}

// True when a is the better outcome: no fall beats a fall, a later fall an earlier one; then one
// still getting on at its end beats one that stalled. Among those getting on the most progress
// wins; among stalled ones the best end, since a high point passed on the way may lead nowhere.
static bool better(const Outcome& a, const Outcome& b) {
    if (a.fell != b.fell)
        return !a.fell;
    if (a.fell)
        return a.fellAt != b.fellAt ? a.fellAt > b.fellAt : a.best > b.best;
    if (stillGoing(a) != stillGoing(b))
        return stillGoing(a);
    if (stillGoing(a))
        return a.best != b.best ? a.best > b.best : a.end > b.end;
    return a.end != b.end ? a.end > b.end : a.best > b.best;
}

// When to try moves along a trajectory whose states start at update `from`: the given times
// after timeOffset, and the first few updates after every change of motion state (a landing, a
// wall reached), where timing matters most.
static std::vector<int32_t> moveTimes(const std::vector<Prediction>& states, int32_t from,
                                      const int32_t* times, int32_t timeCount, int32_t timeOffset) {
    std::vector<int32_t> result;
    for (int32_t t = 0; t < timeCount; t++)
        result.push_back(timeOffset + times[t]);
    for (size_t k = 1; k < states.size(); k++) {
        if (states[k].player.motionState == states[k - 1].player.motionState)
            continue;
        int32_t at = from + (int32_t)k;
        for (int32_t after : stateChangeDelays) {
            if (at + after >= timeOffset)
                result.push_back(at + after);
        }
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

// Tries every move on the menu at the move times along a trajectory whose states start at update
// `from`, on top of the moves base already has; adds the tried candidates to tried.
static void tryMoves(RolloutContext& lookahead, const std::vector<PlannedKey>& releases,
                     const Candidate& base, const std::vector<Prediction>& states, int32_t from,
                     const int32_t* times, int32_t timeCount, int32_t timeOffset,
                     std::vector<Candidate>& tried) {
    for (int32_t at : moveTimes(states, from, times, timeCount, timeOffset)) {
        if (at < from || at - from >= (int32_t)states.size() || at >= horizon - 8)
            break;
        const Prediction& state = states[(size_t)(at - from)];
        if (state.fallen)
            break;
        int32_t count = 0;
        const MoveChoice* choices = movesFor(state.player, count);
        for (int32_t c = 0; c < count; c++) {
            Candidate candidate = base;
            candidate.moves[candidate.count++] = Move{at, choices[c].kind, choices[c].hold};
            std::vector<PlannedKey> keys = planKeys(releases, candidate.moves, candidate.count);
            candidate.outcome = rollOut(lookahead, state, at, horizon, keys, nullptr, nullptr);
            tried.push_back(candidate);
        }
    }
}

// The keys that release whatever the autopilot still holds, in the plan's first update.
static std::vector<PlannedKey> releasesOf(const Autopilot& autopilot) {
    std::vector<PlannedKey> releases;
    if (autopilot.xHeld)
        releases.push_back({0, KeyEvent{0, SDLK_x, false}});
    if (autopilot.cHeld)
        releases.push_back({0, KeyEvent{0, SDLK_c, false}});
    return releases;
}

// Makes the keys the plan from update `step` on, expecting what a lookahead of `length` updates
// shows (a flight at its end followed up to landingLimit). Returns the lookahead's outcome.
static Outcome adopt(Autopilot& autopilot, const Game& live, const std::vector<PlannedKey>& keys,
                     int64_t step, int32_t length, int32_t landingLimit = 0) {
    autopilot.plan.clear();
    autopilot.nextEvent = 0;
    for (const PlannedKey& key : keys) {
        KeyEvent event = key.event;
        event.step = step + key.at;
        autopilot.plan.push_back(event);
    }
    autopilot.expected.clear();
    autopilot.planStep = step;
    autopilot.committed = false;
    return rollOut(autopilot.lookahead, predictFrom(live), 0, length, keys, nullptr,
                   &autopilot.expected, landingLimit);
}

// Looks at the level around the live player; every search starts here.
static void viewAround(Autopilot& autopilot, const Game& live) {
    float x = live.player.position.x;
    viewLevel(autopilot.lookahead.view, live, x - viewBehind, x + viewAhead);
}

// Sorts candidates best first by their outcomes over the horizon.
static void sortCandidates(std::vector<Candidate>& candidates) {
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return better(a.outcome, b.outcome); });
}

// Plays the leading candidates (sorted best first) again, following a flight at the end of the
// lookahead until it lands, where a way that looked fine may still end in a fall; their outcomes
// become those. With onlyGood, returns the first that is still good; otherwise the best. Null
// when there is none.
static const Candidate* confirm(RolloutContext& lookahead, const Prediction& root,
                                const std::vector<PlannedKey>& releases,
                                std::vector<Candidate>& candidates, bool onlyGood) {
    const Candidate* chosen = nullptr;
    int32_t looked = 0;
    for (Candidate& candidate : candidates) {
        if (looked == confirmWidth)
            break;
        if (onlyGood && !isGood(candidate.outcome))
            continue;
        looked++;
        std::vector<PlannedKey> keys = planKeys(releases, candidate.moves, candidate.count);
        candidate.outcome = rollOut(lookahead, root, 0, horizon, keys, nullptr, nullptr, landBy);
        if (onlyGood && isGood(candidate.outcome))
            return &candidate;
        if (!onlyGood && (!chosen || better(candidate.outcome, chosen->outcome)))
            chosen = &candidate;
    }
    return chosen;
}

// Makes a candidate the plan; true when it is good.
static bool adoptCandidate(Autopilot& autopilot, const Game& live, int64_t step,
                           const std::vector<PlannedKey>& releases, const Candidate& chosen) {
    Outcome outcome = adopt(autopilot, live, planKeys(releases, chosen.moves, chosen.count), step,
                            horizon, landBy);
    autopilot.planGood = isGood(outcome);
    return autopilot.planGood;
}

// Finds the best plan of at most two moves from the live state (or, where those get nowhere, a
// quick way through the chunk) and adopts it; true when it is good.
static bool search(Autopilot& autopilot, const Game& live, int64_t step) {
    autopilot.counters.searches++;
    viewAround(autopilot, live);
    RolloutContext& lookahead = autopilot.lookahead;
    std::vector<PlannedKey> releases = releasesOf(autopilot);
    Prediction root = predictFrom(live);

    // Doing nothing new.
    std::vector<Candidate> all(1);
    std::vector<Prediction> baseStates;
    all[0].outcome = rollOut(lookahead, root, 0, horizon, releases, &baseStates, nullptr);
    if (const Candidate* good = confirm(lookahead, root, releases, all, true))
        return adoptCandidate(autopilot, live, step, releases, *good);

    // Where the chunk climbs, the quickest sequence of moves up to its exit comes first: one move
    // at a time, a climb between two walls takes far longer.
    float goal = exitPotential(*lookahead.chunks, live.player.position.x);
    Vec2 exit = chunkExit(*lookahead.chunks, chunkAt(*lookahead.chunks, live.player.position.x));
    bool climbing = exit.y - live.player.position.y > climbHeight;
    bool quickTried = false;
    auto quickEscape = [&]() {
        quickTried = true;
        if (goal < all[0].outcome.start + quickEscapeGain)
            return false;
        Escape found =
            searchEscape(lookahead, root, releases, goal, quickEscapeLimit, quickEscapeBudget);
        if (!found.found)
            return false;
        adopt(autopilot, live, planKeys(releases, found.moves.data(), (int32_t)found.moves.size()),
              step, found.length + escapeFollowOn);
        autopilot.planGood = autopilot.committed = true;
        return true;
    };
    if (climbing && quickEscape())
        return true;

    // One move.
    std::vector<Candidate> first;
    tryMoves(lookahead, releases, all[0], baseStates, 0, firstMoveTimes,
             (int32_t)std::size(firstMoveTimes), 0, first);
    sortCandidates(first);
    if (const Candidate* good = confirm(lookahead, root, releases, first, true))
        return adoptCandidate(autopilot, live, step, releases, *good);

    // A sequence of moves through the chunk, where one move gets nowhere good.
    if (!quickTried && quickEscape())
        return true;

    // Two moves, the first one of the best few.
    std::vector<Candidate> second;
    int32_t expand = std::min((int32_t)first.size(), beamWidth);
    for (int32_t i = 0; i < expand; i++) {
        const Move& move = first[(size_t)i].moves[0];
        std::vector<PlannedKey> keys =
            planKeys(releases, first[(size_t)i].moves, first[(size_t)i].count);
        std::vector<Prediction> states;
        rollOut(lookahead, baseStates[(size_t)move.at], move.at, horizon, keys, &states, nullptr);
        tryMoves(lookahead, releases, first[(size_t)i], states, move.at, secondMoveDelays,
                 (int32_t)std::size(secondMoveDelays), moveEnd(move), second);
    }
    sortCandidates(second);
    if (const Candidate* good = confirm(lookahead, root, releases, second, true))
        return adoptCandidate(autopilot, live, step, releases, *good);

    // Nothing good: the best there is, judged over the longer span.
    all.insert(all.end(), first.begin(), first.end());
    all.insert(all.end(), second.begin(), second.end());
    sortCandidates(all);
    const Candidate* chosen = confirm(lookahead, root, releases, all, false);
    return adoptCandidate(autopilot, live, step, releases, *chosen);
}

// Notes where the autopilot may be stuck for good, once for each place: shut in, it may still
// find a little height now and then, and search and fail again a few units from where it was.
// It counts as a soft lock only if the player never leaves the place (see finishAutopilot).
static void reportSoftLock(Autopilot& autopilot, const Game& live) {
    const ChunkLog& log = *autopilot.lookahead.chunks;
    Vec2 position = live.player.position;
    if (!autopilot.softLocks.empty()) {
        Vec2 apart = position - autopilot.softLocks.back().position;
        if (std::fabs(apart.x) < softLockPlace && std::fabs(apart.y) < softLockPlace)
            return;
    }
    int32_t index = chunkAt(log, position.x);
    SoftLock lock{-1, position, position, live.player.motionState};
    if (index >= 0) {
        lock.templateIndex = log.chunks[(size_t)index].templateIndex;
        lock.inChunk = position - log.chunks[(size_t)index].origin;
    }
    autopilot.softLocks.push_back(lock);
    autopilot.lockOpen = true;
}

// A candidate soft lock the player got away from, or fell out of, was a slow stretch.
static void takeBackSoftLock(Autopilot& autopilot) {
    autopilot.softLocks.pop_back();
    autopilot.lockOpen = false;
    autopilot.counters.slowStretches++;
}

// Stuck: looks for a way on, else for a way down; with neither it is a soft lock.
static void escape(Autopilot& autopilot, const Game& live, int64_t step) {
    autopilot.counters.escapes++;
    viewAround(autopilot, live);
    std::vector<PlannedKey> releases = releasesOf(autopilot);
    float now = progressPotential(*autopilot.lookahead.chunks, live.player.position);
    float goal = exitPotential(*autopilot.lookahead.chunks, live.player.position.x);
    Escape found = searchEscape(autopilot.lookahead, predictFrom(live), releases, goal, escapeLimit,
                                escapeBudget);
    if (found.found) {
        adopt(autopilot, live, planKeys(releases, found.moves.data(), (int32_t)found.moves.size()),
              step, found.length + escapeFollowOn);
    } else if (found.bestPotential >= std::max(autopilot.bestPotential, now) + escapeGain) {
        adopt(autopilot, live,
              planKeys(releases, found.bestMoves.data(), (int32_t)found.bestMoves.size()), step,
              found.bestLength + escapeFollowOn);
    } else if (found.canFall) {
        autopilot.counters.giveUps++;
        adopt(autopilot, live,
              planKeys(releases, found.fallMoves.data(), (int32_t)found.fallMoves.size()), step,
              found.fallLength + 1);
    } else {
        reportSoftLock(autopilot, live);
        return;
    }
    // Followed while it has keys to send: nothing shorter-sighted replaces it.
    autopilot.planGood = autopilot.committed = true;
}

// Ends the run on purpose: the quickest fall the escape search finds, followed to the end. Where
// there is none in reach the run goes on as usual.
static void fallOnPurpose(Autopilot& autopilot, const Game& live, int64_t step) {
    viewAround(autopilot, live);
    std::vector<PlannedKey> releases = releasesOf(autopilot);
    Escape found = searchEscape(autopilot.lookahead, predictFrom(live), releases, INFINITY,
                                fallLimit, fallBudget);
    if (!found.canFall)
        return;
    autopilot.counters.giveUps++;
    adopt(autopilot, live,
          planKeys(releases, found.fallMoves.data(), (int32_t)found.fallMoves.size()), step,
          found.fallLength + 1);
    autopilot.planGood = autopilot.committed = true;
}

static void send(Autopilot& autopilot, const KeyEvent& event, std::vector<KeyEvent>& events) {
    if (event.key == SDLK_x)
        autopilot.xHeld = event.down;
    else if (event.key == SDLK_c)
        autopilot.cHeld = event.down;
    events.push_back(event);
}

static void dropPlan(Autopilot& autopilot) {
    autopilot.plan.clear();
    autopilot.nextEvent = 0;
    autopilot.expected.clear();
    autopilot.planGood = autopilot.committed = false;
}

// After a fall: lets go of everything and presses C once to start again.
static void restart(Autopilot& autopilot, int64_t step, std::vector<KeyEvent>& events) {
    if (autopilot.xHeld)
        send(autopilot, KeyEvent{step, SDLK_x, false}, events);
    if (autopilot.cHeld)
        send(autopilot, KeyEvent{step, SDLK_c, false}, events);
    send(autopilot, KeyEvent{step, SDLK_c, true}, events);
    send(autopilot, KeyEvent{step, SDLK_c, false}, events);
    dropPlan(autopilot);
}

// ---- Public functions --------------------------------------------------------------------------

void startAutopilot(Autopilot& autopilot, const ChunkLog& chunks) {
    autopilot.lookahead.chunks = &chunks;
}

void shiftAutopilot(Autopilot& autopilot, float dx) {
    autopilot.bestPotential += dx;
    for (ExpectedState& state : autopilot.expected)
        state.position.x += dx;
    for (SoftLock& lock : autopilot.softLocks)
        lock.position.x += dx;
}

void finishAutopilot(Autopilot& autopilot, const Game& live) {
    autopilot.counters.softLocks = (int64_t)autopilot.softLocks.size();
    if (!autopilot.report)
        return;
    for (const SoftLock& lock : autopilot.softLocks)
        fprintf(autopilot.report,
                "autopilot: soft lock in template %d at (%.1f, %.1f), (%.1f, %.1f) into the "
                "chunk, motion state %d: no way on and no way down\n",
                lock.templateIndex, trueX(live, lock.position.x), (double)lock.position.y,
                (double)lock.inChunk.x, (double)lock.inChunk.y, lock.motionState);
}

void autopilotKeys(Autopilot& autopilot, const Game& live, int64_t step,
                   std::vector<KeyEvent>& events) {
    const Player& player = live.player;
    if (autopilot.lockOpen) {
        Vec2 apart = player.position - autopilot.softLocks.back().position;
        if (!player.alive || std::fabs(apart.x) >= softLockPlace ||
            std::fabs(apart.y) >= softLockPlace)
            takeBackSoftLock(autopilot);
    }
    if (!player.alive) {
        // C once, in the update after the fall. Before the first update there is no run yet, and
        // nothing to do.
        if (autopilot.wasAlive)
            restart(autopilot, step, events);
        autopilot.wasAlive = false;
        return;
    }
    float potential = progressPotential(*autopilot.lookahead.chunks, player.position);
    // Pressed against a wall the player's x can creep by a rounding error: that is no progress.
    if (!autopilot.wasAlive || potential >= autopilot.bestPotential + progressStepSize) {
        autopilot.bestPotential = potential;
        autopilot.progressStep = step;
        autopilot.escapeTried = false;
    }
    if (!autopilot.wasAlive) {
        autopilot.runStart = step;
        autopilot.fallTried = false;
    }
    autopilot.wasAlive = true;
    if (autopilot.fallAfter > 0 && !autopilot.fallTried &&
        step - autopilot.runStart >= autopilot.fallAfter) {
        autopilot.fallTried = true;
        fallOnPurpose(autopilot, live, step);
    }

    // The plan holds only while the live run is where it expected.
    int64_t checked = step - 1 - autopilot.planStep;
    if (checked >= 0 && checked < (int64_t)autopilot.expected.size()) {
        const ExpectedState& e = autopilot.expected[(size_t)checked];
        bool same = e.position.x == player.position.x && e.position.y == player.position.y &&
                    e.velocity.x == player.velocity.x && e.velocity.y == player.velocity.y &&
                    e.motionState == player.motionState;
        if (!same) {
            autopilot.counters.divergences++;
            dropPlan(autopilot);
        }
    }

    // A plan still sending keys is followed unless it leads nowhere good.
    bool pending = autopilot.nextEvent < autopilot.plan.size();
    int64_t remaining = autopilot.planStep + (int64_t)autopilot.expected.size() - step;
    // An escape is followed while it still has keys to send; after that it is a plan like any.
    bool due = autopilot.committed && pending
                   ? false
                   : (!pending && remaining < planReserve) || !autopilot.planGood;
    if (due && step >= autopilot.searchAfter) {
        if (step - autopilot.progressStep >= escapeAfter && !autopilot.escapeTried) {
            autopilot.escapeTried = true;
            escape(autopilot, live, step);
        } else if (search(autopilot, live, step)) {
            autopilot.searchPause = firstSearchPause;
        } else {
            autopilot.searchAfter = step + autopilot.searchPause;
            autopilot.searchPause = std::min(autopilot.searchPause * 2, longestSearchPause);
        }
    }

    while (autopilot.nextEvent < autopilot.plan.size() &&
           autopilot.plan[autopilot.nextEvent].step <= step) {
        send(autopilot, autopilot.plan[autopilot.nextEvent], events);
        autopilot.nextEvent++;
    }
}
