// The camera upload, texture loading and every draw operation. Each draw selects its program from
// shaders, uploads the camera, sets its uniforms, fills or binds its mesh, draws and restores
// program 0 and vertex array 0, so draws never depend on one another. The uniforms' locations come
// from the renderer, looked up once per program, and the shapes' vertices are built in place:
// nothing is looked up by name or allocated on the way to a draw call.
#include "draw.h"

#include "gl_api.h"
#include "render_context.h"
#include "shaders.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stb_image.h>
#include <vector>

// ---- Data --------------------------------------------------------------------------------------

static const float pi = 3.1415925f;
static const float halfPi = 1.5707963f;
static const float sqrt2 = 1.4142137f;

// Points on each arc of the half disc and of each rounded corner.
static const int arcPoints = 7;
static const int halfDiscVertexCount = 1 + arcPoints;
static const int roundedRectVertexCount = 1 + 4 * arcPoints + 1;
static const int notchedRectPointCount = 34;

// Corner centre signs of the rounded rectangle, counter-clockwise from the top right.
static const float cornerSigns[4][2] = {{1.0f, 1.0f}, {-1.0f, 1.0f}, {-1.0f, -1.0f}, {1.0f, -1.0f}};

static uint64_t drawCalls = 0;

// The vertices of the latest triangle strip. It keeps its storage from one strip to the next, so
// it grows only when a strip is longer than every one before it.
static std::vector<float> stripVertices;

// ---- Helpers -----------------------------------------------------------------------------------

static void setColorTint(const ProgramLocations& at, const Vec4& colour) {
    glUniform4f(at.colorTint, colour.x, colour.y, colour.z, colour.w);
}

// Sends translation . rotation . scale, built row by row.
static void setModelMatrix(const ProgramLocations& at, Vec2 position, float angle, Vec2 scale) {
    Mat4 model = modelMatrixRows(position, cosine(angle), sine(angle), scale);
    glUniformMatrix4fv(at.modelMatrix, 1, GL_TRUE, model.m);
}

// The common start of a placed draw: selects the program and sets the camera, the colour and the
// model matrix translation . rotation . scale.
static void beginPlacedDraw(uint32_t program, const ProgramLocations& at, const Camera& camera,
                            const Vec4& colour, Vec2 position, float angle, Vec2 scale) {
    glUseProgram(program);
    uploadCamera(camera, at);
    setColorTint(at, colour);
    setModelMatrix(at, position, angle, scale);
}

// The shared frame of the flat-colour shapes: uploads count vertices (x, y, 0) to the shape mesh
// and draws them as mode, placed at position, turned by angle and scaled by scale.
static void drawShape(const Camera& camera, const float* vertices, int32_t count, GLenum mode,
                      Vec2 position, float angle, Vec2 scale, const Vec4& colour) {
    beginPlacedDraw(renderer.flatColorProgram, renderer.flatColorLocations, camera, colour,
                    position, angle, scale);
    glBindVertexArray(renderer.shapeVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.shapeBuffer);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)count * 3 * (GLsizeiptr)sizeof(float), vertices,
                 GL_DYNAMIC_DRAW);
    glDrawArrays(mode, 0, count);
    countDrawCall();
    glBindVertexArray(0);
    glUseProgram(0);
}

static void setVertex(float* vertices, int index, float x, float y) {
    vertices[index * 3 + 0] = x;
    vertices[index * 3 + 1] = y;
    vertices[index * 3 + 2] = 0.0f;
}

// Swaps row i with row height - 1 - i; an odd height's middle row stays where it is.
static void flipRows(unsigned char* pixels, int width, int height) {
    size_t rowBytes = (size_t)width * 4;
    unsigned char* row = (unsigned char*)malloc(rowBytes);
    for (int i = 0; i < height / 2; i++) {
        unsigned char* top = pixels + (size_t)i * rowBytes;
        unsigned char* bottom = pixels + (size_t)(height - 1 - i) * rowBytes;
        memcpy(row, top, rowBytes);
        memcpy(top, bottom, rowBytes);
        memcpy(bottom, row, rowBytes);
    }
    free(row);
}

// ---- Public functions --------------------------------------------------------------------------

