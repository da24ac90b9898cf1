// Shader programs built from the GLSL files under resources/shaders/, and the line, quad and shape
// meshes that the draw operations refill or reuse. Needs a current OpenGL context (render_context).
// Nothing made here is ever deleted: it all ends with the context.
#include "shaders.h"

#include "gl_api.h"
#include "render_context.h"

#include <SDL.h>
#include <cstdlib>

// ---- Data --------------------------------------------------------------------------------------

Renderer renderer = {};

const float quadPositions[12] = {
    -0.5f, -0.5f, 0.0f, //
    0.5f,  -0.5f, 0.0f, //
    0.5f,  0.5f,  0.0f, //
    -0.5f, 0.5f,  0.0f, //
};
const float quadTexCoords[8] = {
    0.0f, 0.0f, //
    1.0f, 0.0f, //
    1.0f, 1.0f, //
    0.0f, 1.0f, //
};
const uint32_t quadIndices[6] = {0, 1, 3, 1, 2, 3};

// The shape mesh is described once with the sprite program's "position" and then drawn with the
// flat-colour program, so every program must put "position" in the same slot.
static const GLuint positionLocation = 0;
static const GLuint texCoordLocation = 1;

// Shader sources are a few kilobytes; anything longer is not one.
static const Sint64 maxShaderBytes = 16 * 1024 * 1024;

static const char* const lineVertexPath = "resources/shaders/line.vsh";
static const char* const lineFragmentPath = "resources/shaders/line.fsh";
static const char* const spriteVertexPath = "resources/shaders/sprite.vsh";
static const char* const spriteFragmentPath = "resources/shaders/sprite.fsh";
static const char* const flatColorVertexPath = "resources/shaders/flatColor.vsh";
static const char* const flatColorFragmentPath = "resources/shaders/flatColor.fsh";

// ---- Helpers -----------------------------------------------------------------------------------

// Fixes the attribute slots before linking, so the GLSL sources need no layout qualifiers.
static void bindAttributeLocations(GLuint program) {
    glBindAttribLocation(program, positionLocation, "position");
    glBindAttribLocation(program, texCoordLocation, "texCoord");
}

// The program's slot for an attribute. A sprite program that failed to build has none, and the
// flat-colour shapes that share its meshes would lose theirs too, so the fixed slot stands in.
static GLuint attributeLocation(GLuint program, const char* name, GLuint fixedLocation) {
    GLint location = glGetAttribLocation(program, name);
    return location < 0 ? fixedLocation : (GLuint)location;
}

// Links the attached shaders, deletes them and returns the program, or 0 when linking failed or a
// stage is missing.
static uint32_t linkProgram(GLuint program, const GLuint* shaders, int count) {
    bindAttributeLocations(program);
    glLinkProgram(program);
    // Some drivers link a program that lacks a stage, which would then draw garbage; a shader file
    // that could not be read fails the program here instead.
    bool complete = true;
    for (int i = 0; i < count; i++) {
        complete = complete && shaders[i] != 0;
        glDeleteShader(shaders[i]);
    }
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE || !complete) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

// ---- Public functions --------------------------------------------------------------------------

uint32_t loadShader(const char* path, uint32_t type) {
    SDL_RWops* file = SDL_RWFromFile(path, "r");
    if (file == nullptr)
        return 0;
    Sint64 size = SDL_RWseek(file, 0, RW_SEEK_END);
    SDL_RWseek(file, 0, RW_SEEK_SET);
    // A directory opens too, and seeks to the end of the address range: no shader is that long.
    if (size < 0 || size > maxShaderBytes) {
        SDL_RWclose(file);
        return 0;
    }
    char* source = (char*)malloc((size_t)size + 1);
    if (source == nullptr) {
        SDL_RWclose(file);
        return 0;
    }
    size_t got = SDL_RWread(file, source, 1, (size_t)size);
    if (got < (size_t)size) {
        free(source);
        SDL_RWclose(file);
        return 0;
    }
    // The file need not end in a newline or a zero: the text is terminated here.
    source[size] = '\0';
    SDL_RWclose(file);

    GLuint shader = glCreateShader(type);
    const GLchar* text[2] = {shaderPreamble(), source};
    glShaderSource(shader, 2, text, nullptr);
    glCompileShader(shader);
    free(source);
    // A compile error is left for the link to find.
    return shader;
}

