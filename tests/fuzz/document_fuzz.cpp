// Feeds arbitrary bytes to the document reader, as Add onto a small figure
// and as Open, then checks that only sound values were loaded and that what
// was loaded writes out and reads back to the very same bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "../unit/figure_builder.hpp"
#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace {

using namespace flopkin;

std::shared_ptr<bytes> served;

std::unique_ptr<stream_device> serve(const std::string&, file_access, std::string&) {
    return std::make_unique<memory_device>(served);
}

// loads, checks that only sound values came in, and writes the figure out
bytes load_and_write(app& a, int replace) {
    a.load_document(replace, "input");
    for (ball_ref b : a.figure.balls.all())
        if (!std::isfinite(b->x) || !std::isfinite(b->y) || !std::isfinite(b->mass) || !(b->mass > 0)) std::abort();
    for (link_ref l : a.figure.links.all())
        if (!l->end_a || !l->end_b || !std::isfinite(l->rest_length)) std::abort();
    for (tension_ref t : a.figure.tensions.all())
        if (!t->end_a || !t->vertex || !t->end_b || !std::isfinite(t->rest_angle)) std::abort();
    return figure_bytes(a.figure);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static headless_backend hb(false);
    use_backend(&hb);
    use_device_maker(serve);
    served = std::make_shared<bytes>(data, data + size);

    app a;
    auto p = put_ball(a.figure, 10, 10);
    auto q = put_ball(a.figure, 40, 10);
    put_link(a.figure, p, q, 30);
    bytes added = load_and_write(a, 0);
    bytes opened = load_and_write(a, 1);

    // whatever was kept must survive a save and a reopen bit for bit
    for (const bytes& once : {added, opened}) {
        served = std::make_shared<bytes>(once);
        app again;
        if (load_and_write(again, 1) != once) std::abort();
    }
    use_device_maker(nullptr);
    use_backend(nullptr);
    return 0;
}
