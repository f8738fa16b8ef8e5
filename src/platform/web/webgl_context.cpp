// The canvas on the page's WebGL: each batch goes into a vertex buffer of
// the canvas's own with one upload and is drawn with one call, through two
// small shader programs that do what the desktop's fixed pipeline does with
// the canvas's state: a colour per vertex on pixel coordinates, and text
// modulated by its colour with the atlas's transparent texels left out.
#include <GLES2/gl2.h>
// the instanced drawing of WebGL 1 (ANGLE_instanced_arrays), which Emscripten turns on
#define GL_GLEXT_PROTOTYPES
#include <GLES2/gl2ext.h>

#include <cstddef>

#include "platform/gl/gl_canvas.hpp"

namespace flopkin {
static_assert(static_cast<GLenum>(primitive::triangles) == GL_TRIANGLES && static_cast<GLenum>(primitive::lines) == GL_LINES &&
              static_cast<GLenum>(primitive::points) == GL_POINTS);

namespace {

// pixel coordinates, origin top-left, to clip space: what glOrtho(0, w, h, 0)
// does on the desktop
const char* shape_vertex_shader = R"(
uniform vec2 to_clip;
attribute vec2 place;
attribute vec4 colour;
attribute vec2 corner;
varying vec4 shade;
void main() {
    vec2 at = place + corner;
    gl_Position = vec4(at.x * to_clip.x - 1.0, 1.0 - at.y * to_clip.y, 0.0, 1.0);
    gl_PointSize = 1.0;
    shade = colour;
}
)";
const char* shape_fragment_shader = R"(
precision mediump float;
varying vec4 shade;
void main() { gl_FragColor = shade; }
)";
const char* text_vertex_shader = R"(
uniform vec2 to_clip;
attribute vec2 place;
attribute vec2 atlas_place;
varying vec2 texel;
void main() {
    gl_Position = vec4(place.x * to_clip.x - 1.0, 1.0 - place.y * to_clip.y, 0.0, 1.0);
    texel = atlas_place;
}
)";
const char* text_fragment_shader = R"(
precision mediump float;
uniform sampler2D atlas;
uniform vec4 colour;
varying vec2 texel;
void main() {
    vec4 t = texture2D(atlas, texel);
    if (t.a <= 0.5) discard;
    gl_FragColor = colour * t;
}
)";

// both programs read their vertices from these attribute slots; the shapes'
// corner slot is off but for discs, and reads (0, 0) then
constexpr GLuint place_slot = 0, second_slot = 1, corner_slot = 2;

GLuint compiled(GLenum kind, const char* source) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

GLuint linked(const char* vertex, const char* fragment, const char* second_attribute) {
    GLuint program = glCreateProgram();
    glAttachShader(program, compiled(GL_VERTEX_SHADER, vertex));
    glAttachShader(program, compiled(GL_FRAGMENT_SHADER, fragment));
    glBindAttribLocation(program, place_slot, "place");
    glBindAttribLocation(program, second_slot, second_attribute);
    glBindAttribLocation(program, corner_slot, "corner");
    glLinkProgram(program);
    return program;
}

}  // namespace

// The browser hands each upload to the process that draws through a shared
// buffer of a few megabytes and waits while it is full: in batches of this
// many vertices (under a megabyte), one batch can be drawn while the next
// uploads, rather than every vertex of the frame waiting for room at once
const std::size_t gl_canvas::most_batch_vertices = 65536;

struct gl_canvas::context {
    GLuint font_texture = 0;
    GLuint shapes = 0, text = 0;  // programs
    GLint shapes_to_clip = -1, text_to_clip = -1, text_colour = -1, text_atlas = -1;
    GLuint vertices = 0;          // the buffer every draw uploads its vertices into
    GLsizeiptr vertices_size = 0;  // bytes it holds
    GLuint corners = 0;           // and the one a batch of polygons uploads its indices into
    GLsizeiptr corners_size = 0;
    GLuint quad_corners = 0;      // element buffer: each glyph's quad as two triangles
    GLuint disc_offsets = 0, disc_fan = 0;  // the discs' shape: offsets, and its triangles
    unsigned disc_shape = 0;               // the shape they hold
    GLsizei quads_indexed = 0;

