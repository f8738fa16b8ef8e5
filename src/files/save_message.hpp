#pragma once

namespace flopkin {

struct app;

// The Save button reads "Saved!" or "Save failed!" for 60 frames.
void show_save_result(app& owner, bool saved);

}  // namespace flopkin
