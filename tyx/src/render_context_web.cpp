// The browser's OpenGL context: WebGL 2, which is OpenGL ES 3.0, on the page's canvas. SDL asks
// the browser for it; there are no entry points to load, and a browser without WebGL 2 gives no
// context at all. The shader files are the desktop's, compiled as GLSL ES 3.00.
#include "render_context.h"

#include <GLES3/gl3.h>

SDL_Window* renderWindow = nullptr;

void setContextAttributes() {
    // SDL's emscripten driver asks for WebGL 2 when an OpenGL ES 3 context is wanted, WebGL 1
    // otherwise.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 2);
}

bool createRenderContext(SDL_Window* window) {
    renderWindow = window;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        // SDL's own words name EGL's error; the player needs to hear what the browser lacks.
        SDL_SetError("this browser gives the page no WebGL 2 (%s)", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(window, context);
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    return major >= 3;
}

const char* shaderPreamble() {
    // GLSL ES gives fragment shaders no default float precision; desktop GLSL computes in full
    // single precision, and so does highp.
    return "#version 300 es\nprecision highp float;\n";
}

const char* debugUiGlslVersion() {
    return "#version 300 es";
}

uint32_t geometryShaderType() {
    return 0;
}