uint32_t createProgram(const char* vertexPath, const char* fragmentPath) {
    GLuint shaders[2] = {loadShader(vertexPath, GL_VERTEX_SHADER),
                         loadShader(fragmentPath, GL_FRAGMENT_SHADER)};
    GLuint program = glCreateProgram();
    // Attaching shader 0 raises an OpenGL error, which the engine's per-frame check reports.
    glAttachShader(program, shaders[0]);
    glAttachShader(program, shaders[1]);
    return linkProgram(program, shaders, 2);
}

uint32_t createProgramWithGeometry(const char* vertexPath, const char* geometryPath,
                                   const char* fragmentPath) {
    // Without a geometry stage there is no such program to build.
    if (geometryShaderType() == 0)
        return 0;
    GLuint shaders[3] = {loadShader(vertexPath, GL_VERTEX_SHADER),
                         loadShader(geometryPath, geometryShaderType()),
                         loadShader(fragmentPath, GL_FRAGMENT_SHADER)};
    GLuint program = glCreateProgram();
    glAttachShader(program, shaders[0]);
    glAttachShader(program, shaders[1]);
    glAttachShader(program, shaders[2]);
    return linkProgram(program, shaders, 3);
}

ProgramLocations findLocations(uint32_t program) {
    ProgramLocations at;
    if (program == 0)
        return at;
    at.projectionMatrix = glGetUniformLocation(program, "projectionMatrix");
    at.viewingMatrix = glGetUniformLocation(program, "viewingMatrix");
    at.modelMatrix = glGetUniformLocation(program, "modelMatrix");
    at.colorTint = glGetUniformLocation(program, "colorTint");
    at.spriteTex = glGetUniformLocation(program, "spriteTex");
    at.position = glGetAttribLocation(program, "position");
    at.texCoord = glGetAttribLocation(program, "texCoord");
    return at;
}

void initRenderer() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // Line mesh: each line draw describes its own attribute.
    glGenVertexArrays(1, &renderer.lineVertexArray);
    renderer.lineProgram = createProgram(lineVertexPath, lineFragmentPath);
    glGenBuffers(1, &renderer.lineBuffer);

    glGenVertexArrays(1, &renderer.quadVertexArray);
    renderer.spriteProgram = createProgram(spriteVertexPath, spriteFragmentPath);
    GLuint position = attributeLocation(renderer.spriteProgram, "position", positionLocation);
    GLuint texCoord = attributeLocation(renderer.spriteProgram, "texCoord", texCoordLocation);
    renderer.flatColorProgram = createProgram(flatColorVertexPath, flatColorFragmentPath);
    renderer.lineLocations = findLocations(renderer.lineProgram);
    renderer.spriteLocations = findLocations(renderer.spriteProgram);
    renderer.flatColorLocations = findLocations(renderer.flatColorProgram);

    // Quad mesh: positions, texture coordinates and the index buffer, which stays recorded in the
    // vertex array.
    glBindVertexArray(renderer.quadVertexArray);
    GLuint quadBuffers[3];
    glGenBuffers(1, &quadBuffers[0]);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadPositions), quadPositions, GL_STATIC_DRAW);
    glEnableVertexAttribArray(position);
    glVertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glGenBuffers(1, &quadBuffers[1]);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffers[1]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadTexCoords), quadTexCoords, GL_STATIC_DRAW);
    glEnableVertexAttribArray(texCoord);
    glVertexAttribPointer(texCoord, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glGenBuffers(1, &quadBuffers[2]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadBuffers[2]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(quadIndices), quadIndices, GL_STATIC_DRAW);

    // Shape mesh: every flat-colour shape uploads its own vertices before drawing.
    glGenVertexArrays(1, &renderer.shapeVertexArray);
    glGenBuffers(1, &renderer.shapeBuffer);
    glBindVertexArray(renderer.shapeVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.shapeBuffer);
    glEnableVertexAttribArray(position);
    glVertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}
