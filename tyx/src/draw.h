// The camera and every draw operation: lines, flat-colour shapes, textured sprites, and texture
// loading. Each draw is self-contained: it selects its program, uploads the camera, draws once and
// restores program 0 and vertex array 0.
#pragma once

#include "maths.h"
#include "shaders.h"

#include <cstdint>

// The world point shown at the window's centre and the world extent shown.
struct Camera {
    Vec2 position;
    Vec2 size;
};

// The current size of the window the render context was made for; (0, 0) before there is one.
IVec2 getWindowSize();
// How many OpenGL draw calls (one per glDraw* call) the draw operations and the text have issued
// since the program started: what a frame costs the driver.
uint64_t drawCallCount();
// Counts one draw call; every glDraw* of the renderer goes with one.
void countDrawCall();

// Sets the current program's projectionMatrix and viewingMatrix from the camera, looking both up
// by name.
void uploadCamera(const Camera& camera, uint32_t program);
// The same with the locations of the current program looked up beforehand (findLocations).
void uploadCamera(const Camera& camera, const ProgramLocations& at);

// Decodes an image file into an existing texture, flipped so that its top row is at v = 1. A file
// that cannot be decoded leaves a single clear texel, so whatever is drawn with it stays invisible.
void loadTexture(const char* path, uint32_t texture);
// Makes a texture name and loads the image into it.
void createTexture(const char* path, uint32_t& texture);

void drawLine(const Camera& camera, Vec2 from, Vec2 to, const Vec4& colour);
void drawRect(const Camera& camera, Vec2 centre, Vec2 size, float angle, const Vec4& colour);
// Four bars straddling the rectangle's edge, thickness wide.
void drawRectOutline(const Camera& camera, Vec2 centre, Vec2 size, float angle, const Vec4& colour,
                     float thickness);
void drawTriangleStrip(const Camera& camera, Vec2 position, const Vec2* points, int32_t count,
                       float scale, float angle, const Vec4& colour);
// The lower half of a disc, flat side up at angle 0.
void drawHalfDisc(const Camera& camera, Vec2 centre, float radius, float angle, const Vec4& colour);
void drawRoundedRect(const Camera& camera, Vec2 centre, Vec2 size, float cornerRadius, float angle,
                     const Vec4& colour);
// A rectangle with a quarter disc of notchRadius cut out of its top-left corner.
void drawNotchedRect(const Camera& camera, Vec2 centre, Vec2 size, float notchRadius, float angle,
                     const Vec4& colour);
void drawSprite(const Camera& camera, uint32_t texture, Vec2 centre, float angle, Vec2 size,
                const Vec4& colour);
void drawSprite(const Camera& camera, uint32_t texture, Vec2 centre, float angle, Vec2 size);
