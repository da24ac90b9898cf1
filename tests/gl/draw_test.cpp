// Draw operations checked on screen: every shape is drawn into the test window and the pixels read
// back are compared with where the shape should be.
#include "gl_fixture.h"
#include "scratch_folder.h"

#include "draw.h"
#include "shaders.h"
#include "text.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stb_image_write.h>
#include <string>
#include <vector>

namespace {

const float pi = 3.14159265f;
const Vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
const Rgba black{0, 0, 0, 255};
const Rgba redPixel{255, 0, 0, 255};

// Which pixels a shape must cover: inside (> 0), must leave alone (< 0), or may go either way
// (0) because the pixel centre lies within a pixel of the edge.
using Classifier = std::function<int(Vec2 world)>;

int classify(float signedDistance) {
    if (signedDistance < -1.0f)
        return 1;
    if (signedDistance > 1.0f)
        return -1;
    return 0;
}

// Signed distance from p to a box of half extents h centred on the origin.
float boxDistance(Vec2 p, Vec2 h) {
    float qx = fabsf(p.x) - h.x;
    float qy = fabsf(p.y) - h.y;
    float outside =
        sqrtf(std::max(qx, 0.0f) * std::max(qx, 0.0f) + std::max(qy, 0.0f) * std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f);
}

// p in the frame of a shape centred at c and turned by angle.
Vec2 toLocal(Vec2 p, Vec2 c, float angle) {
    return (p - c).rotated(-angle);
}

// Checks every pixel of the frame against the classifier; reports the first few mismatches.
void expectCoverage(const Frame& frame, Rgba colour, const Classifier& inside) {
    int failures = 0;
    int checkedInside = 0;
    for (int32_t y = 0; y < frame.height; y++) {
        for (int32_t x = 0; x < frame.width; x++) {
            int expected = inside(pixelCentreToWorld(windowCamera(), x, y));
            if (expected == 0)
                continue;
            Rgba want = expected > 0 ? colour : black;
            checkedInside += expected > 0 ? 1 : 0;
            if (!(frame.at(x, y) == want) && failures++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") should be "
                              << (expected > 0 ? "covered" : "empty");
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(checkedInside, 0) << "the shape should cover some pixels for sure";
}

} // namespace

class Drawing : public GlTest {};

TEST_F(Drawing, RectAtAngleZeroCoversExactlyItsBox) {
    struct Case {
        Vec2 centre;
        Vec2 size;
    };
    const Case cases[] = {{{10.0f, -20.0f}, {100.0f, 60.0f}},
                          {{0.5f, 0.5f}, {3.0f, 3.0f}},
                          {{-300.0f, 200.0f}, {40.0f, 80.0f}}};
    for (const Case& c : cases) {
        clearFrame();
        drawRect(windowCamera(), c.centre, c.size, 0.0f, red);
        Frame frame = readFrame();
        int32_t expectedCount = 0;
        int32_t mismatches = 0;
        for (int32_t y = 0; y < frame.height; y++) {
            for (int32_t x = 0; x < frame.width; x++) {
                Vec2 p = pixelCentreToWorld(windowCamera(), x, y);
                bool inside = fabsf(p.x - c.centre.x) < c.size.x / 2.0f &&
                              fabsf(p.y - c.centre.y) < c.size.y / 2.0f;
                expectedCount += inside ? 1 : 0;
                mismatches += frame.at(x, y) == (inside ? redPixel : black) ? 0 : 1;
            }
        }
        EXPECT_EQ(mismatches, 0) << "rect at (" << c.centre.x << ", " << c.centre.y << ")";
        EXPECT_EQ(expectedCount, (int32_t)(c.size.x * c.size.y));
    }
}

TEST_F(Drawing, RectOfSizeZeroDrawsNothing) {
    drawRect(windowCamera(), Vec2(0.0f, 0.0f), Vec2(0.0f, 0.0f), 0.0f, red);
    drawRect(windowCamera(), Vec2(20.0f, 0.0f), Vec2(0.0f, 0.0f), 1.0f, red);
    Frame frame = readFrame();
    EXPECT_EQ(frame.count(black), frame.width * frame.height);
}

TEST_F(Drawing, RotatedRectCornersLandWhereTheRotationPutsThem) {
    const float angles[] = {0.6f, pi / 2.0f, -2.3f};
    Vec2 centre(50.0f, 30.0f);
    Vec2 size(200.0f, 80.0f);
    for (float angle : angles) {
        SCOPED_TRACE(angle);
        clearFrame();
        drawRect(windowCamera(), centre, size, angle, red);
        Frame frame = readFrame();
        expectCoverage(frame, redPixel, [&](Vec2 p) {
            return classify(boxDistance(toLocal(p, centre, angle), size / 2.0f));
        });
        // Each corner, two units in from it along the diagonal, is covered; two units out is not.
        for (Vec2 corner : {Vec2(1, 1), Vec2(-1, 1), Vec2(-1, -1), Vec2(1, -1)}) {
            Vec2 local = corner * size / 2.0f;
            Vec2 in = centre + (local - corner * 2.0f).rotated(angle);
            Vec2 out = centre + (local + corner * 2.0f).rotated(angle);
            IVec2 pin = worldToPixel(windowCamera(), in);
            IVec2 pout = worldToPixel(windowCamera(), out);
            EXPECT_EQ(frame.at(pin.x, pin.y), redPixel);
            EXPECT_EQ(frame.at(pout.x, pout.y), black);
        }
    }
}

TEST_F(Drawing, RectOutlineStraddlesTheEdge) {
    Vec2 centre(0.0f, 0.0f);
    Vec2 size(200.0f, 100.0f);
    drawRectOutline(windowCamera(), centre, size, 0.0f, red, 10.0f);
    Frame frame = readFrame();
    expectCoverage(frame, redPixel, [&](Vec2 p) {
        float outer = boxDistance(p, size / 2.0f + Vec2(5.0f, 5.0f));
        float inner = boxDistance(p, size / 2.0f - Vec2(5.0f, 5.0f));
        return classify(std::max(outer, -inner));
    });
}

TEST_F(Drawing, HalfDiscIsRoundOnTheSideTheAngleTurnsDown) {
    struct Case {
        float angle;
        Vec2 roundSide;
    };
    const Case cases[] = {{0.0f, {0.0f, -1.0f}}, {pi, {0.0f, 1.0f}}, {pi / 2.0f, {1.0f, 0.0f}}};
    Vec2 centre(-40.0f, 20.0f);
    float radius = 100.0f;
    // Six chords over the half turn: every point within r cos 15 degrees of the centre is inside.
    float innerRadius = radius * cosf(pi / 12.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        clearFrame();
        drawHalfDisc(windowCamera(), centre, radius, c.angle, red);
        Frame frame = readFrame();
        expectCoverage(frame, redPixel, [&](Vec2 p) {
            Vec2 d = p - centre;
            float along = d.dot(c.roundSide);
            if (along > 1.0f && d.length() < innerRadius - 1.0f)
                return 1;
            if (along < -1.0f || d.length() > radius + 1.0f)
                return -1;
            return 0;
        });
    }
}

TEST_F(Drawing, RoundedRectWithRadiusZeroIsAPlainRect) {
    Vec2 centre(-30.0f, 20.0f);
    Vec2 size(120.0f, 70.0f);
    drawRect(windowCamera(), centre, size, 0.0f, red);
    Frame plain = readFrame();
    clearFrame();
    drawRoundedRect(windowCamera(), centre, size, 0.0f, 0.0f, red);
    Frame rounded = readFrame();
    EXPECT_EQ(rounded.count(redPixel), 120 * 70);
    int32_t differing = 0;
    for (size_t i = 0; i < plain.pixels.size(); i++)
        differing += plain.pixels[i] == rounded.pixels[i] ? 0 : 1;
    EXPECT_EQ(differing, 0);
}

TEST_F(Drawing, RoundedRectLeavesItsCornersEmpty) {
    Vec2 size(120.0f, 70.0f);
    float radius = 8.0f;
    const float angles[] = {0.0f, 0.3f};
    Vec2 centre(-30.0f, 20.0f);
    for (float angle : angles) {
        SCOPED_TRACE(angle);
        clearFrame();
        drawRoundedRect(windowCamera(), centre, size, radius, angle, red);
        Frame frame = readFrame();
        expectCoverage(frame, redPixel, [&](Vec2 p) {
            Vec2 inner = size / 2.0f - Vec2(radius, radius);
            return classify(boxDistance(toLocal(p, centre, angle), inner) - radius);
        });
    }
    // At angle 0 the pixel in each corner of the bounding box is empty, the edge midpoints are not.
    clearFrame();
    drawRoundedRect(windowCamera(), centre, size, radius, 0.0f, red);
    Frame frame = readFrame();
    for (Vec2 corner : {Vec2(1, 1), Vec2(-1, 1), Vec2(-1, -1), Vec2(1, -1)}) {
        IVec2 p = worldToPixel(windowCamera(), centre + corner * (size / 2.0f - Vec2(1.0f, 1.0f)));
        EXPECT_EQ(frame.at(p.x, p.y), black);
        IVec2 edge =
            worldToPixel(windowCamera(), centre + Vec2(corner.x * (size.x / 2.0f - 1.0f), 0.0f));
        EXPECT_EQ(frame.at(edge.x, edge.y), redPixel);
    }
}

TEST_F(Drawing, NotchedRectLeavesItsTopLeftQuarterDiscEmpty) {
    Vec2 centre(20.0f, -10.0f);
    Vec2 size(160.0f, 100.0f);
    float radius = 40.0f;
    const float angles[] = {0.0f, 0.4f};
    for (float angle : angles) {
        SCOPED_TRACE(angle);
        clearFrame();
        drawNotchedRect(windowCamera(), centre, size, radius, angle, red);
        Frame frame = readFrame();
        expectCoverage(frame, redPixel, [&](Vec2 p) {
            Vec2 local = toLocal(p, centre, angle);
            float box = boxDistance(local, size / 2.0f);
            float notch = radius - (local - Vec2(-size.x / 2.0f, size.y / 2.0f)).length();
            return classify(std::max(box, notch));
        });
    }
}

TEST_F(Drawing, TriangleStripNeedsThreePointsAndScalesAboutItsPosition) {
    const Vec2 square[4] = {{-50.0f, -50.0f}, {50.0f, -50.0f}, {-50.0f, 50.0f}, {50.0f, 50.0f}};
    for (int32_t count = 0; count < 3; count++)
        drawTriangleStrip(windowCamera(), Vec2(0.0f, 0.0f), square, count, 1.0f, 0.0f, red);
    Frame empty = readFrame();
    EXPECT_EQ(empty.count(black), empty.width * empty.height);

    // Scaled by 0.3 the 100-unit square shrinks to 30 units around the position.
    Vec2 position(100.0f, 50.0f);
    drawTriangleStrip(windowCamera(), position, square, 4, 0.3f, 0.0f, red);
    Frame frame = readFrame();
    EXPECT_EQ(frame.count(redPixel), 30 * 30);
    expectCoverage(frame, redPixel,
                   [&](Vec2 p) { return classify(boxDistance(p - position, Vec2(15.0f, 15.0f))); });

    // A wide bar turned a quarter turn stands upright.
    const Vec2 bar[4] = {{-50.0f, -10.0f}, {50.0f, -10.0f}, {-50.0f, 10.0f}, {50.0f, 10.0f}};
    clearFrame();
    drawTriangleStrip(windowCamera(), position, bar, 4, 1.0f, pi / 2.0f, red);
    Frame turned = readFrame();
    expectCoverage(turned, redPixel,
                   [&](Vec2 p) { return classify(boxDistance(p - position, Vec2(10.0f, 50.0f))); });
}

TEST_F(Drawing, StripsOfAnyLengthFollowOneAnother) {
    // A short strip, then a band of 200 points (longer than any strip before it), then a short
    // one again: each draws its own points, whatever the one before it held.
    const Vec2 square[4] = {{-10.0f, -10.0f}, {10.0f, -10.0f}, {-10.0f, 10.0f}, {10.0f, 10.0f}};
    drawTriangleStrip(windowCamera(), Vec2(-200.0f, 150.0f), square, 4, 1.0f, 0.0f, red);
    std::vector<Vec2> band;
    for (int32_t i = 0; i < 100; i++) {
        float x = -250.0f + 5.0f * (float)i;
        band.push_back(Vec2(x, -10.0f));
        band.push_back(Vec2(x, 10.0f));
    }
    drawTriangleStrip(windowCamera(), Vec2(0.0f, -100.0f), band.data(), (int32_t)band.size(), 1.0f,
                      0.0f, red);
    drawTriangleStrip(windowCamera(), Vec2(200.0f, 150.0f), square, 4, 1.0f, 0.0f, red);
    Frame frame = readFrame();
    expectCoverage(frame, redPixel, [&](Vec2 p) {
        float d = std::min({boxDistance(p - Vec2(-200.0f, 150.0f), Vec2(10.0f, 10.0f)),
                            boxDistance(p - Vec2(200.0f, 150.0f), Vec2(10.0f, 10.0f)),
                            boxDistance(p - Vec2(-2.5f, -100.0f), Vec2(247.5f, 10.0f))});
        return classify(d);
    });
}

TEST_F(Drawing, LocationsAreLookedUpOncePerProgram) {
    ProgramLocations flat = renderer.flatColorLocations;
    EXPECT_GE(flat.projectionMatrix, 0);
    EXPECT_GE(flat.viewingMatrix, 0);
    EXPECT_GE(flat.modelMatrix, 0);
    EXPECT_GE(flat.colorTint, 0);
    EXPECT_GE(flat.position, 0);
    ProgramLocations sprite = renderer.spriteLocations;
    EXPECT_GE(sprite.spriteTex, 0);
    EXPECT_GE(sprite.texCoord, 0);
    // A program that failed to build has no locations, and asking raises no error.
    while (glGetError() != GL_NO_ERROR) {
    }
    ProgramLocations none = findLocations(0);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    EXPECT_EQ(none.projectionMatrix, -1);
    EXPECT_EQ(none.colorTint, -1);
    EXPECT_EQ(none.position, -1);
}

TEST_F(Drawing, LineLandsOnThePixelsBetweenItsEnds) {
    // Horizontal, through the centres of one pixel row.
    drawLine(windowCamera(), Vec2(-100.0f, 0.5f), Vec2(100.0f, 0.5f), red);
    Frame frame = readFrame();
    IVec2 row = worldToPixel(windowCamera(), Vec2(0.0f, 0.5f));
    for (int32_t x = 320 - 98; x < 320 + 98; x++) {
        EXPECT_EQ(frame.at(x, row.y), redPixel) << "column " << x;
        EXPECT_EQ(frame.at(x, row.y - 2), black);
        EXPECT_EQ(frame.at(x, row.y + 2), black);
    }
    EXPECT_EQ(frame.at(320 - 110, row.y), black);
    EXPECT_EQ(frame.at(320 + 110, row.y), black);

    // Diagonal: one lit pixel per column, each within a pixel of the line, nothing elsewhere.
    clearFrame();
    Vec2 from(-60.0f, -40.0f);
    Vec2 to(60.0f, 50.0f);
    drawLine(windowCamera(), from, to, red);
    Frame diagonal = readFrame();
    Vec2 direction = (to - from).normalized();
    for (int32_t y = 0; y < diagonal.height; y++) {
        for (int32_t x = 0; x < diagonal.width; x++) {
            if (!(diagonal.at(x, y) == redPixel))
                continue;
            Vec2 p = pixelCentreToWorld(windowCamera(), x, y) - from;
            EXPECT_LT(fabsf(p.cross(direction)), 1.0f) << "stray pixel " << x << ", " << y;
        }
    }
    for (float wx = from.x + 2.0f; wx < to.x - 2.0f; wx += 1.0f) {
        IVec2 column = worldToPixel(windowCamera(), Vec2(wx + 0.5f, 0.0f));
        int32_t lit = 0;
        for (int32_t y = 0; y < diagonal.height; y++)
            lit += diagonal.at(column.x, y) == redPixel ? 1 : 0;
        EXPECT_EQ(lit, 1) << "column " << column.x;
    }
}

TEST_F(Drawing, CameraMapsItsExtentOntoTheWindow) {
    struct Case {
        Camera camera;
        Vec2 centre;
        Vec2 size;
        int32_t left, top, width, height; // expected pixels, rows from the top
    };
    const Case cases[] = {
        // The top-right and bottom-left corners of a 640x480 view: only a quarter is on screen.
        {{{0, 0}, {640, 480}}, {320, 240}, {8, 8}, 636, 0, 4, 4},
        {{{0, 0}, {640, 480}}, {-320, -240}, {8, 8}, 0, 476, 4, 4},
        // Half the camera size shows everything twice as large.
        {{{0, 0}, {320, 240}}, {0, 0}, {10, 10}, 310, 230, 20, 20},
        {{{0, 0}, {320, 240}}, {40, -20}, {10, 10}, 390, 270, 20, 20},
        // The camera position is the window's centre.
        {{{100, 50}, {640, 480}}, {100, 50}, {10, 10}, 315, 235, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rect at " << c.centre.x << ", " << c.centre.y);
        clearFrame();
        drawRect(c.camera, c.centre, c.size, 0.0f, red);
        Frame frame = readFrame();
        EXPECT_EQ(frame.count(redPixel), c.width * c.height);
        EXPECT_EQ(frame.at(c.left, c.top), redPixel);
        EXPECT_EQ(frame.at(c.left + c.width - 1, c.top + c.height - 1), redPixel);
    }
}

TEST_F(Drawing, BlendsBySourceAlpha) {
    clearFrame(Vec4(0.0f, 0.0f, 1.0f, 1.0f));
    drawRect(windowCamera(), Vec2(0.0f, 0.0f), Vec2(20.0f, 20.0f), 0.0f,
             Vec4(1.0f, 0.0f, 0.0f, 0.5f));
    Frame frame = readFrame();
    Rgba mixed = frame.at(320, 240);
    EXPECT_NEAR(mixed.r, 128, 1);
    EXPECT_NEAR(mixed.b, 128, 1);
    EXPECT_EQ(mixed.g, 0);
}

// Writes a width x height RGBA image into the folder and returns its path.
static std::string writeTemporaryPng(const ScratchFolder& folder, const std::vector<Rgba>& pixels,
                                     int width, int height) {
    std::string path = (folder.path / "texture.png").string();
    stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4);
    return path;
}

TEST_F(Drawing, SpriteShowsTheImageUprightAndKeepsTheMiddleRowOfAnOddHeight) {
    // Five rows of three pixels, each row its own colour, listed top row first.
    const Rgba rows[5] = {{255, 0, 0, 255},
                          {0, 255, 0, 255},
                          {0, 0, 255, 255},
                          {255, 255, 255, 255},
                          {255, 255, 0, 255}};
    std::vector<Rgba> pixels;
    for (const Rgba& row : rows)
        pixels.insert(pixels.end(), 3, row);
    uint32_t texture = 0;
    {
        ScratchFolder folder("taldrift_texture");
        ASSERT_FALSE(folder.path.empty());
        createTexture(writeTemporaryPng(folder, pixels, 3, 5).c_str(), texture);
    }
    ASSERT_NE(texture, 0u);

    // 60 x 100 units: every image row becomes a band 20 pixels tall, from pixel row 190 down.
    drawSprite(windowCamera(), texture, Vec2(0.0f, 0.0f), 0.0f, Vec2(60.0f, 100.0f));
    Frame frame = readFrame();
    for (int32_t band = 0; band < 5; band++) {
        for (int32_t y = 190 + band * 20; y < 190 + band * 20 + 20; y++) {
            EXPECT_EQ(frame.at(290, y), rows[band]) << "row " << y;
            EXPECT_EQ(frame.at(349, y), rows[band]) << "row " << y;
        }
    }
    EXPECT_EQ(frame.count(black), frame.width * frame.height - 60 * 100);

    // A half turn puts the image's top row at the bottom; the tint multiplies the sample.
    clearFrame();
    drawSprite(windowCamera(), texture, Vec2(0.0f, 0.0f), pi, Vec2(60.0f, 100.0f),
               Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    Frame turned = readFrame();
    EXPECT_EQ(turned.at(320, 285), rows[0]);
    EXPECT_EQ(turned.at(320, 195), rows[4]);
}

TEST_F(Drawing, TextureFromAMissingFileDrawsNothing) {
    uint32_t texture = 0;
    createTexture("resources/gfx/no_such_image.png", texture);
    drawSprite(windowCamera(), texture, Vec2(0.0f, 0.0f), 0.0f, Vec2(100.0f, 100.0f));
    Frame frame = readFrame();
    EXPECT_EQ(frame.count(black), frame.width * frame.height);
}

TEST_F(Drawing, EveryOperationCountsTheDrawCallsItIssues) {
    const Vec2 points[4] = {{0.0f, 0.0f}, {10.0f, 0.0f}, {0.0f, 10.0f}, {10.0f, 10.0f}};
    const Camera& camera = windowCamera();
    const char* longLine = "Press C to restart, or Escape to leave: 0123456789 abcdefghi";
    const struct {
        const char* name;
        std::function<void()> draw;
        uint64_t calls;
    } cases[] = {
        {"line", [&] { drawLine(camera, Vec2(0.0f, 0.0f), Vec2(5.0f, 5.0f), red); }, 1},
        {"rect", [&] { drawRect(camera, Vec2(0.0f, 0.0f), Vec2(5.0f, 5.0f), 0.0f, red); }, 1},
        {"outline",
         [&] { drawRectOutline(camera, Vec2(0.0f, 0.0f), Vec2(5.0f, 5.0f), 0.0f, red, 1.0f); }, 4},
        {"strip", [&] { drawTriangleStrip(camera, Vec2(0.0f, 0.0f), points, 4, 1.0f, 0.0f, red); },
         1},
        {"half disc", [&] { drawHalfDisc(camera, Vec2(0.0f, 0.0f), 5.0f, 0.0f, red); }, 1},
        {"rounded",
         [&] { drawRoundedRect(camera, Vec2(0.0f, 0.0f), Vec2(9.0f, 9.0f), 2.0f, 0.0f, red); }, 1},
        {"notched",
         [&] { drawNotchedRect(camera, Vec2(0.0f, 0.0f), Vec2(9.0f, 9.0f), 2.0f, 0.0f, red); }, 1},
        // A line of text is one draw call, however many glyphs it has.
        {"text", [&] { drawText(camera, "abc", 3, Vec2(0.0f, 0.0f), 10.0f, red); }, 1},
        {"long text", [&] { drawText(camera, longLine, 60, Vec2(-300.0f, 0.0f), 10.0f, red); }, 1},
        {"no text", [&] { drawText(camera, "abc", 0, Vec2(0.0f, 0.0f), 10.0f, red); }, 0},
    };
    for (const auto& c : cases) {
        uint64_t before = drawCallCount();
        c.draw();
        EXPECT_EQ(drawCallCount() - before, c.calls) << c.name;
    }
}
