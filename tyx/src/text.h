// Monospaced text from the font strip resources/gfx/font.png: one column of 128 square cells, the
// top one for character code 32. Each character is drawn as its own square quad, a whole line of
// them with one draw call.
#pragma once

#include "draw.h"

#include <cstdint>

// The text program (the text vertex shader and the sprite fragment shader) and the font texture; 0
// before initText.
extern uint32_t textProgram;
extern uint32_t fontTexture;

// Builds the text program, the font texture and the glyph mesh; runs after initRenderer.
void initText();
// Draws length characters in one line; position is the centre of the first glyph, size the side
// of each glyph's square and the advance from one glyph to the next. One draw call, none for an
// empty line.
void drawText(const Camera& camera, const char* text, int32_t length, Vec2 position, float size,
              const Vec4& colour);
