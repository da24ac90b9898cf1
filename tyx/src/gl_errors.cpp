// The OpenGL error report: one line on standard error per check that finds an error.
#include "gl_api.h"
#include "tyx.h"

#include <cstdio>

const char* glErrorName(uint32_t error) {
    switch (error) {
    case GL_NO_ERROR:
        return "GL_NO_ERROR";
    case GL_INVALID_ENUM:
        return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
        return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
        return "GL_INVALID_OPERATION";
    case GL_OUT_OF_MEMORY:
        return "GL_OUT_OF_MEMORY";
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        return "GL_INVALID_FRAMEBUFFER_OPERATION";
    default:
        return "UNRECOGNIZED";
    }
}

void checkGlError(const char* file, int line, bool always) {
    // Read once: at most one pending error is reported per check.
    GLenum error = glGetError();
    if (!always && error == GL_NO_ERROR)
        return;
    fprintf(stderr, "(%s:%d) OpenGL error: %s\n", file, line, glErrorName(error));
}
