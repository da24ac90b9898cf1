// Drives the game's event polls without a window: SDL's event subsystem alone, with events pushed
// into its queue as the windowing system would deliver them.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

struct KeyEvent {
    Uint32 type; // SDL_KEYDOWN or SDL_KEYUP
    SDL_Keycode sym;
    Uint8 repeat;
};

inline const KeyEvent downC{SDL_KEYDOWN, SDLK_c, 0};
inline const KeyEvent upC{SDL_KEYUP, SDLK_c, 0};
inline const KeyEvent repeatC{SDL_KEYDOWN, SDLK_c, 1};
inline const KeyEvent downX{SDL_KEYDOWN, SDLK_x, 0};
inline const KeyEvent upX{SDL_KEYUP, SDLK_x, 0};
inline const KeyEvent repeatX{SDL_KEYDOWN, SDLK_x, 1};
inline const KeyEvent downW{SDL_KEYDOWN, SDLK_w, 0};
inline const KeyEvent upW{SDL_KEYUP, SDLK_w, 0};
inline const KeyEvent downEscape{SDL_KEYDOWN, SDLK_ESCAPE, 0};
inline const KeyEvent upEscape{SDL_KEYUP, SDLK_ESCAPE, 0};
inline const KeyEvent repeatEscape{SDL_KEYDOWN, SDLK_ESCAPE, 1};

inline void pushEvent(SDL_Event& event) {
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

inline void pushKey(const KeyEvent& key) {
    SDL_Event event{};
    event.type = key.type;
    event.key.state = key.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = key.repeat;
    event.key.keysym.sym = key.sym;
    pushEvent(event);
}

inline void pushQuit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    pushEvent(event);
}

inline void pushResize(Uint8 windowEvent, Sint32 width, Sint32 height) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = windowEvent;
    event.window.data1 = width;
    event.window.data2 = height;
    pushEvent(event);
}

inline int pendingEvents() {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, 0, 0xFFFF);
}

// Starts and ends SDL's event subsystem around each test, with an empty queue.
class EventQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        SDL_FlushEvents(0, 0xFFFF);
    }
    void TearDown() override { SDL_Quit(); }
};
