// Placeholder until the SDL backend lands: behaves as a machine without a display.
#include "platform/sdl/sdl_backend.hpp"

#include "platform/headless_backend.hpp"

namespace flopkin {

std::unique_ptr<backend> make_sdl_backend() {
    auto be = std::make_unique<headless_backend>(false, true);
    be->fail_open = true;
    return be;
}

}  // namespace flopkin
