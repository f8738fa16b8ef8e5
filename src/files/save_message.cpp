#include "files/save_message.hpp"

#include "app/app.hpp"
#include "ui/menu.hpp"

namespace flopkin {

void show_save_result(app& owner, bool saved) {
    owner.menu->save_label = saved ? "Saved!" : "Save failed!";
    owner.menu->save_message_frames = 60;
}

}  // namespace flopkin
