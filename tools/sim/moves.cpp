// The moves' menus and their key events.
#include "moves.h"

#include <algorithm>
#include <iterator>

// ---- Data --------------------------------------------------------------------------------------

// A tap and a full jump (holding longer than a tenth of a second adds nothing); a short slide and
// one long enough to pass under a bar.
static const MoveChoice groundMoves[] = {{Jump, 1}, {Jump, 8}, {Slide, 6}, {Slide, 24}};
static const MoveChoice coyoteMoves[] = {{Jump, 8}};
static const MoveChoice wallSlideMoves[] = {{WallJump, 1}, {WallDrop, 1}};
static const MoveChoice wallRunMoves[] = {{WallJump, 1}};

// A jump still counts this long after leaving the ground.
static const float coyoteTime = 0.04f;

// ---- Public functions --------------------------------------------------------------------------

const MoveChoice* movesFor(const Player& player, int32_t& count) {
    count = 0;
    switch (player.motionState) {
    case Running:
        count = (int32_t)std::size(groundMoves);
        return groundMoves;
    case Airborne:
        if (player.airTime < coyoteTime) {
            count = (int32_t)std::size(coyoteMoves);
            return coyoteMoves;
        }
        return nullptr;
    case WallSliding:
        count = (int32_t)std::size(wallSlideMoves);
        return wallSlideMoves;
    case WallRunning:
        count = (int32_t)std::size(wallRunMoves);
        return wallRunMoves;
    default:
        return nullptr;
    }
}

int32_t moveEnd(const Move& move) {
    return move.at + (move.kind == Jump || move.kind == Slide ? move.hold : 1);
}

void addMoveKeys(const Move& move, std::vector<PlannedKey>& keys) {
    auto key = [&](int32_t at, SDL_Keycode code, bool down) {
        keys.push_back({at, KeyEvent{0, code, down}});
    };
    switch (move.kind) {
    case Jump:
        key(move.at, SDLK_x, true);
        key(move.at + move.hold, SDLK_x, false);
        break;
    case Slide:
        key(move.at, SDLK_c, true);
        key(move.at + move.hold, SDLK_c, false);
        break;
    case WallJump:
        key(move.at, SDLK_x, true);
        key(move.at + 1, SDLK_x, false);
        break;
    case WallDrop:
        // C must be held when X goes down; both in one update is enough.
        key(move.at, SDLK_c, true);
        key(move.at, SDLK_x, true);
        key(move.at + 1, SDLK_x, false);
        key(move.at + 1, SDLK_c, false);
        break;
    default:
        break;
    }
}

std::vector<PlannedKey> planKeys(const std::vector<PlannedKey>& first, const Move* moves,
                                 int32_t count) {
    std::vector<PlannedKey> keys = first;
    for (int32_t i = 0; i < count; i++)
        addMoveKeys(moves[i], keys);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const PlannedKey& a, const PlannedKey& b) { return a.at < b.at; });
    return keys;
}
