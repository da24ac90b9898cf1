// Shader programs read from resources/shaders/, and the meshes every draw operation reuses. Made
// once by initRenderer on the current OpenGL context and kept until the process ends.
#pragma once

#include <cstdint>

// Where a program's uniforms and attributes are, looked up by name once when it is built; -1 for
// each one the program lacks, and for all of them when the program failed to build.
struct ProgramLocations {
    int32_t projectionMatrix = -1;
    int32_t viewingMatrix = -1;
    int32_t modelMatrix = -1;
    int32_t colorTint = -1;
    int32_t spriteTex = -1;
    int32_t position = -1; // attribute
    int32_t texCoord = -1; // attribute
};

// GL names of the renderer's programs and meshes (0 means none), and the programs' locations.
struct Renderer {
    uint32_t lineProgram;
    uint32_t spriteProgram;
    uint32_t flatColorProgram;
    uint32_t lineVertexArray;
    uint32_t lineBuffer;
    uint32_t quadVertexArray;
    uint32_t shapeVertexArray;
    uint32_t shapeBuffer;
    ProgramLocations lineLocations;
    ProgramLocations spriteLocations;
    ProgramLocations flatColorLocations;
};

extern Renderer renderer;

// The unit quad centred on the origin, counter-clockwise: positions (x, y, 0), texture
// coordinates, and the six indices of its two triangles.
extern const float quadPositions[12];
extern const float quadTexCoords[8];
extern const uint32_t quadIndices[6];

// Reads and compiles one shader file; 0 when the file cannot be opened or fully read.
uint32_t loadShader(const char* path, uint32_t type);
// Links a vertex and a fragment shader file into a program; 0 when linking fails.
uint32_t createProgram(const char* vertexPath, const char* fragmentPath);
// The same with a geometry stage between them; 0 where the platform has no geometry stage.
uint32_t createProgramWithGeometry(const char* vertexPath, const char* geometryPath,
                                   const char* fragmentPath);
// Looks up every location the draws use in a program; a program that failed to build (0) has
// none, and is not asked.
ProgramLocations findLocations(uint32_t program);
// Turns on alpha blending, builds the line, sprite and flat-colour programs and the meshes.
void initRenderer();
