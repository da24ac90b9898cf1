// Shared support for tests that draw with real OpenGL and read the pixels back.
//
// Every tests/gl/*_test.cpp is linked with gl_fixture.cpp and runs with the repository root as its
// working directory (so "resources/..." paths resolve), on the display scripts/test starts. ctest
// runs each test case in its own process, so GL state never leaks from one case into the next.
//
// Typical use:
//
//     class Title : public GlTest {};    // window, context, renderer and text ready
//     TEST_F(Title, FirstLineStartsAtTheLeftMargin) {
//         drawText(windowCamera(), "Controls:", 9, Vec2(-260, 160), 24, Vec4(1, 1, 1, 1));
//         Frame frame = readFrame();               // after the fixture cleared it to black
//         IVec2 p = worldToPixel(windowCamera(), Vec2(-272, 172)); // the first glyph's corner
//         EXPECT_EQ(frame.at(p.x, p.y), (Rgba{0, 0, 0, 255}));
//         EXPECT_LT(frame.count(Rgba{0, 0, 0, 255}), frame.width * frame.height);
//     }
//
// GlContextTest gives only the window and the context, for tests that build the renderer
// themselves (for instance from a working directory with some resources missing).
//
// The window is 640x480 with the engine's own context attributes, except that multisampling is
// off so that a pixel is either inside a shape or not: coverage tests can be exact.
#pragma once

#include "draw.h"
#include "gl_api.h"

#include <SDL.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

// The window every GL test draws into.
inline constexpr int32_t glTestWindowWidth = 640;
inline constexpr int32_t glTestWindowHeight = 480;

// One pixel as read back: 8 bits per channel.
struct Rgba {
    uint8_t r, g, b, a;
};
bool operator==(Rgba a, Rgba b);
// Prints as (r, g, b, a) in test failures.
void PrintTo(Rgba pixel, std::ostream* out);

// The window's colour buffer as read back. x runs left to right and y top to bottom, as in a
// screenshot.
struct Frame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgba> pixels; // bottom row first, as OpenGL returns them

    // The pixel in column x and row y counted from the top.
    Rgba at(int32_t x, int32_t y) const;
    // How many pixels equal the given one.
    int32_t count(Rgba pixel) const;
};

// Opens the hidden-or-shown 640x480 window and its context once per process; later calls return
// the same window. Fails the current test (and returns null) when no window or context can be made.
SDL_Window* openGlTestWindow(bool hidden = false);
// Builds the renderer's programs, meshes and text state once per process from the working
// directory's resources.
void initRendererOnce();

// Sets the viewport to the whole window and clears the colour buffer to the given colour.
void clearFrame(Vec4 colour = Vec4(0.0f, 0.0f, 0.0f, 1.0f));
// Waits for drawing to finish and reads the whole back buffer.
Frame readFrame();

// A camera that shows 640x480 world units centred on (0, 0): one unit per pixel.
Camera windowCamera();
// The pixel (column, row from the top) whose area contains the world point. A point exactly on a
// pixel boundary belongs to the pixel to its right and below it.
IVec2 worldToPixel(const Camera& camera, Vec2 world);
// The same mapping without rounding: pixel centres are at whole numbers plus one half.
Vec2 worldToPixelExact(const Camera& camera, Vec2 world);
// The world point at the centre of the pixel in column x and row y from the top.
Vec2 pixelCentreToWorld(const Camera& camera, int32_t x, int32_t y);

// The pixel a fully opaque colour in 0..1 reads back as.
Rgba toRgba(Vec4 colour);

// Test fixture with the window and the context only; clears to black before every test.
class GlContextTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
};

// Test fixture with the window, the context, the renderer and the text state; clears to black
// before every test.
class GlTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
};