    // the bytes into a buffer bound at target: it grows only when a draw
    // needs more, and is otherwise refilled in place
    static void upload(GLenum target, GLuint buffer, GLsizeiptr& size, const void* data, GLsizeiptr bytes) {
        glBindBuffer(target, buffer);
        if (bytes > size) {
            glBufferData(target, bytes, data, GL_STREAM_DRAW);
            size = bytes;
        } else {
            glBufferSubData(target, 0, bytes, data);
        }
    }
    void upload(const void* data, GLsizeiptr bytes) { upload(GL_ARRAY_BUFFER, vertices, vertices_size, data, bytes); }
    void use_shapes() {
        glUseProgram(shapes);
        glEnableVertexAttribArray(place_slot);
    }
};

gl_canvas::gl_canvas() : context_(std::make_unique<context>()) {}
gl_canvas::~gl_canvas() = default;

void gl_canvas::open_context(const std::vector<std::uint8_t>& atlas_texels) {
    context& c = *context_;
    glGenTextures(1, &c.font_texture);
    glBindTexture(GL_TEXTURE_2D, c.font_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // the atlas's cells are read only inside, where clamping samples the same texels
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, atlas_size, atlas_size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 atlas_texels.data());
    c.shapes = linked(shape_vertex_shader, shape_fragment_shader, "colour");
    c.text = linked(text_vertex_shader, text_fragment_shader, "atlas_place");
    c.shapes_to_clip = glGetUniformLocation(c.shapes, "to_clip");
    c.text_to_clip = glGetUniformLocation(c.text, "to_clip");
    c.text_colour = glGetUniformLocation(c.text, "colour");
    c.text_atlas = glGetUniformLocation(c.text, "atlas");
    glGenBuffers(1, &c.vertices);
    glGenBuffers(1, &c.corners);
    glGenBuffers(1, &c.quad_corners);
    glGenBuffers(1, &c.disc_offsets);
    glGenBuffers(1, &c.disc_fan);
}

void gl_canvas::reset_state() {
    context& c = *context_;
    glViewport(0, 0, width_, height_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    glDisable(GL_SAMPLE_COVERAGE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glLineWidth(1.0f);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, c.font_texture);
    const float to_clip[2] = {2.0f / static_cast<float>(width_), 2.0f / static_cast<float>(height_)};
    glUseProgram(c.text);
    glUniform2fv(c.text_to_clip, 1, to_clip);
    glUniform1i(c.text_atlas, 0);
    glUseProgram(c.shapes);
    glUniform2fv(c.shapes_to_clip, 1, to_clip);
    // only the attribute slots a draw reads are on, and only for its call
    glDisableVertexAttribArray(place_slot);
    glDisableVertexAttribArray(second_slot);
    glDisableVertexAttribArray(corner_slot);
    glVertexAttrib2f(corner_slot, 0, 0);
    for (GLuint slot : {place_slot, second_slot, corner_slot}) glVertexAttribDivisorANGLE(slot, 0);
}

void gl_canvas::fill_background(rgb colour) {
    glClearColor(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void gl_canvas::draw(const vertex_batch& batch) {
    if (batch.empty()) return;
    context& c = *context_;
    c.upload(batch.vertices(), static_cast<GLsizeiptr>(batch.count() * sizeof(batch_vertex)));
    c.use_shapes();
    glEnableVertexAttribArray(second_slot);
    glVertexAttribPointer(place_slot, 2, GL_FLOAT, GL_FALSE, sizeof(batch_vertex), nullptr);
    glVertexAttribPointer(second_slot, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(batch_vertex),
                          reinterpret_cast<const void*>(offsetof(batch_vertex, rgba)));
    if (batch.index_count()) {
        context::upload(GL_ELEMENT_ARRAY_BUFFER, c.corners, c.corners_size, batch.indices(),
                        static_cast<GLsizeiptr>(batch.index_count() * sizeof(std::uint32_t)));
        glDrawElements(static_cast<GLenum>(batch.kind()), static_cast<GLsizei>(batch.index_count()), GL_UNSIGNED_INT, nullptr);
    } else {
        glDrawArrays(static_cast<GLenum>(batch.kind()), 0, static_cast<GLsizei>(batch.count()));
    }
    glDisableVertexAttribArray(second_slot);
    glDisableVertexAttribArray(place_slot);
}

// a convex polygon as one fan from its first vertex: the same triangles as
// when it is gathered
void gl_canvas::draw_fan(const float* xy, int points, rgb colour) {
    context& c = *context_;
    c.upload(xy, static_cast<GLsizeiptr>(points) * 2 * static_cast<GLsizeiptr>(sizeof(float)));
    c.use_shapes();
    // with its array off, the colour slot reads this one value for every vertex
    glVertexAttrib4f(second_slot, colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, 1.0f);
    glVertexAttribPointer(place_slot, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLE_FAN, 0, points);
    glDisableVertexAttribArray(place_slot);
}

// each disc an instance of the shape: the place and colour step once per
// disc, the offsets once per corner
void gl_canvas::draw_discs() {
    context& c = *context_;
    const auto corners = static_cast<GLsizei>(disc_corners_.size() / 2);
    if (c.disc_shape != disc_shape_) {
        glBindBuffer(GL_ARRAY_BUFFER, c.disc_offsets);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(disc_corners_.size() * sizeof(float)),
                     disc_corners_.data(), GL_STATIC_DRAW);
        std::vector<GLushort> fan;
        for (GLsizei i = 1; i + 1 < corners; ++i)
            for (GLsizei k : {GLsizei{0}, i, i + 1}) fan.push_back(static_cast<GLushort>(k));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, c.disc_fan);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(fan.size() * sizeof(GLushort)), fan.data(),
                     GL_STATIC_DRAW);
        c.disc_shape = disc_shape_;
    }
    c.upload(discs_.vertices(), static_cast<GLsizeiptr>(discs_.count() * sizeof(batch_vertex)));
    c.use_shapes();
    glEnableVertexAttribArray(second_slot);
    glEnableVertexAttribArray(corner_slot);
    glVertexAttribPointer(place_slot, 2, GL_FLOAT, GL_FALSE, sizeof(batch_vertex), nullptr);
    glVertexAttribPointer(second_slot, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(batch_vertex),
                          reinterpret_cast<const void*>(offsetof(batch_vertex, rgba)));
    glVertexAttribDivisorANGLE(place_slot, 1);
    glVertexAttribDivisorANGLE(second_slot, 1);
    glBindBuffer(GL_ARRAY_BUFFER, c.disc_offsets);
    glVertexAttribPointer(corner_slot, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, c.disc_fan);
    glDrawElementsInstancedANGLE(GL_TRIANGLES, 3 * (corners - 2), GL_UNSIGNED_SHORT, nullptr,
                                 static_cast<GLsizei>(discs_.count()));
    glVertexAttribDivisorANGLE(second_slot, 0);
    glVertexAttribDivisorANGLE(place_slot, 0);
    glDisableVertexAttribArray(corner_slot);
    glDisableVertexAttribArray(second_slot);
    glDisableVertexAttribArray(place_slot);
}