uint64_t drawCallCount() {
    return drawCalls;
}

void countDrawCall() {
    drawCalls++;
}

IVec2 getWindowSize() {
    IVec2 size;
    if (renderWindow != nullptr)
        SDL_GetWindowSize(renderWindow, &size.x, &size.y);
    return size;
}

void uploadCamera(const Camera& camera, uint32_t program) {
    Mat4 projection = projectionMatrix(camera.size.x, camera.size.y);
    Mat4 viewing = viewingMatrix(camera.position);
    glUniformMatrix4fv(glGetUniformLocation(program, "projectionMatrix"), 1, GL_FALSE,
                       projection.m);
    glUniformMatrix4fv(glGetUniformLocation(program, "viewingMatrix"), 1, GL_FALSE, viewing.m);
}

void uploadCamera(const Camera& camera, const ProgramLocations& at) {
    Mat4 projection = projectionMatrix(camera.size.x, camera.size.y);
    Mat4 viewing = viewingMatrix(camera.position);
    glUniformMatrix4fv(at.projectionMatrix, 1, GL_FALSE, projection.m);
    glUniformMatrix4fv(at.viewingMatrix, 1, GL_FALSE, viewing.m);
}

void loadTexture(const char* path, uint32_t texture) {
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* pixels = stbi_load(path, &width, &height, &channels, 4);

    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    if (pixels != nullptr) {
        flipRows(pixels, width, height);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixels);
        stbi_image_free(pixels);
    } else {
        // A texture without an image samples as opaque black; one clear texel keeps whatever is
        // drawn with an image that failed to load invisible instead.
        const unsigned char clear[4] = {0, 0, 0, 0};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, clear);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void createTexture(const char* path, uint32_t& texture) {
    glGenTextures(1, &texture);
    loadTexture(path, texture);
}

