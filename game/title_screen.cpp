// The title screen: six lines of white text and its own small event poll. It leaves the play
// keys' state alone, so the C that starts play is not seen as a C press by the play screen.
#include "title_screen.h"

#include "debug_ui.h"
#include "play_screen.h"
#include "text.h"

#include <SDL.h>
#include <cstring>

// ---- Data --------------------------------------------------------------------------------------

struct TitleLine {
    const char* text;
    Vec2 position; // centre of the first glyph
};

// The jump key is X; the line must name it.
static const TitleLine titleLines[] = {
    {"Controls:", {-260.0f, 160.0f}},
    {"X to jump", {-260.0f, 120.0f}},
    {"C to slide/jump down", {-260.0f, 80.0f}},
    {"Esc to quit", {-260.0f, 40.0f}},
    {"Get as far as you can!", {-260.0f, -40.0f}},
    {"Press C to start", {-260.0f, -120.0f}},
};

static const float titleGlyphSize = 24.0f;
static const Vec4 titleColour = {1.0f, 1.0f, 1.0f, 1.0f};

// ---- Public functions --------------------------------------------------------------------------

bool titleUpdate(Game& game, float) {
    bool result = true;
    SDL_Event event;
    // A C and an Escape in the same poll both take effect: the screen switches and the game ends.
    while (SDL_PollEvent(&event)) {
        debugUiProcessEvent(event);
        if (event.type == SDL_QUIT) {
            result = false;
        } else if (event.type == SDL_KEYDOWN) {
            // Repeats count here: a held C just switches to the same screen again.
            if (event.key.keysym.sym == SDLK_ESCAPE)
                result = false;
            else if (event.key.keysym.sym == SDLK_c)
                game.screen = playScreen;
        }
    }
    return result;
}

void titleDraw(Game& game) {
    for (const TitleLine& line : titleLines) {
        drawText(game.camera, line.text, (int32_t)strlen(line.text), line.position, titleGlyphSize,
                 titleColour);
    }
}
