// The OpenGL context: made current on the main thread and never deleted; the window's destruction
// and SDL_Quit end it. Entry points come from libepoxy, which resolves them at run time.
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

bool createRenderContext(SDL_Window* window) {
    renderWindow = window;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_MakeCurrent(window, context);
    return loadGlEntryPoints();
}
