// Bitmap-font text checked on screen: where glyphs land, which cell of the font strip each
// character shows, and that the shipped font strip has the layout the text code expects.
#include "gl_fixture.h"

#include "text.h"

#include <cstdlib>
#include <stb_image.h>
#include <stb_image_write.h>
#include <string>
#include <unistd.h>

namespace {

const Vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
const Rgba black{0, 0, 0, 255};
const char* const fontPath = "resources/gfx/font.png";

// A stand-in strip with 4-pixel cells, each filled with one opaque colour that names its cell.
Rgba cellColour(int32_t cell) {
    return Rgba{(uint8_t)(2 * cell), (uint8_t)(255 - 2 * cell), 77, 255};
}

std::string writeNumberedStrip() {
    const int cell = 4;
    std::vector<Rgba> pixels;
    for (int32_t k = 0; k < 128; k++)
        pixels.insert(pixels.end(), (size_t)cell * cell, cellColour(k));
    char path[] = "/tmp/taldrift_strip_XXXXXX.png";
    int fd = mkstemps(path, 4);
    close(fd);
    stbi_write_png(path, cell, cell * 128, 4, pixels.data(), cell * 4);
    return path;
}

// The decoded font strip, for comparing cells with what is drawn.
struct Strip {
    int width = 0;
    int height = 0;
    unsigned char* pixels = nullptr;

    uint8_t alpha(int32_t cell, int32_t x, int32_t y) const {
        return pixels[((size_t)(cell * width + y) * (size_t)width + (size_t)x) * 4 + 3];
    }
    int32_t inkedPixels(int32_t cell) const {
        int32_t n = 0;
        for (int32_t y = 0; y < width; y++)
            for (int32_t x = 0; x < width; x++)
                n += alpha(cell, x, y) > 0 ? 1 : 0;
        return n;
    }
};

} // namespace

class Text : public GlTest {
  protected:
    // Swaps the font for the numbered strip for one test.
    void useNumberedStrip() {
        std::string path = writeNumberedStrip();
        loadTexture(path.c_str(), fontTexture);
        unlink(path.c_str());
    }
    void TearDown() override { loadTexture(fontPath, fontTexture); }
};

TEST_F(Text, GlyphsCoverTheirSquaresAndShowTheirCells) {
    useNumberedStrip();
    struct Case {
        const char* text;
        int32_t length;
        int32_t cells[3];
    };
    // Control codes and bytes of 128 and over fall above the strip, where the clamped texture
    // repeats the top row: the space cell's.
    const Case cases[] = {
        {"Ab", 2, {33, 66}},   {" ~", 2, {0, 94}}, {"\n", 1, {0}},
        {"\xc8z", 2, {0, 90}}, {"abc", 0, {}},     {"01x", 3, {16, 17, 88}},
    };
    Vec2 position(-100.0f, 20.0f);
    float size = 24.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        clearFrame();
        drawText(windowCamera(), c.text, c.length, position, size, white);
        Frame frame = readFrame();
        // Glyph i covers (px + i s, py) +- s/2: here pixel columns 208 + 24 i and rows 208..231.
        int32_t mismatches = 0;
        for (int32_t y = 0; y < frame.height; y++) {
            for (int32_t x = 0; x < frame.width; x++) {
                Rgba want = black;
                int32_t glyph = (x - 208) / 24;
                if (x >= 208 && glyph < c.length && y >= 208 && y < 232)
                    want = cellColour(c.cells[glyph]);
                mismatches += frame.at(x, y) == want ? 0 : 1;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(Text, FontStripHasOneSquareCellPerCode) {
    Strip strip;
    int channels = 0;
    strip.pixels = stbi_load(fontPath, &strip.width, &strip.height, &channels, 4);
    ASSERT_NE(strip.pixels, nullptr);
    EXPECT_EQ(strip.height, strip.width * 128);
    // The space is blank, every printable character has ink, and the unused cells stay clear.
    EXPECT_EQ(strip.inkedPixels(0), 0);
    for (int32_t cell = 1; cell <= 94; cell++)
        EXPECT_GT(strip.inkedPixels(cell), 0) << "character " << (char)(cell + 32);
    for (int32_t cell = 95; cell < 128; cell++)
        EXPECT_EQ(strip.inkedPixels(cell), 0) << "cell " << cell;
    stbi_image_free(strip.pixels);
}

TEST_F(Text, GlyphPixelsAreTheFontCellsPixels) {
    Strip strip;
    int channels = 0;
    strip.pixels = stbi_load(fontPath, &strip.width, &strip.height, &channels, 4);
    ASSERT_NE(strip.pixels, nullptr);
    int32_t cell = strip.width;

    // Drawn at the cell size on whole pixels, each glyph is its cell 1:1; white over black shows
    // the cell's alpha in every colour channel.
    const char text[] = "Ag@";
    Vec2 position(-100.0f, 40.0f);
    drawText(windowCamera(), text, 3, position, (float)cell, white);
    Frame frame = readFrame();
    IVec2 topLeft = worldToPixel(windowCamera(), position + Vec2(-cell / 2.0f, cell / 2.0f));
    int32_t mismatches = 0;
    for (int32_t i = 0; i < 3; i++) {
        int32_t k = text[i] - 32;
        for (int32_t y = 0; y < cell; y++) {
            for (int32_t x = 0; x < cell; x++) {
                Rgba p = frame.at(topLeft.x + i * cell + x, topLeft.y + y);
                int32_t a = strip.alpha(k, x, y);
                if (abs(p.r - a) > 1 || abs(p.g - a) > 1 || abs(p.b - a) > 1)
                    mismatches++;
            }
        }
        EXPECT_GT(strip.inkedPixels(k), cell) << "cell " << k << " should hold a glyph";
    }
    EXPECT_EQ(mismatches, 0);
    stbi_image_free(strip.pixels);
}
