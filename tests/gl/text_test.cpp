// Bitmap-font text checked on screen: where glyphs land, which cell of the font strip each
// character shows, that the shipped font strip has the layout the text code expects, and that a
// line drawn with one draw call is, pixel for pixel, the line drawn glyph by glyph.
#include "gl_fixture.h"
#include "scratch_folder.h"

#include "shaders.h"
#include "text.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <stb_image.h>
#include <stb_image_write.h>
#include <string>

namespace {

const Vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
const Rgba black{0, 0, 0, 255};
const char* const fontPath = "resources/gfx/font.png";

// A stand-in strip with 4-pixel cells, each filled with one opaque colour that names its cell.
Rgba cellColour(int32_t cell) {
    return Rgba{(uint8_t)(2 * cell), (uint8_t)(255 - 2 * cell), 77, 255};
}

std::string writeNumberedStrip(const ScratchFolder& folder) {
    const int cell = 4;
    std::vector<Rgba> pixels;
    for (int32_t k = 0; k < 128; k++)
        pixels.insert(pixels.end(), (size_t)cell * cell, cellColour(k));
    std::string path = (folder.path / "strip.png").string();
    stbi_write_png(path.c_str(), cell, cell * 128, 4, pixels.data(), cell * 4);
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

// A line as text was drawn before it was batched: each glyph a quad of its own through the sprite
// program, its translation in the model matrix, one draw call each.
void drawTextGlyphByGlyph(const Camera& camera, const char* text, int32_t length, Vec2 position,
                          float size, const Vec4& colour) {
    static GLuint vertexArray = 0;
    static GLuint texCoordBuffer = 0;
    const ProgramLocations& at = renderer.spriteLocations;
    if (vertexArray == 0) {
        GLuint buffers[2];
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(2, buffers);
        glGenBuffers(1, &texCoordBuffer);
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, sizeof(quadPositions), quadPositions, GL_STATIC_DRAW);
        glEnableVertexAttribArray((GLuint)at.position);
        glVertexAttribPointer((GLuint)at.position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(quadIndices), quadIndices, GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
        glEnableVertexAttribArray((GLuint)at.texCoord);
        glVertexAttribPointer((GLuint)at.texCoord, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glUseProgram(renderer.spriteProgram);
    uploadCamera(camera, at);
    glBindVertexArray(vertexArray);
    glUniform4f(at.colorTint, colour.x, colour.y, colour.z, colour.w);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glUniform1i(at.spriteTex, 0);
    float x = position.x;
    for (int32_t i = 0; i < length; i++) {
        Mat4 model;
        model.m[0] = size;
        model.m[5] = size;
        model.m[10] = 1.0f;
        model.m[12] = x;
        model.m[13] = position.y;
        model.m[15] = 1.0f;
        glUniformMatrix4fv(at.modelMatrix, 1, GL_FALSE, model.m);
        int32_t k = (int32_t)(signed char)text[i] - 32;
        float vTop = 1.0f - (float)k * 0.0078125f;
        float vBottom = 1.0f - (float)(k + 1) * 0.0078125f;
        const float texCoords[8] = {0.0f, vBottom, 1.0f, vBottom, 1.0f, vTop, 0.0f, vTop};
        glBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof(texCoords), texCoords, GL_DYNAMIC_DRAW);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
        x = x + size;
    }
    glBindVertexArray(0);
    glUseProgram(0);
}

// How many pixels of two frames differ.
int32_t differingPixels(const Frame& a, const Frame& b) {
    int32_t n = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); i++)
        n += a.pixels[i] == b.pixels[i] ? 0 : 1;
    return n + (int32_t)(a.pixels.size() > b.pixels.size() ? a.pixels.size() - b.pixels.size()
                                                           : b.pixels.size() - a.pixels.size());
}

} // namespace

class Text : public GlTest {
  protected:
    // Swaps the font for the numbered strip for one test.
    void useNumberedStrip() {
        ScratchFolder folder("taldrift_strip");
        ASSERT_FALSE(folder.path.empty());
        loadTexture(writeNumberedStrip(folder).c_str(), fontTexture);
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

TEST_F(Text, ALineInOneDrawIsTheLineDrawnGlyphByGlyph) {
    // Every printable character, lines longer than any before them and shorter again, sizes and
    // positions off the pixel grid, cameras of other scales and places, a translucent tint over
    // another line: any difference in where a glyph lands or which texels it shows moves pixels.
    std::string all;
    for (char c = 32; c < 127; c++)
        all += c;
    struct Line {
        std::string text;
        Vec2 position;
        float size;
    };
    const Line lines[] = {
        {"Score: 1234567890", Vec2(-300.0f, 220.0f), 32.0f},
        {all.substr(0, 47), Vec2(-319.7f, 101.3f), 13.37f},
        {all.substr(47), Vec2(-310.25f, -20.5f), 12.9f},
        {"Game over", Vec2(-128.0f, 40.0f), 28.0f},
        {"\x01\xc8 ~", Vec2(-3.1f, -150.6f), 40.3f},
        {all, Vec2(-330.0f, -200.0f), 7.0f},
    };
    const Camera cameras[] = {
        windowCamera(),
        {Vec2(123.4f, -56.7f), Vec2(333.0f, 250.0f)},
        {Vec2(-0.3f, 0.7f), Vec2(1290.0f, 970.0f)},
    };
    const Vec4 tint(1.0f, 0.8f, 0.6f, 0.7f);
    for (size_t c = 0; c < std::size(cameras); c++) {
        SCOPED_TRACE(testing::Message() << "camera " << c);
        clearFrame();
        for (const Line& l : lines) {
            drawText(cameras[c], l.text.data(), (int32_t)l.text.size(), l.position, l.size, tint);
            drawText(cameras[c], l.text.data(), (int32_t)l.text.size(), l.position * 0.5f,
                     l.size * 0.7f, white);
        }
        Frame batched = readFrame();
        clearFrame();
        for (const Line& l : lines) {
            drawTextGlyphByGlyph(cameras[c], l.text.data(), (int32_t)l.text.size(), l.position,
                                 l.size, tint);
            drawTextGlyphByGlyph(cameras[c], l.text.data(), (int32_t)l.text.size(),
                                 l.position * 0.5f, l.size * 0.7f, white);
        }
        Frame glyphByGlyph = readFrame();
        EXPECT_GT(glyphByGlyph.width * glyphByGlyph.height - glyphByGlyph.count(black), 2000);
        EXPECT_EQ(differingPixels(batched, glyphByGlyph), 0);
    }
}
