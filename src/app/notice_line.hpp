#pragma once
// The one line in the canvas for what a person must see: why a document
// could not be opened, added or saved, an ended run's unsaved figure to
// restore, why this run's cannot be kept. It stays until the next press of a
// key, a mouse button or a control beside the canvas after it was said.
#include <string>

namespace flopkin {

struct notice_line {
    std::string text;             // "" when there is nothing to show
    bool offers_restore = false;  // followed by what restores the kept figure
    unsigned said_at = 0;         // the presses counted when it was said

    void say(std::string words, bool restore = false);
    void clear() { text.clear(); }
    // the words as shown, `restore_by` naming what restores the kept figure
    std::string shown(const std::string& restore_by) const;
    // draws it in the grey given, on the line given below the top (counted
    // from 0), unless a press came after it was said, which ends it
    void show(int grey, int line, const std::string& restore_by);
};

}  // namespace flopkin