void gl_canvas::draw_glyphs(rgb colour) {
    context& c = *context_;
    // the element buffer's indices are 16 bits: a longer text goes in parts
    constexpr GLsizei most_quads = 65536 / 4;
    auto quads = static_cast<GLsizei>(glyphs_.size() / 4);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, c.quad_corners);
    GLsizei indexed = quads < most_quads ? quads : most_quads;
    if (indexed > c.quads_indexed) {
        // corners 0 1 2 and 0 2 3 of each quad; the texts of a frame are
        // short, so this grows a few times at most
        std::vector<GLushort> corners;
        for (GLsizei q = 0; q < indexed; ++q)
            for (int k : {0, 1, 2, 0, 2, 3}) corners.push_back(static_cast<GLushort>(4 * q + k));
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(corners.size() * sizeof(GLushort)),
                     corners.data(), GL_STATIC_DRAW);
        c.quads_indexed = indexed;
    }
    glUseProgram(c.text);
    glUniform4f(c.text_colour, colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, 1.0f);
    glEnableVertexAttribArray(place_slot);
    glEnableVertexAttribArray(second_slot);
    for (GLsizei first = 0; first < quads; first += most_quads) {
        GLsizei part = quads - first < most_quads ? quads - first : most_quads;
        c.upload(&glyphs_[4 * static_cast<std::size_t>(first)],
                 static_cast<GLsizeiptr>(4 * part * static_cast<GLsizei>(sizeof(glyph_vertex))));
        glVertexAttribPointer(place_slot, 2, GL_FLOAT, GL_FALSE, sizeof(glyph_vertex), nullptr);
        glVertexAttribPointer(second_slot, 2, GL_FLOAT, GL_FALSE, sizeof(glyph_vertex),
                              reinterpret_cast<const void*>(offsetof(glyph_vertex, u)));
        glDrawElements(GL_TRIANGLES, 6 * part, GL_UNSIGNED_SHORT, nullptr);
    }
    glDisableVertexAttribArray(second_slot);
    glDisableVertexAttribArray(place_slot);
}

}  // namespace flopkin
