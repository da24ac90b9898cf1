// The GL test window, its context and the pixel read-back helpers; see gl_fixture.h.
#include "gl_fixture.h"

#include "gl_api.h"
#include "render_context.h"
#include "shaders.h"
#include "text.h"

#include <cmath>
#include <ostream>

static SDL_Window* testWindow = nullptr;
static bool rendererReady = false;

bool operator==(Rgba a, Rgba b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

void PrintTo(Rgba pixel, std::ostream* out) {
    *out << "(" << (int)pixel.r << ", " << (int)pixel.g << ", " << (int)pixel.b << ", "
         << (int)pixel.a << ")";
}

Rgba Frame::at(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the window";
        return Rgba{0, 0, 0, 0};
    }
    return pixels[(size_t)(height - 1 - y) * (size_t)width + (size_t)x];
}

int32_t Frame::count(Rgba pixel) const {
    int32_t n = 0;
    for (Rgba p : pixels)
        n += p == pixel ? 1 : 0;
    return n;
}

SDL_Window* openGlTestWindow(bool hidden) {
    if (testWindow != nullptr)
        return testWindow;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        ADD_FAILURE() << "SDL_Init: " << SDL_GetError();
        return nullptr;
    }
    setContextAttributes();
    // Single-sampled, so that every pixel is either inside a shape or outside it.
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    Uint32 flags = SDL_WINDOW_OPENGL | (hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    SDL_Window* window =
        SDL_CreateWindow("gl test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                         glTestWindowWidth, glTestWindowHeight, flags);
    if (window == nullptr) {
        ADD_FAILURE() << "SDL_CreateWindow: " << SDL_GetError();
        return nullptr;
    }
    if (!createRenderContext(window)) {
        ADD_FAILURE() << "no OpenGL 3.2 core context: " << SDL_GetError();
        SDL_DestroyWindow(window);
        return nullptr;
    }
    testWindow = window;
    return testWindow;
}

void initRendererOnce() {
    if (rendererReady)
        return;
    initRenderer();
    initText();
    rendererReady = true;
}

void clearFrame(Vec4 colour) {
    glViewport(0, 0, glTestWindowWidth, glTestWindowHeight);
    glClearColor(colour.x, colour.y, colour.z, colour.w);
    glClear(GL_COLOR_BUFFER_BIT);
}

Frame readFrame() {
    Frame frame;
    frame.width = glTestWindowWidth;
    frame.height = glTestWindowHeight;
    frame.pixels.resize((size_t)frame.width * (size_t)frame.height);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
    return frame;
}

Camera windowCamera() {
    return Camera{Vec2(0.0f, 0.0f), Vec2((float)glTestWindowWidth, (float)glTestWindowHeight)};
}

Vec2 worldToPixelExact(const Camera& camera, Vec2 world) {
    float x = (world.x - camera.position.x) / camera.size.x * (float)glTestWindowWidth +
              (float)glTestWindowWidth / 2.0f;
    float y = (float)glTestWindowHeight / 2.0f -
              (world.y - camera.position.y) / camera.size.y * (float)glTestWindowHeight;
    return Vec2(x, y);
}

IVec2 worldToPixel(const Camera& camera, Vec2 world) {
    Vec2 p = worldToPixelExact(camera, world);
    return IVec2((int32_t)floorf(p.x), (int32_t)floorf(p.y));
}

Vec2 pixelCentreToWorld(const Camera& camera, int32_t x, int32_t y) {
    float px = (float)x + 0.5f;
    float py = (float)y + 0.5f;
    return Vec2((px - (float)glTestWindowWidth / 2.0f) / (float)glTestWindowWidth * camera.size.x +
                    camera.position.x,
                ((float)glTestWindowHeight / 2.0f - py) / (float)glTestWindowHeight *
                        camera.size.y +
                    camera.position.y);
}

Rgba toRgba(Vec4 colour) {
    auto channel = [](float c) { return (uint8_t)lroundf(c * 255.0f); };
    return Rgba{channel(colour.x), channel(colour.y), channel(colour.z), channel(colour.w)};
}

void GlContextTest::SetUpTestSuite() {
    openGlTestWindow();
}

void GlContextTest::SetUp() {
    ASSERT_NE(testWindow, nullptr);
    clearFrame();
}

void GlTest::SetUpTestSuite() {
    if (openGlTestWindow() != nullptr)
        initRendererOnce();
}

void GlTest::SetUp() {
    ASSERT_NE(testWindow, nullptr);
    ASSERT_TRUE(rendererReady);
    clearFrame();
}