void drawLine(const Camera& camera, Vec2 from, Vec2 to, const Vec4& colour) {
    const ProgramLocations& at = renderer.lineLocations;
    glUseProgram(renderer.lineProgram);
    uploadCamera(camera, at);
    setColorTint(at, colour);
    const float vertices[6] = {from.x, from.y, 0.0f, to.x, to.y, 0.0f};
    glBindVertexArray(renderer.lineVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.lineBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STREAM_DRAW);
    // A line program that failed to build has no attribute to describe, and draws nothing.
    if (at.position >= 0) {
        glEnableVertexAttribArray((GLuint)at.position);
        glVertexAttribPointer((GLuint)at.position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glDrawArrays(GL_LINES, 0, 2);
    countDrawCall();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (at.position >= 0)
        glDisableVertexAttribArray((GLuint)at.position);
    glBindVertexArray(0);
    glUseProgram(0);
}

void drawRect(const Camera& camera, Vec2 centre, Vec2 size, float angle, const Vec4& colour) {
    beginPlacedDraw(renderer.flatColorProgram, renderer.flatColorLocations, camera, colour, centre,
                    angle, size);
    glBindVertexArray(renderer.quadVertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    countDrawCall();
    glBindVertexArray(0);
    glUseProgram(0);
}

void drawRectOutline(const Camera& camera, Vec2 centre, Vec2 size, float angle, const Vec4& colour,
                     float thickness) {
    // The side bars are taller by one thickness so that they cover the corners; the bar offsets
    // stay along the world axes.
    float t = thickness;
    drawRect(camera, centre - Vec2(size.x / 2.0f, 0.0f), Vec2(t, size.y + t), angle, colour);
    drawRect(camera, centre + Vec2(size.x / 2.0f, 0.0f), Vec2(t, size.y + t), angle, colour);
    drawRect(camera, centre + Vec2(0.0f, size.y / 2.0f), Vec2(size.x - t, t), angle, colour);
    drawRect(camera, centre - Vec2(0.0f, size.y / 2.0f), Vec2(size.x - t, t), angle, colour);
}

void drawTriangleStrip(const Camera& camera, Vec2 position, const Vec2* points, int32_t count,
                       float scale, float angle, const Vec4& colour) {
    if (count < 0)
        count = 0;
    if (stripVertices.size() < (size_t)count * 3)
        stripVertices.resize((size_t)count * 3);
    float* vertices = stripVertices.data();
    for (int32_t i = 0; i < count; i++)
        setVertex(vertices, i, points[i].x, points[i].y);
    drawShape(camera, vertices, count, GL_TRIANGLE_STRIP, position, angle, Vec2(scale, scale),
              colour);
}

void drawHalfDisc(const Camera& camera, Vec2 centre, float radius, float angle,
                  const Vec4& colour) {
    float vertices[halfDiscVertexCount * 3];
    setVertex(vertices, 0, 0.0f, 0.0f);
    // The rim turns clockwise from (r, 0) through (0, -r), so the round side is below the centre.
    for (int i = 0; i < arcPoints; i++) {
        Vec2 rim = Vec2(radius, 0.0f).rotated(-((float)i / 6.0f) * pi);
        setVertex(vertices, i + 1, rim.x, rim.y);
    }
    drawShape(camera, vertices, halfDiscVertexCount, GL_TRIANGLE_FAN, centre, angle,
              Vec2(1.0f, 1.0f), colour);
}

void drawRoundedRect(const Camera& camera, Vec2 centre, Vec2 size, float cornerRadius, float angle,
                     const Vec4& colour) {
    float r = cornerRadius;
    float vertices[roundedRectVertexCount * 3];
    setVertex(vertices, 0, 0.0f, 0.0f);
    Vec2 inner(size.x / 2.0f - r, size.y / 2.0f - r);
    for (int k = 0; k < 4; k++) {
        Vec2 cornerCentre(inner.x * cornerSigns[k][0], inner.y * cornerSigns[k][1]);
        for (int j = 0; j < arcPoints; j++) {
            float phi = ((float)j / 6.0f) * halfPi + (float)k * halfPi;
            Vec2 point = cornerCentre + Vec2(r, 0.0f).rotated(phi);
            setVertex(vertices, 1 + arcPoints * k + j, point.x, point.y);
        }
    }
    // Closes the fan on its first rim point.
    setVertex(vertices, roundedRectVertexCount - 1, vertices[3], vertices[4]);
    drawShape(camera, vertices, roundedRectVertexCount, GL_TRIANGLE_FAN, centre, angle,
              Vec2(1.0f, 1.0f), colour);
}

void drawNotchedRect(const Camera& camera, Vec2 centre, Vec2 size, float notchRadius, float angle,
                     const Vec4& colour) {
    float hx = size.x / 2.0f;
    float hy = size.y / 2.0f;
    float r = notchRadius;
    float d = r / sqrt2;
    Vec2 points[notchedRectPointCount];
    // Left part: columns from the left edge to the arc's midpoint, each from the arc down to the
    // bottom edge.
    for (int i = 0; i < 8; i++) {
        float x = ((float)i / 8.0f) * d;
        points[2 * i] = Vec2(-hx + x, hy - sqrtf(r * r - x * x));
        points[2 * i + 1] = Vec2(-hx + x, -hy);
    }
    points[16] = Vec2(-hx + d, hy - d);
    points[17] = Vec2(hx, -hy);
    // Upper part: rows from the arc's midpoint up to the top edge, each from the arc to the right
    // edge.
    int next = 18;
    for (int step = 7; step >= 0; step--) {
        float y = ((float)step / 8.0f) * d;
        points[next++] = Vec2(-hx + sqrtf(r * r - y * y), hy - y);
        points[next++] = Vec2(hx, hy - y);
    }
    drawTriangleStrip(camera, centre, points, notchedRectPointCount, 1.0f, angle, colour);
}

void drawSprite(const Camera& camera, uint32_t texture, Vec2 centre, float angle, Vec2 size,
                const Vec4& colour) {
    const ProgramLocations& at = renderer.spriteLocations;
    beginPlacedDraw(renderer.spriteProgram, at, camera, colour, centre, angle, size);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(at.spriteTex, 0);
    glBindVertexArray(renderer.quadVertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    countDrawCall();
    glBindVertexArray(0);
    glUseProgram(0);
}

void drawSprite(const Camera& camera, uint32_t texture, Vec2 centre, float angle, Vec2 size) {
    drawSprite(camera, texture, centre, angle, size, Vec4(1.0f, 1.0f, 1.0f, 1.0f));
}
