// Monospaced bitmap-font text: one textured square per character, its texture coordinates picking
// the character's band of the font strip. A line of text is one draw call: every glyph's square
// goes into one vertex buffer, each vertex carrying its glyph's x position, which the text vertex
// shader puts into the line's model matrix, so glyphs land exactly where a quad of their own with
// that translation would. Uses the sprite fragment shader and the camera upload and texture
// loading of draw.
#include "text.h"

#include "gl_api.h"
#include "shaders.h"

#include <vector>

// ---- Data --------------------------------------------------------------------------------------

static const char* const fontPath = "resources/gfx/font.png";
static const char* const textVertexPath = "resources/shaders/text.vsh";
static const char* const textFragmentPath = "resources/shaders/sprite.fsh";

// The strip holds 128 cells, the top one for character code 32.
static const int32_t firstCharacter = 32;
static const float cellHeight = 0.0078125f;

// A glyph vertex: position (x, y, 0) of the unit quad, texture coordinates, the glyph's x.
static const int32_t floatsPerVertex = 6;
static const int32_t verticesPerGlyph = 4;
static const int32_t indicesPerGlyph = 6;

uint32_t textProgram = 0;
uint32_t fontTexture = 0;

// The glyph mesh: one vertex buffer rewritten for every line, and the indices of as many glyphs as
// the longest line so far, which stay recorded in the vertex array.
static uint32_t glyphVertexArray = 0;
static uint32_t glyphVertexBuffer = 0;
static uint32_t glyphIndexBuffer = 0;
static int32_t indexedGlyphs = 0;
// The text program's locations, looked up once when it is built; glyphX is its own attribute.
static ProgramLocations textLocations;
static int32_t glyphXLocation = -1;
// The latest line's vertices and the index list. Both keep their storage from one line to the
// next, so they grow only when a line is longer than every one before it.
static std::vector<float> glyphVertices;
static std::vector<uint32_t> glyphIndices;

// ---- Helpers -----------------------------------------------------------------------------------

static void describeAttribute(int32_t location, int32_t components, int32_t offset) {
    if (location < 0)
        return;
    glEnableVertexAttribArray((GLuint)location);
    glVertexAttribPointer((GLuint)location, components, GL_FLOAT, GL_FALSE,
                          floatsPerVertex * (GLsizei)sizeof(float),
                          (const void*)(offset * sizeof(float)));
}

// Makes the index buffer hold the quads of at least count glyphs; the vertex array must be bound.
static void indexGlyphs(int32_t count) {
    if (count <= indexedGlyphs)
        return;
    glyphIndices.resize((size_t)count * indicesPerGlyph);
    for (int32_t g = 0; g < count; g++)
        for (int32_t j = 0; j < indicesPerGlyph; j++)
            glyphIndices[(size_t)(g * indicesPerGlyph + j)] =
                quadIndices[j] + (uint32_t)(g * verticesPerGlyph);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, glyphIndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(glyphIndices.size() * sizeof(uint32_t)),
                 glyphIndices.data(), GL_STATIC_DRAW);
    indexedGlyphs = count;
}

// ---- Public functions --------------------------------------------------------------------------

void initText() {
    textProgram = createProgram(textVertexPath, textFragmentPath);
    textLocations = findLocations(textProgram);
    glyphXLocation = textProgram != 0 ? glGetAttribLocation(textProgram, "glyphX") : -1;

    glGenTextures(1, &fontTexture);
    loadTexture(fontPath, fontTexture);

    glGenVertexArrays(1, &glyphVertexArray);
    glGenBuffers(1, &glyphVertexBuffer);
    glGenBuffers(1, &glyphIndexBuffer);
    indexedGlyphs = 0;

    glBindVertexArray(glyphVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, glyphVertexBuffer);
    // A text program that failed to build has no attribute to describe; it draws nothing anyway.
    describeAttribute(textLocations.position, 3, 0);
    describeAttribute(textLocations.texCoord, 2, 3);
    describeAttribute(glyphXLocation, 1, 5);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, glyphIndexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void drawText(const Camera& camera, const char* text, int32_t length, Vec2 position, float size,
              const Vec4& colour) {
    if (length <= 0)
        return;
    const ProgramLocations& at = textLocations;
    glUseProgram(textProgram);
    uploadCamera(camera, at);
    glUniform4f(at.colorTint, colour.x, colour.y, colour.z, colour.w);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glUniform1i(at.spriteTex, 0);
    // Translation . scale, laid out column by column; each glyph's x replaces the translation's.
    Mat4 model;
    model.m[0] = size;
    model.m[5] = size;
    model.m[10] = 1.0f;
    model.m[12] = position.x;
    model.m[13] = position.y;
    model.m[15] = 1.0f;
    glUniformMatrix4fv(at.modelMatrix, 1, GL_FALSE, model.m);

    size_t floats = (size_t)length * verticesPerGlyph * floatsPerVertex;
    if (glyphVertices.size() < floats)
        glyphVertices.resize(floats);
    float* v = glyphVertices.data();
    // Each glyph one advance after the one before, summed as a glyph-by-glyph walk would.
    float x = position.x;
    for (int32_t i = 0; i < length; i++) {
        // Codes below 32 and bytes of 128 or more land above the strip, where the clamped texture
        // repeats the top row of the space cell.
        int32_t k = (int32_t)(signed char)text[i] - firstCharacter;
        float vTop = 1.0f - (float)k * cellHeight;
        float vBottom = 1.0f - (float)(k + 1) * cellHeight;
        const float texCoords[8] = {0.0f, vBottom, 1.0f, vBottom, 1.0f, vTop, 0.0f, vTop};
        for (int32_t j = 0; j < verticesPerGlyph; j++) {
            *v++ = quadPositions[j * 3 + 0];
            *v++ = quadPositions[j * 3 + 1];
            *v++ = quadPositions[j * 3 + 2];
            *v++ = texCoords[j * 2 + 0];
            *v++ = texCoords[j * 2 + 1];
            *v++ = x;
        }
        x = x + size;
    }

    glBindVertexArray(glyphVertexArray);
    indexGlyphs(length);
    glBindBuffer(GL_ARRAY_BUFFER, glyphVertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(floats * sizeof(float)), glyphVertices.data(),
                 GL_DYNAMIC_DRAW);
    glDrawElements(GL_TRIANGLES, length * indicesPerGlyph, GL_UNSIGNED_INT, nullptr);
    countDrawCall();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    glUseProgram(0);
}
