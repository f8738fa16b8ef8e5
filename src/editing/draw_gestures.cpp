// The draw-mode gestures, in the order the frame runs them. A click on empty
// canvas, or the release of a link drag over empty canvas, places a new ball
// under the pointer (place_ball_step). Press on a ball, drag, and release
// over another ball, or over empty canvas where place_ball_step has just put
// one, to join them with a link (link_step).

#include "editing/figure_editing.hpp"
#include "editing/pick.hpp"
#include "physics/joint.hpp"
#include "physics/stretch.hpp"
#include "physics/view.hpp"
#include "platform/graphics.hpp"
#include "platform/base/random.hpp"

namespace flopkin {

namespace {

bool linked(object_list<link>& links, const ball* p, const ball* q) {
    for (const auto& l : links.all())
        if ((l->end_a.get() == p && l->end_b.get() == q) || (l->end_a.get() == q && l->end_b.get() == p))
            return true;
    return false;
}

bool listed(object_list<ball>& balls, const ball* b) {
    for (const auto& each : balls.all())
        if (each.get() == b) return true;
    return false;
}

// the links and tensions of the ball hold the shape they have now, so that
// the relaxation neither pulls the ball back nor pushes its neighbours
void rest_in_present_shape(figure& figure, const ball* moved) {
    for (const auto& l : figure.links.all())
        if (l->end_a.get() == moved || l->end_b.get() == moved) l->rest_length = present_length(*l->end_a, *l->end_b);
    for (const auto& t : figure.tensions.all())
        if (t->end_a.get() == moved || t->vertex.get() == moved || t->end_b.get() == moved)
            t->rest_angle = present_angle(*t->end_a, *t->vertex, *t->end_b);
}

}  // namespace

void note_presses(editing_fields& e, bool in_draw_mode) {
    e.left_presses = mouse_hit(1);
    if (e.left_presses > 0) e.left_press_in_draw = in_draw_mode;
    if (mouse_hit(2) > 0) e.right_press_in_draw = in_draw_mode;
}

void move_ball_step(figure& figure, const view_fields& v, editing_fields& e, const before_change& changing) {
    int px = mouse_x();
    int py = mouse_y();
    if (e.moved && !mouse_down(e.move_button)) e.moved.reset();
    if (!e.moved && !e.link_drag_active) {
        int button = mouse_down(2) && e.right_press_in_draw ? 2
                     : mouse_down(1) && e.left_press_in_draw && (key_press_modifiers(code_mouse_left) & modifier_shift)
                         ? 1
                         : 0;
        if (button != 0) {
            for (ball_ref b : figure.balls.all()) b->to_screen(v);
            if (ball_ref b = last_ball_under(figure.balls, static_cast<float>(px), static_cast<float>(py))) {
                e.moved = b;
                e.selected = b;
                e.move_button = button;
                e.move_from_x = b->x;
                e.move_from_y = b->y;
                e.move_press_x = px;
                e.move_press_y = py;
                e.move_kept = false;
            }
        }
    }
    // the ball keeps its place under the pointer; a press without a move changes nothing
    if (!e.moved || (px == e.move_press_x && py == e.move_press_y && !e.move_kept)) return;
    if (!e.move_kept) changing();
    e.move_kept = true;
    e.moved->x = e.move_from_x + static_cast<float>(px - e.move_press_x) / v.zoom;
    e.moved->y = e.move_from_y + static_cast<float>(py - e.move_press_y) / v.zoom;
    rest_in_present_shape(figure, e.moved.get());
}

void place_ball_step(figure& figure, const view_fields& v, editing_fields& e, float ball_size,
                     const before_change& changing) {
    int pressed = e.left_presses;
    bool drag_released = e.link_drag_active && !mouse_down(1);
    if (pressed == 0 && !drag_released) return;

    float px = static_cast<float>(mouse_x());
    float py = static_cast<float>(mouse_y());
    if (px >= v.area_width) return;  // over the menu
    if (last_ball_under(figure.balls, px, py)) return;

    changing();
    auto placed = std::make_shared<ball>(rand);
    placed->x = screen_to_world(px, v.view_cx, v.zoom, v.area_width);
    placed->y = screen_to_world(py, v.view_cy, v.zoom, static_cast<float>(v.screen_height));
    placed->old_x = placed->x;
    placed->old_y = placed->y;
    placed->radius = ball_size;
    // cached at once so that link_step can pick it in this same frame
    placed->to_screen(v);
    figure.balls.add_last(placed);
    placed->number = static_cast<int>(figure.balls.count());
    e.selected = placed;
}

void link_step(figure& figure, const view_fields& v, editing_fields& e, float link_width, const before_change& changing) {
    bool& link_drag_active = e.link_drag_active;
    int down = mouse_down(1);
    float px = static_cast<float>(mouse_x());
    float py = static_cast<float>(mouse_y());

    // press: repeated every frame while the button is held over empty canvas,
    // so sliding onto a ball starts the drag from it
    if (down && e.left_press_in_draw && !link_drag_active) {
        for (ball_ref b : figure.balls.all()) b->to_screen(v);
        if (ball_ref start = last_ball_under(figure.balls, px, py)) {
            e.link_start = start;
            e.selected = start;
            link_drag_active = true;
        }
    }

    const ball_ref& start = e.link_start;
    if (link_drag_active) {
        // from the start ball's world position: its cache may be a frame old
        set_color(255, 255, 255);
        draw_line(world_to_screen_x(start->x, v.view_cx, v.zoom, v.area_width),
                  world_to_screen_y(start->y, v.view_cy, v.zoom, static_cast<float>(v.screen_height)), px, py, 1);
    }

    // release: link the start to every ball under the pointer; a start ball
    // that has left the figure meanwhile is not linked, so every link keeps
    // joining listed balls
    if (link_drag_active && !down && listed(figure.balls, start.get())) {
        for (ball_ref b : figure.balls.all()) {
            if (!under_pointer(*b, px, py)) continue;
            if (b == start || linked(figure.links, start.get(), b.get())) continue;
            changing();
            auto made = std::make_shared<link>(rand);
            made->end_a = start;
            made->end_b = b;
            made->rest_length = present_length(*start, *b);
            made->width = link_width;
            figure.links.add_last(made);
        }
    }

    if (!down) link_drag_active = false;
}

}  // namespace flopkin
