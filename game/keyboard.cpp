// The play keys' event poll: counts X and C transitions over one fixed step and watches for the
// ways out (window close, Escape). Every event also goes to the debug interface first, so it sees
// the same input as the game.
#include "keyboard.h"

#include "debug_ui.h"

#include <SDL.h>

void countTransition(KeyState& key, bool down) {
    key.halfTransitions += 1;
    key.endedDown = down;
}

bool pollPlayInput(KeyboardState& keys) {
    // endedDown carries over: a key held across steps stays held without new events.
    keys.keyX.halfTransitions = 0;
    keys.keyC.halfTransitions = 0;

    bool result = true;
    SDL_Event event;
    // The queue is always emptied, even after a quit, so the key states take in every event.
    while (SDL_PollEvent(&event)) {
        debugUiProcessEvent(event);
        if (event.type == SDL_QUIT) {
            result = false;
        } else if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) &&
                   event.key.repeat == 0) {
            // Auto-repeats are not transitions: only the first key-down of a hold counts.
            bool down = event.type == SDL_KEYDOWN;
            switch (event.key.keysym.sym) {
            case SDLK_ESCAPE:
                // A release counts too: Escape may have gone down while another window had focus.
                result = false;
                break;
            case SDLK_c:
                countTransition(keys.keyC, down);
                break;
            case SDLK_x:
                countTransition(keys.keyX, down);
                break;
            default:
                break;
            }
        }
    }
    return result;
}

bool wasPressed(const KeyState& key) {
    // Ending up, the key must also have come down within the poll: at least two transitions.
    if (key.endedDown)
        return key.halfTransitions >= 1;
    return key.halfTransitions >= 2;
}

bool wasReleased(const KeyState& key) {
    if (key.endedDown)
        return key.halfTransitions >= 2;
    return key.halfTransitions >= 1;
}
