// Monospaced bitmap-font text: one textured square per character, its texture coordinates picking
// the character's band of the font strip. Uses the sprite shader sources (shaders) through a
// program of its own, and the camera upload and texture loading of draw.
#include "text.h"

#include "shaders.h"

#include <epoxy/gl.h>

// ---- Data --------------------------------------------------------------------------------------

static const char* const fontPath = "resources/gfx/font.png";
static const char* const textVertexPath = "resources/shaders/sprite.vsh";
static const char* const textFragmentPath = "resources/shaders/sprite.fsh";

// The strip holds 128 cells, the top one for character code 32.
static const int32_t firstCharacter = 32;
static const float cellHeight = 0.0078125f;

uint32_t textProgram = 0;
uint32_t fontTexture = 0;

// The glyph mesh: the unit quad's positions and indices, with texture coordinates rewritten for
// every glyph.
static uint32_t glyphVertexArray = 0;
static uint32_t glyphTexCoordBuffer = 0;
// The text program's locations, looked up once when it is built.
static ProgramLocations textLocations;

// ---- Public functions --------------------------------------------------------------------------

void initText() {
    textProgram = createProgram(textVertexPath, textFragmentPath);
    textLocations = findLocations(textProgram);
    GLint position = textLocations.position;

    glGenTextures(1, &fontTexture);
    loadTexture(fontPath, fontTexture);

    glGenVertexArrays(1, &glyphVertexArray);
    glGenBuffers(1, &glyphTexCoordBuffer);
    GLuint positionBuffer = 0;
    glGenBuffers(1, &positionBuffer);

    glBindVertexArray(glyphVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadPositions), quadPositions, GL_STATIC_DRAW);
    // A text program that failed to build has no attribute to describe; it draws nothing anyway.
    if (position >= 0) {
        glEnableVertexAttribArray((GLuint)position);
        glVertexAttribPointer((GLuint)position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }

    GLuint indexBuffer = 0;
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(quadIndices), quadIndices, GL_STATIC_DRAW);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void drawText(const Camera& camera, const char* text, int32_t length, Vec2 position, float size,
              const Vec4& colour) {
    const ProgramLocations& at = textLocations;
    glUseProgram(textProgram);
    uploadCamera(camera, at);
    glBindVertexArray(glyphVertexArray);
    glUniform4f(at.colorTint, colour.x, colour.y, colour.z, colour.w);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glUniform1i(at.spriteTex, 0);
    GLint texCoord = at.texCoord;

    float x = position.x;
    for (int32_t i = 0; i < length; i++) {
        // Translation . scale, laid out column by column.
        Mat4 model;
        model.m[0] = size;
        model.m[5] = size;
        model.m[10] = 1.0f;
        model.m[12] = x;
        model.m[13] = position.y;
        model.m[15] = 1.0f;
        glUniformMatrix4fv(at.modelMatrix, 1, GL_FALSE, model.m);

        // Codes below 32 and bytes of 128 or more land above the strip, where the clamped texture
        // repeats the top row of the space cell.
        int32_t k = (int32_t)(signed char)text[i] - firstCharacter;
        float vTop = 1.0f - (float)k * cellHeight;
        float vBottom = 1.0f - (float)(k + 1) * cellHeight;
        const float texCoords[8] = {0.0f, vBottom, 1.0f, vBottom, 1.0f, vTop, 0.0f, vTop};
        glBindBuffer(GL_ARRAY_BUFFER, glyphTexCoordBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof(texCoords), texCoords, GL_DYNAMIC_DRAW);
        if (texCoord >= 0) {
            glEnableVertexAttribArray((GLuint)texCoord);
            glVertexAttribPointer((GLuint)texCoord, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
        countDrawCall();
        x = x + size;
    }

    glBindVertexArray(0);
    glUseProgram(0);
}
