// The play screen as drawn, read back from the window: the background over the whole view, the
// dimmed parallax copy of the level (shrunk towards the camera, lifted and shaded), the level in
// black, and the score while running or the game-over texts, each where it belongs.
#include "gl_fixture.h"

#include "background.h"
#include "level_generator.h"
#include "play_screen.h"
#include "text.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The camera looks at (100, 50) with the window's own extent: one unit per pixel, and the level
// is not centred on the world's origin, so the parallax copy must be placed relative to the camera.
const Vec2 cameraAt(100.0f, 50.0f);
// Fully inside the parallax copy of the platform below: C + (p - C) * 0.3 + (0, 64) puts its centre
// at (190, 69), 0.3 times its size makes it 60 x 30, so it spans x 160..220 and y 54..84.
const Vec2 platformCentre(400.0f, -100.0f);
const Vec2 platformSize(200.0f, 100.0f);
const Vec2 parallaxMin(160.0f, 54.0f);
const Vec2 parallaxMax(220.0f, 84.0f);
// A right triangle with its legs along x and y, placed at (-100, -50): its copy is the triangle
// (40, 84), (70, 84), (40, 114).
const Vec2 trianglePoints[3] = {{0.0f, 0.0f}, {100.0f, 0.0f}, {0.0f, 100.0f}};
const Vec2 triangleOrigin(-100.0f, -50.0f);

const Rgba black{0, 0, 0, 255};
const Rgba white{255, 255, 255, 255};

// One text as the screen should show it: the anchor is the first glyph's centre, on a camera
// centred on the window.
struct ExpectedText {
    std::string text;
    Vec2 anchor;
    float size;
};

class PlayScreenDrawing : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        game.camera = Camera{cameraAt, Vec2(640.0f, 480.0f)};
        resetPlayer(game.player);
        // Far outside the view: the player's drawing is tested on its own.
        game.player.position = Vec2(1.0e5f, 1.0e5f);
        game.platforms.add(
            new Platform(makePlatform(platformCentre, platformSize.x, platformSize.y, 0.0f)));
        game.fillPolygons.add(new FillPolygon{triangleOrigin, trianglePoints, 3});
    }
    void TearDown() override { releaseLevel(game); }

    // Draws the play screen as the game does and returns it with the background it painted.
    Frame draw(Vec4& background) {
        BackgroundState next = currentBackgroundState();
        background = advanceBackground(next);
        playDraw(game);
        return readFrame();
    }

    Rgba at(const Frame& frame, Vec2 world) const {
        IVec2 p = worldToPixel(game.camera, world);
        return frame.at(p.x, p.y);
    }

    Game game;
};

// The pixel a colour with the given alpha leaves over an opaque background, allowing the one step
// of rounding that blending on 8-bit channels may take either way.
testing::AssertionResult blendedOver(Rgba actual, Vec4 colour, Vec4 background) {
    Rgba under = toRgba(background);
    auto expect = [&](float c, uint8_t b) {
        return c * colour.w * 255.0f + (float)b * (1.0f - colour.w);
    };
    const float expected[3] = {expect(colour.x, under.r), expect(colour.y, under.g),
                               expect(colour.z, under.b)};
    const uint8_t got[3] = {actual.r, actual.g, actual.b};
    for (int i = 0; i < 3; i++) {
        if (std::abs((float)got[i] - expected[i]) > 1.0f)
            return testing::AssertionFailure()
                   << "(" << (int)actual.r << ", " << (int)actual.g << ", " << (int)actual.b
                   << ") is not (" << expected[0] << ", " << expected[1] << ", " << expected[2]
                   << ") within one step";
    }
    return testing::AssertionSuccess();
}

// Where the texts leave fully white pixels: the window drawn with nothing but the expected texts,
// on the screen camera the play screen uses.
std::vector<bool> whiteOf(const Frame& frame) {
    std::vector<bool> mask(frame.pixels.size());
    for (size_t i = 0; i < mask.size(); i++)
        mask[i] = frame.pixels[i] == white;
    return mask;
}

