// The OpenGL API the engine draws with. The build names the platform's header in TYX_GL_HEADER:
// libepoxy's, which loads the entry points at run time, on the desktop; the OpenGL ES 3.0 header
// that WebGL 2 serves in the browser.
#pragma once

#include TYX_GL_HEADER
