#pragma once
// Drawing the figure: every link as a band, then every ball as a disc, in the
// colour of its figure's palette row.
namespace flopkin {

struct ball;
struct figure;
struct view_fields;

// The palette rows the figures take their colours from; the selected ball
// takes the last row, figures past the table (or not labelled) row 0.
struct palette_view {
    const int (*rows)[3];
    int size;
};

// What the figure is drawn on, in screen pixels: the app hands in its own,
// so the physics never sees the window.
class figure_canvas {
public:
    virtual void set_color(int red, int green, int blue) = 0;
    // the oval inside the box at (x, y)
    virtual void oval(float x, float y, float width, float height) = 0;
    // a filled polygon of count / 2 corners, as x, y pairs
    virtual void polygon(const float* corners, int count) = 0;

protected:
    ~figure_canvas() = default;
};

void draw_figure(const figure& f, const view_fields& v, palette_view palette, const ball* selected,
                 figure_canvas& canvas);

}  // namespace flopkin