std::vector<bool> expectedWhite(const std::vector<ExpectedText>& texts) {
    clearFrame();
    Camera screen{Vec2(0.0f, 0.0f), Vec2(640.0f, 480.0f)};
    for (const ExpectedText& t : texts)
        drawText(screen, t.text.c_str(), (int32_t)t.text.size(), t.anchor, t.size,
                 Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    return whiteOf(readFrame());
}

// Compares the white pixels of the play screen with those of the expected texts, naming the first
// few pixels that differ.
testing::AssertionResult sameWhite(const std::vector<bool>& actual,
                                   const std::vector<bool>& expected) {
    int32_t expectedCount = 0;
    for (bool w : expected)
        expectedCount += w ? 1 : 0;
    if (expectedCount < 100)
        return testing::AssertionFailure() << "the expected texts leave hardly any white pixels";
    std::string differences;
    int32_t count = 0;
    for (size_t i = 0; i < actual.size(); i++) {
        if (actual[i] == expected[i])
            continue;
        if (count++ < 5) {
            int32_t x = (int32_t)(i % glTestWindowWidth);
            int32_t y = glTestWindowHeight - 1 - (int32_t)(i / glTestWindowWidth);
            differences += " (" + std::to_string(x) + ", " + std::to_string(y) + ")" +
                           (actual[i] ? " white" : " not white");
        }
    }
    if (count == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << count << " pixels differ from the expected texts, for instance" << differences;
}

} // namespace

TEST_F(PlayScreenDrawing, ParallaxCopyIsShrunkTowardsTheCameraLiftedAndShaded) {
    game.player.alive = true;
    Vec4 background;
    Frame frame = draw(background);
    // The dimmed copy: the background times 0.85, alpha included, blended over the background.
    const Vec4 shade = background * 0.85f;

    // Just inside and just outside each edge of the platform's copy: a change of its scale or
    // lift by a single unit moves an edge across one of these pixels.
    const float inside = 0.5f;
    const Vec2 middle = (parallaxMin + parallaxMax) * 0.5f;
    const Vec2 insides[4] = {{parallaxMin.x + inside, middle.y},
                             {parallaxMax.x - inside, middle.y},
                             {middle.x, parallaxMin.y + inside},
                             {middle.x, parallaxMax.y - inside}};
    const Vec2 outsides[4] = {{parallaxMin.x - inside, middle.y},
                              {parallaxMax.x + inside, middle.y},
                              {middle.x, parallaxMin.y - inside},
                              {middle.x, parallaxMax.y + inside}};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(testing::Message() << "edge " << i);
        EXPECT_TRUE(blendedOver(at(frame, insides[i]), shade, background));
        EXPECT_EQ(at(frame, outsides[i]), toRgba(background));
    }

    // The triangle's copy: inside along both legs and next to the hypotenuse, outside beyond it.
    EXPECT_TRUE(blendedOver(at(frame, Vec2(40.5f, 84.5f)), shade, background));
    EXPECT_TRUE(blendedOver(at(frame, Vec2(68.5f, 84.5f)), shade, background));
    EXPECT_TRUE(blendedOver(at(frame, Vec2(40.5f, 112.5f)), shade, background));
    EXPECT_EQ(at(frame, Vec2(70.5f, 84.5f)), toRgba(background));
    EXPECT_EQ(at(frame, Vec2(39.5f, 90.5f)), toRgba(background));
    EXPECT_EQ(at(frame, Vec2(50.5f, 83.5f)), toRgba(background));

    // The level itself in black over its copy's background: the platform from x 300 and y -150,
    // the triangle from (-100, -50).
    EXPECT_EQ(at(frame, Vec2(300.5f, -149.5f)), black);
    EXPECT_EQ(at(frame, Vec2(299.5f, -100.0f)), toRgba(background));
    EXPECT_EQ(at(frame, Vec2(-99.5f, -49.5f)), black);
    EXPECT_EQ(at(frame, Vec2(-101.0f, 0.0f)), toRgba(background));
    // The background fills the corners of the view.
    EXPECT_EQ(frame.at(0, 0), toRgba(background));
    EXPECT_EQ(frame.at(639, 479), toRgba(background));
}

TEST_F(PlayScreenDrawing, RunningShowsTheScoreAtTheTopLeft) {
    game.player.alive = true;
    game.score = 1234.9f; // shown truncated
    Vec4 background;
    std::vector<bool> white = whiteOf(draw(background));
    EXPECT_TRUE(sameWhite(white, expectedWhite({{"Score: 1234", {-300.0f, 220.0f}, 32.0f}})));
}

TEST_F(PlayScreenDrawing, GameOverShowsTheTextsAndTheFinalScoreCentred) {
    // The final score's first glyph is centred at x = -10 per digit: one, three and six digits.
    struct Case {
        float score;
        const char* shown;
    };
    const Case cases[] = {{7.5f, "7"}, {123.0f, "123"}, {987654.0f, "987654"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        clearFrame();
        game.player.alive = false;
        game.score = c.score;
        Vec4 background;
        std::vector<bool> white = whiteOf(draw(background));
        float n = (float)strlen(c.shown);
        EXPECT_TRUE(
            sameWhite(white, expectedWhite({{"Game over", {-128.0f, 40.0f}, 28.0f},
                                            {"Your score was:", {-208.0f, 0.0f}, 28.0f},
                                            {c.shown, {-10.0f * n, -40.0f}, 28.0f},
                                            {"Press C to restart", {-238.0f, -100.0f}, 28.0f}})));
    }
}
