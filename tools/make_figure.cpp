// Writes a generated figure of a given size as a document, for measuring
// loading, Play and whole frames on figures of known shape:
//   flopkin_make_figure mesh|chain|crowd BALLS PATH
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/headless_backend.hpp"

int main(int argc, char** argv) {
    using namespace flopkin;
    if (argc != 4 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: %s mesh|chain|crowd BALLS PATH\n", argv[0]);
        return 2;
    }
    headless_backend backend(false);
    use_backend(&backend);
    int status = 0;
    {
        app a;
        // the figures start at the top-left of the first view and spread
        // right and down; loading widens the view to take them in
        if (!add_sized_figure(a.figure, argv[1], std::atoi(argv[2]), 20, 20)) {
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
