#include <cstdio>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/random.hpp"
#include "ui/menu.hpp"

namespace flopkin {

bool app::start_up(std::string& error) {
    menu->owner = this;
    seed_rnd(options.seed >= 0 ? static_cast<int>(options.seed) : millisecs());
    // A document named on the command line opens as Open would, and the run
    // stops when it cannot be read; the default document is only added, and
    // may well not exist. No window is open yet, so there are no keys to flush.
    bool named = !options.document.empty();
    std::string why;
    if (!read_document(named ? 1 : 0, named ? options.document : default_document, why) && named) {
        error = "cannot read \"" + options.document + "\": " + why;
        return false;
    }
    number_balls();
    return true;
}

bool app::shut_down() {
    bool kept = true;
    std::string why;
    if (!options.screenshot.empty() && !save_shown_frame(options.screenshot, why)) {
        std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", options.screenshot.c_str(), why.c_str());
        kept = false;
    }
    if (options.output.empty()) return kept;
    number_balls();
    if (write_document(options.output, why)) return kept;
    std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", options.output.c_str(), why.c_str());
    return false;
}

}  // namespace flopkin
