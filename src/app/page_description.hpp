#pragma once
// What the web page needs to know of the program, so that it copies none of
// it: the frame and its canvas, the numbers of its events, modifiers, keys
// and buttons, the menu's places, and the controls its touch layout shows
// in place of the menu (from the table of commands and the menu's value
// rows), each as a JSON text.
#include <cstddef>
#include <string>

namespace flopkin {

struct app;

// what stays as it is for the whole run; the menu's places as laid out now
std::string page_description(app& a);
// what the touch layout shows in this frame: the mode, the controls that act
// in it with their labels and whether they would do anything, the values
std::string page_state(app& a);
// the touch layout's label of the control of a command row, as it shows now
std::string touch_label(app& a, std::size_t row);

}  // namespace flopkin
