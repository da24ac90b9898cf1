// Makes the game's font strip, resources/gfx/font.png, from a TrueType font: one column of 128
// square cells, the cell for character code 32 at the top, each holding one white glyph whose
// alpha is its coverage. Only the printable codes 32..126 get a glyph; the other cells stay clear.
//
// Usage: make_font [output.png] [font.ttf] [cell size in pixels]
// With no arguments it rewrites resources/gfx/font.png (run from the repository root) from DejaVu
// Sans Mono as Debian's fonts-dejavu-core installs it. The output depends only on the font file,
// so running it again gives the same image.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stb_image_write.h>
#include <stb_truetype.h>
#include <vector>

// ---- Data --------------------------------------------------------------------------------------

static const char* const defaultOutputPath = "resources/gfx/font.png";
static const char* const defaultFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// The game draws its text 24, 28 and 32 units tall on a 640x480 view, and the strip is sampled
// with nearest filtering. A 32-pixel cell shows 1:1 at 32, and at 24 and 28 the cell loses only
// every fourth or eighth texel row and column, which the coverage edges hide.
static const int defaultCellSize = 32;

static const int cellCount = 128;
static const int firstCode = 32;
static const int lastCode = 126;
// How much wider than the font draws them the glyphs are made.
static const float horizontalStretch = 1.5f;

// ---- Helpers -----------------------------------------------------------------------------------

// The whole file, or an empty buffer when it cannot be read.
static std::vector<unsigned char> readFile(const char* path) {
    std::vector<unsigned char> bytes;
    FILE* file = fopen(path, "rb");
    if (file == nullptr)
        return bytes;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

// The ink box of every printable glyph together, in font units (y up).
struct InkBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

static InkBox printableInk(const stbtt_fontinfo& font) {
    InkBox box;
    bool first = true;
    for (int code = firstCode; code <= lastCode; code++) {
        int x0, y0, x1, y1;
        if (!stbtt_GetCodepointBox(&font, code, &x0, &y0, &x1, &y1))
            continue;
        if (first || y0 < box.y0)
            box.y0 = y0;
        if (first || y1 > box.y1)
            box.y1 = y1;
        if (first || x0 < box.x0)
            box.x0 = x0;
        if (first || x1 > box.x1)
            box.x1 = x1;
        first = false;
    }
    return box;
}

// ---- Program -----------------------------------------------------------------------------------

int main(int argc, char** argv) {
    const char* outputPath = argc > 1 ? argv[1] : defaultOutputPath;
    const char* fontPath = argc > 2 ? argv[2] : defaultFontPath;
    int cell = argc > 3 ? atoi(argv[3]) : defaultCellSize;
    if (cell < 4 || cell > 256) {
        fprintf(stderr, "make_font: the cell size must be between 4 and 256 pixels\n");
        return 1;
    }

    std::vector<unsigned char> fontData = readFile(fontPath);
    stbtt_fontinfo font;
    if (fontData.empty() || !stbtt_InitFont(&font, fontData.data(), 0)) {
        fprintf(stderr, "make_font: cannot read the font %s\n", fontPath);
        return 1;
    }

    // The tallest printable ink (brackets above, descenders below) spans the cell's height, less
    // a pixel of air at either end so that neighbouring lines never touch.
    InkBox ink = printableInk(font);
    if (ink.y1 <= ink.y0) {
        fprintf(stderr, "make_font: the font %s has no printable glyphs\n", fontPath);
        return 1;
    }
    float scale = (float)(cell - 2) / (float)(ink.y1 - ink.y0);
    int advance = 0;
    int leftBearing = 0;
    stbtt_GetCodepointHMetrics(&font, 'M', &advance, &leftBearing);
    // Text advances by a whole square cell, while the font's glyphs are little more than half as
    // wide as they are tall; stretched across, they fill most of the cell and read as words
    // rather than spaced-out letters.
    float scaleX = scale * horizontalStretch;
    // Whole-pixel origin: the advance box centred across the cell, the ink centred down it.
    int originX = (int)lroundf(((float)cell - (float)advance * scaleX) / 2.0f);
    int baseline = (int)lroundf((float)cell / 2.0f + (float)(ink.y1 + ink.y0) * scale / 2.0f);

    // White everywhere, so the edges blend to white; the alpha alone carries the glyph.
    int height = cell * cellCount;
    std::vector<unsigned char> image((size_t)cell * (size_t)height * 4, 255);
    for (size_t i = 3; i < image.size(); i += 4)
        image[i] = 0;

    for (int code = firstCode; code <= lastCode; code++) {
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBox(&font, code, scaleX, scale, &x0, &y0, &x1, &y1);
        int w = x1 - x0;
        int h = y1 - y0;
        if (w <= 0 || h <= 0)
            continue;
        std::vector<unsigned char> glyph((size_t)w * (size_t)h);
        stbtt_MakeCodepointBitmap(&font, glyph.data(), w, h, w, scaleX, scale, code);
        int cellTop = (code - firstCode) * cell;
        for (int gy = 0; gy < h; gy++) {
            int y = baseline + y0 + gy;
            if (y < 0 || y >= cell)
                continue;
            for (int gx = 0; gx < w; gx++) {
                int x = originX + x0 + gx;
                if (x < 0 || x >= cell)
                    continue;
                image[((size_t)(cellTop + y) * (size_t)cell + (size_t)x) * 4 + 3] =
                    glyph[(size_t)gy * (size_t)w + (size_t)gx];
            }
        }
    }

    if (!stbi_write_png(outputPath, cell, height, 4, image.data(), cell * 4)) {
        fprintf(stderr, "make_font: cannot write %s\n", outputPath);
        return 1;
    }
    printf("make_font: %s, %d glyphs in %dx%d cells\n", outputPath, lastCode - firstCode + 1, cell,
           cell);
    return 0;
}
