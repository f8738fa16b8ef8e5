#pragma once
// The document the figure belongs to, and which of the history's figures it
// holds: the figure differs from its document while the user has changes
// that are not saved.
#include <cstdint>
#include <string>

namespace flopkin {

struct document_state {
    std::string path;               // "" = never opened from or saved to a file
    std::uint64_t kept_figure = 0;  // the history's figure at the last open or save
    long long kept_hand_moves = 0;  // the ball drags in play mode by then
    // the ended run's unsaved figure R restored, which goes from the unsaved
    // folder once the figure is saved under a name; "" when there is none
    std::string restored_from;
};

}  // namespace flopkin
