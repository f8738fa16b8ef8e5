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

void draw_figure(const figure& f, const view_fields& v, palette_view palette, const ball* selected);

}  // namespace flopkin
