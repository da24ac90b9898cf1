// The escape search: earliest-first over states at decision points. From each state it tries
// waiting and every move on the menu, each played until the motion state changes or a while has
// passed; the state reached becomes a new node unless its cell was reached before.
#include "escape_search.h"

#include "progress.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <queue>
#include <unordered_set>

// ---- Tunables ----------------------------------------------------------------------------------

static const float dt = 1.0f / 64.0f;
// A segment ends at a change of motion state, or after this many updates without one.
static const int32_t longestSegment = 24;
// Waiting in one cell ends after this many updates.
static const int32_t longestWait = 256;
// Cell sizes: position, velocity.
static const float cellSize = 16.0f;
static const float speedCell = 128.0f;
// A way on must survive this many updates of doing nothing after it reaches the goal.
static const int32_t settleTime = 128;

// ---- Types -------------------------------------------------------------------------------------

struct Node {
    Prediction state; // before update `at`
    int32_t at;
    int32_t parent; // -1 for the start
    Move move;      // the move that began the segment leading here, if moved
    bool moved;
};

// ---- Helpers -----------------------------------------------------------------------------------

// The cell of a player state; positions are taken relative to the search's start, whose reach is
// far smaller than the 16 bits each coordinate gets.
static uint64_t cellOf(const Player& player, Vec2 origin) {
    auto bucket = [](float value, float size) {
        return (uint64_t)(uint16_t)(int16_t)std::clamp(floorf(value / size), -30000.0f, 30000.0f);
    };
    uint64_t key = bucket(player.position.x - origin.x, cellSize);
    key = key * 65536u + bucket(player.position.y - origin.y, cellSize);
    key = key * 64u + (bucket(player.velocity.x, speedCell) & 63u);
    key = key * 64u + (bucket(player.velocity.y, speedCell) & 63u);
    key = key * 8u + (uint64_t)(player.motionState & 7);
    key = key * 2u + (player.facing < 0.0f ? 1u : 0u);
    return key;
}

static std::vector<Move> pathTo(const std::vector<Node>& nodes, int32_t index, const Move* last) {
    std::vector<Move> moves;
    if (last)
        moves.push_back(*last);
    for (int32_t i = index; i >= 0; i = nodes[(size_t)i].parent) {
        if (nodes[(size_t)i].moved)
            moves.push_back(nodes[(size_t)i].move);
    }
    std::reverse(moves.begin(), moves.end());
    return moves;
}

// True when a state reached at update `at` survives a while of doing nothing.
static bool settles(RolloutContext& context, const Prediction& state, int32_t at) {
    Outcome outcome = rollOut(context, state, at, at + settleTime, {}, nullptr, nullptr);
    return !outcome.fell;
}

// ---- Public functions --------------------------------------------------------------------------

Escape searchEscape(RolloutContext& context, const Prediction& start,
                    const std::vector<PlannedKey>& releases, float goal, int32_t limit,
                    int64_t budget) {
    Escape escape;
    escape.bestPotential = progressPotential(*context.chunks, start.player.position);
    std::vector<Node> nodes;
    nodes.push_back(Node{start, 0, -1, Move{}, false});
    using Entry = std::pair<int32_t, int32_t>; // (at, node index): earliest first, then oldest
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    open.push({0, 0});
    Vec2 origin = start.player.position;
    std::unordered_set<uint64_t> reached{cellOf(start.player, origin)};
    int64_t spent = 0;

    while (!open.empty()) {
        if (spent >= budget)
            return escape;
        int32_t index = open.top().second;
        open.pop();
        // Copied: nodes grows below.
        Node node = nodes[(size_t)index];
        int32_t choiceCount = 0;
        const MoveChoice* choices = movesFor(node.state.player, choiceCount);
        for (int32_t c = -1; c < choiceCount; c++) {
            bool moved = c >= 0;
            Move move{node.at, moved ? choices[c].kind : 0, moved ? choices[c].hold : 0};
            std::vector<PlannedKey> keys = node.at == 0 ? releases : std::vector<PlannedKey>{};
            if (moved)
                addMoveKeys(move, keys);
            std::stable_sort(keys.begin(), keys.end(),
                             [](const PlannedKey& a, const PlannedKey& b) { return a.at < b.at; });
            // A segment goes on at least through the update in which the move's keys go up.
            int32_t settle = moved ? moveEnd(move) + 1 : node.at + 1;
            Prediction state = node.state;
            int32_t startState = state.player.motionState;
            uint64_t startCell = cellOf(state.player, origin);
            size_t next = 0;
            int32_t at = node.at;
            bool through = false;
            while (at < limit) {
                KeyEvent events[8];
                int32_t count = 0;
                while (next < keys.size() && keys[next].at == at) {
                    if (count < (int32_t)std::size(events))
                        events[count++] = keys[next].event;
                    next++;
                }
                predictStep(context.view, state, events, count, dt);
                context.steps++;
                spent++;
                at++;
                if (state.fallen)
                    break;
                if (progressPotential(*context.chunks, state.player.position) >= goal) {
                    through = true;
                    break;
                }
                // Waiting goes on past the usual length until the cell changes, so that even
                // a crouch creeping along gets somewhere new.
                bool changed = state.player.motionState != startState;
                bool moving = moved || cellOf(state.player, origin) != startCell;
                if (at >= settle && (changed || (at - node.at >= longestSegment && moving) ||
                                     at - node.at >= longestWait))
                    break;
            }
            // A way on that falls right after reaching the goal is no way on.
            if (through && !settles(context, state, at)) {
                through = false;
                continue;
            }
            if (through) {
                escape.found = true;
                escape.moves = pathTo(nodes, index, moved ? &move : nullptr);
                escape.length = at;
                return escape;
            }
            if (state.fallen) {
                if (!escape.canFall || at < escape.fallLength) {
                    escape.canFall = true;
                    escape.fallMoves = pathTo(nodes, index, moved ? &move : nullptr);
                    escape.fallLength = at;
                }
                continue;
            }
            if (at >= limit || !reached.insert(cellOf(state.player, origin)).second)
                continue;
            float potential = progressPotential(*context.chunks, state.player.position);
            if (potential > escape.bestPotential && settles(context, state, at)) {
                escape.bestPotential = potential;
                escape.bestMoves = pathTo(nodes, index, moved ? &move : nullptr);
                escape.bestLength = at;
            }
            nodes.push_back(Node{state, at, index, move, moved});
            open.push({at, (int32_t)nodes.size() - 1});
        }
    }
    escape.exhausted = true;
    return escape;
}
