// Writes a generated figure of a given size as a document, for measuring
// loading, Play and whole frames on figures of known shape:
//   flopkin_make_figure mesh|chain|crowd BALLS PATH [LEFT TOP]
// from (LEFT, TOP), (20, 20) unless given: (-2300, -2250) spreads a big
// figure over the whole world a view can show, where a crowd has room to
// fall into a pile
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

int main(int argc, char** argv) {
    using namespace flopkin;
    if ((argc != 4 && argc != 6) || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: %s mesh|chain|crowd BALLS PATH [LEFT TOP]\n", argv[0]);
        return 2;
    }
    headless_backend backend(false);
    use_backend(&backend);
    int status = 0;
    {
        app a;
        // the figures start at the top-left of the first view and spread
        // right and down; loading widens the view to take them in
        const float left = argc == 6 ? std::strtof(argv[4], nullptr) : 20;
        const float top = argc == 6 ? std::strtof(argv[5], nullptr) : 20;
        if (!add_sized_figure(a.figure, argv[1], std::atoi(argv[2]), left, top)) {
            std::fprintf(stderr, "unknown figure kind: %s\n", argv[1]);
            status = 2;
        } else {
            a.number_balls();
            std::string why;
            if (!a.write_document(argv[3], why)) {
                std::fprintf(stderr, "cannot write %s: %s\n", argv[3], why.c_str());
                status = 1;
            } else {
                std::printf("%s: %zu balls, %zu links, %zu tensions\n", argv[3], a.figure.balls.count(), a.figure.links.count(),
                            a.figure.tensions.count());
            }
        }
    }
    use_backend(nullptr);
    return status;
}
