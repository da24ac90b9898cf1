// Start-up with shader files or the font image missing or broken: nothing crashes, what can be
// built still draws, what cannot draws nothing, and the OpenGL error reaches the engine's report.
// Each case builds the renderer from a temporary copy of resources/ with some files left out, so
// the real resources are never touched.
#include "gl_fixture.h"
#include "scratch_folder.h"

#include "shaders.h"
#include "text.h"
#include "tyx.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

const Vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
const Vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
const Rgba black{0, 0, 0, 255};
const Rgba redPixel{255, 0, 0, 255};

// Empties OpenGL's error flags so that a test sees only the errors it causes.
void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

// What the engine's per-frame check prints right now.
std::string glErrorReport() {
    testing::internal::CaptureStderr();
    checkGlError("frame", 1, false);
    return testing::internal::GetCapturedStderr();
}

} // namespace

class MissingResources : public GlContextTest {
  protected:
    fs::path repository;
    std::unique_ptr<ScratchFolder> scratch;

    // Copies resources/ into a fresh temporary directory without the given files (paths relative
    // to the repository root) and makes that directory the working directory.
    void useResourcesWithout(std::initializer_list<const char*> left_out) {
        repository = fs::current_path();
        scratch = std::make_unique<ScratchFolder>("taldrift_resources");
        ASSERT_FALSE(scratch->path.empty());
        const fs::path& copy = scratch->path;
        fs::copy(repository / "resources", copy / "resources", fs::copy_options::recursive);
        for (const char* file : left_out)
            ASSERT_TRUE(fs::remove(copy / file)) << file;
        fs::current_path(copy);
    }
    void TearDown() override {
        if (!repository.empty())
            fs::current_path(repository);
        scratch.reset();
    }
};

TEST_F(MissingResources, MissingLineShaderLeavesStartUpIntactAndReportsTheError) {
    useResourcesWithout({"resources/shaders/line.vsh"});
    drainGlErrors();
    initRenderer();
    initText();
    EXPECT_EQ(renderer.lineProgram, 0u);
    EXPECT_NE(renderer.spriteProgram, 0u);
    EXPECT_NE(renderer.flatColorProgram, 0u);
    EXPECT_NE(textProgram, 0u);
    EXPECT_EQ(glErrorReport(), "(frame:1) OpenGL error: GL_INVALID_VALUE\n");

    // Lines draw nothing; everything else still draws.
    clearFrame();
    drawLine(windowCamera(), Vec2(-100.0f, 0.5f), Vec2(100.0f, 0.5f), red);
    Frame lineless = readFrame();
    EXPECT_EQ(lineless.count(black), lineless.width * lineless.height);
    EXPECT_NE(glErrorReport().find("OpenGL error: GL_INVALID"), std::string::npos);

    drawRect(windowCamera(), Vec2(0.0f, 0.0f), Vec2(10.0f, 10.0f), 0.0f, red);
    Frame frame = readFrame();
    EXPECT_EQ(frame.count(redPixel), 100);
}

TEST_F(MissingResources, MissingSpriteShaderStillDrawsFlatShapes) {
    useResourcesWithout({"resources/shaders/sprite.fsh"});
    initRenderer();
    initText();
    EXPECT_EQ(renderer.spriteProgram, 0u);
    EXPECT_EQ(textProgram, 0u);
    drawText(windowCamera(), "Taldrift", 8, Vec2(0.0f, 0.0f), 24.0f, white);
    drawRect(windowCamera(), Vec2(0.0f, 100.0f), Vec2(10.0f, 10.0f), 0.0f, red);
    const Vec2 strip[3] = {{0.0f, 0.0f}, {10.0f, 0.0f}, {0.0f, 10.0f}};
    drawTriangleStrip(windowCamera(), Vec2(-100.0f, -100.0f), strip, 3, 1.0f, 0.0f, red);
    Frame frame = readFrame();
    IVec2 rect = worldToPixel(windowCamera(), Vec2(0.0f, 100.0f));
    IVec2 triangle = worldToPixel(windowCamera(), Vec2(-97.0f, -97.0f));
    EXPECT_EQ(frame.at(rect.x, rect.y), redPixel);
    EXPECT_EQ(frame.at(triangle.x, triangle.y), redPixel);
    // Nothing but the rect and the triangle: the text's squares stay empty.
    EXPECT_LE(frame.count(redPixel), 100 + 55);
    EXPECT_EQ(frame.count(black), frame.width * frame.height - frame.count(redPixel));
}

TEST_F(MissingResources, MissingFontImageDrawsNoText) {
    useResourcesWithout({"resources/gfx/font.png"});
    initRenderer();
    initText();
    EXPECT_NE(textProgram, 0u);
    drawText(windowCamera(), "Press C to start", 16, Vec2(-260.0f, -120.0f), 24.0f, white);
    drawText(windowCamera(), "Score: 12", 9, Vec2(-300.0f, 220.0f), 32.0f, white);
    Frame frame = readFrame();
    EXPECT_EQ(frame.count(black), frame.width * frame.height);
}

TEST_F(MissingResources, ProgramsFromBrokenOrUnterminatedSources) {
    useResourcesWithout({});
    // The loader terminates the text itself, so a file may end without a newline.
    std::string source;
    {
        std::ifstream in("resources/shaders/flatColor.fsh");
        source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    while (!source.empty() && (source.back() == '\n' || source.back() == ' '))
        source.pop_back();
    std::ofstream("unterminated.fsh", std::ios::binary) << source;
    std::ofstream("broken.fsh") << "#version 150\nthis is not GLSL\n";
    std::ofstream("empty.vsh");

    struct Case {
        const char* vertex;
        const char* fragment;
        bool links;
    };
    const Case cases[] = {
        {"resources/shaders/flatColor.vsh", "unterminated.fsh", true},
        {"resources/shaders/flatColor.vsh", "broken.fsh", false},
        {"resources/shaders/flatColor.vsh", "missing.fsh", false},
        {"missing.vsh", "resources/shaders/flatColor.fsh", false},
        {"empty.vsh", "resources/shaders/flatColor.fsh", false},
        {"resources/shaders", "resources/shaders/flatColor.fsh", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.vertex << " + " << c.fragment);
        EXPECT_EQ(createProgram(c.vertex, c.fragment) != 0, c.links);
    }
    EXPECT_EQ(loadShader("missing.vsh", GL_VERTEX_SHADER), 0u);
    drainGlErrors();
}
