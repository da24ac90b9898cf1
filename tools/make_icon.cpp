// Makes the game's icon: the runner character in mid-stride, drawn by the game's own drawing code
// (drawPlayer through the engine's renderer) into an offscreen image, with a dark outline so that
// it stands out on light and dark desktops alike, on a transparent background. One PNG per size,
// laid out as an icon theme's folders: OUTPUT/<size>x<size>/apps/taldrift.png.
//
// Usage: make_icon OUTPUT [size ...]   (sizes default to 64 128 256)
// Run from the repository root (the renderer reads resources/shaders/), with a display: the
// OpenGL context needs a window, which stays hidden; under xvfb-run on a machine without one.
#include "gl_api.h"
#include "player.h"
#include "player_draw.h"
#include "render_context.h"
#include "shaders.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stb_image_write.h>
#include <string>
#include <vector>

// ---- Data --------------------------------------------------------------------------------------

static const int defaultSizes[] = {64, 128, 256};
// Each icon is drawn this many times larger and averaged down, which smooths every edge.
static const int supersampling = 4;

// The world square the icon shows, around the figure standing on the origin: its body reaches
// 44 units up and 16 to each side.
static const Vec2 viewCentre(0.0f, 22.5f);
static const float viewSize = 54.0f;

// The pose: running to the right and a little upwards, the feet half a stride apart, the eyes
// looking where it goes.
static const Vec2 runVelocity(300.0f, 90.0f);
static const float strideTime = 0.3f;

// The outline: near black like the level's platforms, this wide in world units.
static const float outlineWidth = 1.6f;
static const unsigned char outlineColour[3] = {24, 24, 28};

// ---- Types -------------------------------------------------------------------------------------

// An image as 8-bit RGBA, top row first.
struct Image {
    int size = 0;
    std::vector<unsigned char> pixels;
};

// ---- Helpers -----------------------------------------------------------------------------------

static int fail(const std::string& message) {
    fprintf(stderr, "make_icon: %s\n", message.c_str());
    return 1;
}

static Player posedPlayer() {
    Player player;
    resetPlayer(player);
    player.motionState = Running;
    player.velocity = runVelocity;
    player.stateTime = strideTime;
    // Already where the eyes turn to, so the one frame drawn shows them there.
    player.look = normalized(runVelocity) * 4.0f;
    return player;
}

// Draws the figure into a fresh framebuffer of the given size and reads it back, top row first.
static bool drawFigure(int size, Image& image) {
    GLuint texture = 0;
    GLuint framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        glViewport(0, 0, size, size);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        Player player = posedPlayer();
        drawPlayer(player, Camera{viewCentre, Vec2(viewSize, viewSize)});
        glFinish();
        image.size = size;
        image.pixels.assign((size_t)size * (size_t)size * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
        // OpenGL gives the bottom row first.
        size_t row = (size_t)size * 4;
        for (int y = 0; y < size / 2; y++)
            std::swap_ranges(image.pixels.begin() + (ptrdiff_t)(y * row),
                             image.pixels.begin() + (ptrdiff_t)((y + 1) * row),
                             image.pixels.begin() + (ptrdiff_t)((size_t)(size - 1 - y) * row));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    return complete && glGetError() == GL_NO_ERROR;
}

// Averages each factor x factor block; colours are weighted by their alpha, so the transparent
// surroundings do not darken the edges.
static Image downsample(const Image& big, int factor) {
    Image small;
    small.size = big.size / factor;
    small.pixels.assign((size_t)small.size * (size_t)small.size * 4, 0);
    for (int y = 0; y < small.size; y++) {
        for (int x = 0; x < small.size; x++) {
            double sum[4] = {0.0, 0.0, 0.0, 0.0};
            for (int v = 0; v < factor; v++) {
                for (int u = 0; u < factor; u++) {
                    size_t i =
                        ((size_t)(y * factor + v) * (size_t)big.size + (size_t)(x * factor + u)) *
                        4;
                    double alpha = big.pixels[i + 3];
                    for (int c = 0; c < 3; c++)
                        sum[c] += big.pixels[i + (size_t)c] * alpha;
                    sum[3] += alpha;
                }
            }
            unsigned char* out = &small.pixels[((size_t)y * (size_t)small.size + (size_t)x) * 4];
            if (sum[3] > 0.0) {
                for (int c = 0; c < 3; c++)
                    out[c] = (unsigned char)std::lround(sum[c] / sum[3]);
            }
            out[3] = (unsigned char)std::lround(sum[3] / (double)(factor * factor));
        }
    }
    return small;
}

// Lays the figure over a dark band around it: the band's alpha at a pixel is the figure's
// largest alpha within the radius, fading over the last pixel for a smooth edge.
static void addOutline(Image& image, float radius) {
    int size = image.size;
    int reach = (int)std::ceil(radius + 1.0f);
    std::vector<float> band((size_t)size * (size_t)size, 0.0f);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float best = 0.0f;
            for (int v = std::max(0, y - reach); v <= std::min(size - 1, y + reach); v++) {
                for (int u = std::max(0, x - reach); u <= std::min(size - 1, x + reach); u++) {
                    float distance = std::hypot((float)(u - x), (float)(v - y));
                    float weight = std::clamp(radius + 0.5f - distance, 0.0f, 1.0f);
                    float alpha = image.pixels[((size_t)v * (size_t)size + (size_t)u) * 4 + 3];
                    best = std::max(best, weight * alpha / 255.0f);
                }
            }
            band[(size_t)y * (size_t)size + (size_t)x] = best;
        }
    }
    for (size_t i = 0; i < band.size(); i++) {
        unsigned char* p = &image.pixels[i * 4];
        float top = p[3] / 255.0f;
        float under = band[i] * (1.0f - top);
        float alpha = top + under;
        if (alpha <= 0.0f)
            continue;
        for (int c = 0; c < 3; c++)
            p[c] = (unsigned char)std::lround((p[c] * top + outlineColour[c] * under) / alpha);
        p[3] = (unsigned char)std::lround(alpha * 255.0f);
    }
}

