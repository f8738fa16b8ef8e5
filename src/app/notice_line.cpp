#include "app/notice_line.hpp"

#include "platform/graphics.hpp"

namespace flopkin {

void notice_line::say(std::string words, bool restore) {
    text = std::move(words);
    offers_restore = restore;
    said_at = presses_counted();
}

std::string notice_line::shown(const std::string& restore_by) const {
    return offers_restore ? text + ": " + restore_by + " restores it" : text;
}

void notice_line::show(int grey, int line, const std::string& restore_by) {
    if (text.empty()) return;
    // a key tapped within one frame counts too, and one whose state a
    // command flushed
    if (presses_counted() != said_at) {
        text.clear();
        return;
    }
    set_color(grey, grey, grey);
    draw_text(shown(restore_by), 6, 4 + (glyph_height + 4) * line);
}

}  // namespace flopkin
