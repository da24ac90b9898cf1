// The desktop's OpenGL context: an OpenGL 3.2 core context, made current on the main thread and
// never deleted; the window's destruction and SDL_Quit end it. Entry points come from libepoxy,
// which resolves them at run time.
#include "render_context.h"

#include <epoxy/gl.h>

SDL_Window* renderWindow = nullptr;

// Whether the current context offers OpenGL 3 or later.
static bool loadGlEntryPoints() {
    // epoxy resolves entry points lazily; a context it cannot identify has no version to offer.
    if (SDL_GL_GetCurrentContext() == nullptr || epoxy_gl_version() == 0)
        return false;
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major >= 3;
}

void setContextAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 2);
}

bool createRenderContext(SDL_Window* window) {
    renderWindow = window;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_MakeCurrent(window, context);
    return loadGlEntryPoints();
}

const char* shaderPreamble() {
    return "#version 150\n";
}

const char* debugUiGlslVersion() {
    return "#version 150";
}

uint32_t geometryShaderType() {
    return GL_GEOMETRY_SHADER;
}
