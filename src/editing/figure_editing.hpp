#pragma once
// The editing operations, on the figure and the fields they keep between
// frames; the app's operations of the same names are one-line calls to these.
#include <functional>

#include "physics/figure_refs.hpp"

namespace flopkin {

struct figure;
struct view_fields;

// The balls the gestures keep hold of between frames, and the state of a
// link being drawn: the app's gestures in progress.
struct editing_fields {
    ball_ref selected;
    ball_ref dragged;               // the ball held in play mode
    ball_ref link_start;            // the ball a link is being drawn from
    bool link_drag_active = false;  // from the press on link_start until the button is up
    long long hand_moves = 0;       // frames in which the user dragged a ball in play mode
    // a ball being moved in draw mode: by which button, where it and the
    // pointer were when the move began, and whether it has changed the figure
    ball_ref moved;
    int move_button = 0;
    float move_from_x = 0, move_from_y = 0;
    int move_press_x = 0, move_press_y = 0;
    bool move_kept = false;
    // A press acts in draw mode only when it began there: a press from play
    // mode, still counted or still held when a key, undo or redo brings draw
    // mode, places, links and moves nothing. For the left and right buttons,
    // whether their latest press began in draw mode; and the left button's
    // presses of this frame.
    bool left_press_in_draw = false, right_press_in_draw = false;
    int left_presses = 0;
};

// Called before the first change a gesture makes to the figure, so that the
// figure as it stood can be kept.
using before_change = std::function<void()>;

// Every frame, in either mode, before the draw-mode gestures: takes the
// frame's presses of the buttons and notes the mode each began in.
void note_presses(editing_fields& e, bool in_draw_mode);
// Draw mode: a click on empty canvas, or the release of a link drag over
// empty canvas, places a ball of the given radius under the pointer.
void place_ball_step(figure& f, const view_fields& v, editing_fields& e, float ball_size,
                     const before_change& changing);
// Draw mode: press on a ball, drag, release over another to link them.
void link_step(figure& f, const view_fields& v, editing_fields& e, float link_width, const before_change& changing);
// Draw mode: Shift with the left button, or the right button, on a ball moves
// it; its links and tensions take the shape it gives them as their rest.
void move_ball_step(figure& f, const view_fields& v, editing_fields& e, const before_change& changing);
// Play mode: the left button holds the ball under the pointer.
void drag_step(figure& f, const view_fields& v, editing_fields& e);

// Empties the tensions and makes one for every pair of links meeting at a
// ball, holding their present angle with the given strength.
void build_tensions(figure& f, float strength);
// Labels every ball with its connected group, 1, 2, 3 ... in list order.
void label_figures(figure& f);
// Numbers the balls 1, 2, 3 ... in list order, as documents name them.
void number_balls(figure& f);

}  // namespace flopkin
