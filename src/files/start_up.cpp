#include <cstdio>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/random.hpp"
#include "ui/menu.hpp"

namespace flopkin {

bool app::start_up(std::string& error) {
    menu->owner = this;
    seed_rnd(millisecs());
    if (options.document.empty()) {
        // the default document is optional: without it the figure starts empty
        load_document(0, default_document);
        return true;
    }
    // a document asked for by name opens as Open would, or the run stops here
    std::string why;
    if (!read_document(1, options.document, why)) {
        error = "cannot read \"" + options.document + "\": " + why;
        return false;
    }
    number_balls();
    return true;
}

void app::shut_down() {
    if (options.output.empty()) return;
    number_balls();
    std::string why;
    if (!write_document(options.output, why))
        std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", options.output.c_str(), why.c_str());
}

}  // namespace flopkin