static bool anythingDrawn(const Image& image) {
    for (size_t i = 3; i < image.pixels.size(); i += 4) {
        if (image.pixels[i] != 0)
            return true;
    }
    return false;
}

// Makes one icon and writes it where an icon theme keeps it.
static int makeIcon(const std::string& output, int size) {
    Image big;
    if (!drawFigure(size * supersampling, big))
        return fail("cannot draw into an offscreen image of " + std::to_string(size) + " pixels");
    Image icon = downsample(big, supersampling);
    if (!anythingDrawn(icon))
        return fail("the figure came out empty; run from the repository root, where the "
                    "renderer finds resources/shaders/");
    addOutline(icon, outlineWidth * (float)size / viewSize);
    std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
    std::filesystem::path folder = std::filesystem::path(output) / sizeName / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string path = (folder / "taldrift.png").string();
    if (error || !stbi_write_png(path.c_str(), size, size, 4, icon.pixels.data(), size * 4))
        return fail("cannot write " + path);
    printf("%s\n", path.c_str());
    return 0;
}

// ---- Public functions --------------------------------------------------------------------------

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-')
        return fail("usage: make_icon OUTPUT [size ...]");
    std::vector<int> sizes;
    for (int i = 2; i < argc; i++) {
        char* end = nullptr;
        long size = strtol(argv[i], &end, 10);
        if (*end != '\0' || size < 16 || size > 1024)
            return fail(std::string("not a size from 16 to 1024 pixels: ") + argv[i]);
        sizes.push_back((int)size);
    }
    if (sizes.empty())
        sizes.assign(std::begin(defaultSizes), std::end(defaultSizes));

    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return fail(std::string("cannot start SDL's video: ") + SDL_GetError());
    setContextAttributes();
    SDL_Window* window =
        SDL_CreateWindow("make_icon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64, 64,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr || !createRenderContext(window)) {
        std::string reason = SDL_GetError();
        SDL_Quit();
        return fail("no OpenGL 3.2 context (" + reason + "); is there a display?");
    }
    initRenderer();
    int code = 0;
    if (renderer.flatColorProgram == 0)
        code = fail("cannot build the shaders from resources/shaders/; run from the repository "
                    "root");
    for (size_t i = 0; i < sizes.size() && code == 0; i++)
        code = makeIcon(argv[1], sizes[i]);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return code;
}
