// OpenGL 1.1 calls of the canvas that WebGL has no counterpart for, and the
// emulation does not take: here they ask for what WebGL does.
#include <GL/gl.h>

extern "C" void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);

// WebGL draws into the back buffer, which is what the canvas asks for
extern "C" void glDrawBuffer(GLenum) {}
// every shape is one colour, so flat and smooth shading draw the same pixels
extern "C" void glShadeModel(GLenum) {}
// WebGL has no plain clamping; the font's cells are read only inside, where
// clamping to the edge samples the same texels
extern "C" void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
    emscripten_glTexParameteri(target, name, value);
}
