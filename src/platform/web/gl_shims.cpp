// OpenGL 1.1 calls of the canvas that WebGL has no counterpart for, and the
// emulation does not take: here they ask for what WebGL always does.
#include <GL/gl.h>

// WebGL draws into the back buffer, which is what the canvas asks for
extern "C" void glDrawBuffer(GLenum) {}
// every shape is one colour, so flat and smooth shading draw the same pixels
extern "C" void glShadeModel(GLenum) {}
