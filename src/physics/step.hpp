#pragma once
// The simulation step, run once per frame in both modes: gravity and the
// frame's start, the free advance (play mode only), then, after the app's
// play-mode dragging, the walls, the relaxation passes and the velocities.
namespace flopkin {

struct ball;
struct figure;
struct view_fields;
enum class figure_mode : int;

// Whether balls of different figures collide in play mode, and the ball the
// pointer holds (or null): it pushes what it touches, and nothing pushes it.
struct contact_rule {
    bool collide = false;
    const ball* held = nullptr;
};

// gravity added to every ball, the frame's start positions kept and, in play
// mode, every ball advanced by its velocity
void begin_step(figure& f, figure_mode mode, float gravity);
// the wall pass against the view, 30 relaxation passes over links and
// tensions (tensions bounded by far more in draw mode) and, in play mode
// when the rule says so, contacts, and the velocities of the balls that no
// wall pushed back
void end_step(figure& f, const view_fields& v, figure_mode mode, const contact_rule& contacts = {});

// one link pass, or one tension pass, on its own
void relax_links(figure& f);
void relax_tensions(figure& f, bool in_draw_mode);

// Reads the figure into the relaxation's arrays. A ball whose position is
// not a finite number would spread NaN through every constraint it takes
// part in, so such balls leave the figure first, with their links and
// tensions.
void gather_figure(figure& f);

}  // namespace flopkin
