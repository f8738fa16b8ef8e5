// The canvas on the desktop's OpenGL 1.1: batches drawn from client-side
// arrays, text as textured quads masked by the alpha test.
#include <GL/gl.h>

#include "platform/gl/gl_canvas.hpp"

namespace flopkin {
static_assert(static_cast<GLenum>(primitive::triangles) == GL_TRIANGLES && static_cast<GLenum>(primitive::lines) == GL_LINES &&
              static_cast<GLenum>(primitive::points) == GL_POINTS);

namespace {

void use_colour(rgb c) {
    const GLubyte rgba[4] = {static_cast<GLubyte>(c.r), static_cast<GLubyte>(c.g), static_cast<GLubyte>(c.b), 255};
    glColor4ubv(rgba);
}

}  // namespace

// 12 MB of vertices: OpenGL takes any number, and this bounds the batches' memory
const std::size_t gl_canvas::most_batch_vertices = (std::size_t{12} << 20) / sizeof(batch_vertex);

struct gl_canvas::context {
    GLuint font_texture = 0;
};

gl_canvas::gl_canvas() : context_(std::make_unique<context>()) {}
gl_canvas::~gl_canvas() = default;

void gl_canvas::open_context(const std::vector<std::uint8_t>& atlas_texels) {
    glGenTextures(1, &context_->font_texture);
    glBindTexture(GL_TEXTURE_2D, context_->font_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, atlas_size, atlas_size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 atlas_texels.data());
}

void gl_canvas::reset_state() {
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width_, height_, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_POLYGON_STIPPLE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    // each draw turns on the arrays it reads for its own call; any other
    // array left on would be read by it
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glAlphaFunc(GL_GREATER, 0.5f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_FLAT);
    glLineWidth(1.0f);
    glPointSize(1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDrawBuffer(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, context_->font_texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void gl_canvas::fill_background(rgb colour) {
    glClearColor(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void gl_canvas::draw(const vertex_batch& batch) {
    if (batch.empty()) return;
    const batch_vertex* v = batch.vertices();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(batch_vertex), &v->x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(batch_vertex), v->rgba);
    if (batch.index_count())
        glDrawElements(static_cast<GLenum>(batch.kind()), static_cast<GLsizei>(batch.index_count()), GL_UNSIGNED_INT,
                       batch.indices());
    else
        glDrawArrays(static_cast<GLenum>(batch.kind()), 0, static_cast<GLsizei>(batch.count()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// a convex polygon as one fan from its first vertex: the same triangles as
// when it is gathered
void gl_canvas::draw_fan(const float* xy, int points, rgb colour) {
    use_colour(colour);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, xy);
    glDrawArrays(GL_TRIANGLE_FAN, 0, points);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void gl_canvas::draw_glyphs(rgb colour) {
    use_colour(colour);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(glyph_vertex), &glyphs_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(glyph_vertex), &glyphs_[0].u);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(glyphs_.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace flopkin
