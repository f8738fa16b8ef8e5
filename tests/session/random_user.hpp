#pragma once
// A seeded random person at the mouse and keyboard: clicks and drags
// anywhere (on the canvas, on balls and their rims, at and beyond the window's
// edges), presses every menu button, holds the steppers for long stretches,
// and answers the requester with good, missing, unreadable, garbage and
// read-only paths. It types the shortcuts too, undo and redo most of all. It scripts the headless backend one frame ahead.
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "app/app.hpp"
#include "platform/headless/headless_backend.hpp"

namespace flopkin {

class button;

struct user_tally {
    long long clicks = 0, drags = 0, commands = 0, holds = 0, idles = 0, escapes = 0, other_buttons = 0, shortcuts = 0;
};

class random_user {
public:
    // works in the current folder, where it lays out the files it offers
    random_user(std::uint32_t seed, app& a, headless_backend& hb);

    // scripts the input of the coming frame; true when it taps Escape in it
    bool before_frame();
    const user_tally& tally() const { return tally_; }
    // between two gestures nothing is planned ahead
    bool between_gestures() const { return steps_.empty(); }

private:
    struct step {
        bool move = false;
        int x = 0, y = 0;
        int press = 0, release = 0;  // codes
        int modifiers = 0;           // held with the press and the release
    };
    struct point {
        int x, y;
    };

    void plan();
    void plan_click(point at, int code);
    void plan_drag(point from, point to);
    void plan_button(const button& b, int frames);
    void idle(int frames);
    void plan_shortcut();
    point anywhere();
    point target();
    point inside(const button& b);
    std::string requester_answer();
    void lay_out_files();
    int pick(int low, int high);  // inclusive
    bool chance(double p);

    std::mt19937 random_;
    app& a_;
    headless_backend& hb_;
    std::deque<step> steps_;
    user_tally tally_;
};

}  // namespace flopkin
