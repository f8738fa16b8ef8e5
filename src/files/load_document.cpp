#include "app/app.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

void app::load_document(int replace, const std::string& path) {
    number_balls();  // the balls already here carry 1 to m, which Add's records build on
    std::string chosen = path;
    if (chosen.empty()) chosen = request_file("Open file:", "All Files:*;Flopkin files (.fkn):fkn", false, "");
    // a cancelled requester, a missing or unreadable file: nothing changes
    std::string why;
    if (!chosen.empty()) read_document(replace, chosen, why);
    flush_keys();
    number_balls();
}

}  // namespace flopkin
