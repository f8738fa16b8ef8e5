// flopkin: opens the window (or runs headless) and hands over to the app.
#include <cstdio>
#include <memory>

#include "app/app.hpp"
#include "app/options.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "platform/sdl/sdl_backend.hpp"
#include "platform/termination.hpp"

int main(int argc, char** argv) {
    flopkin::run_options options;
    std::string message;
    switch (flopkin::parse_options(argc, argv, options, message)) {
        case flopkin::parse_result::exit_ok:
            std::fputs(message.c_str(), stdout);
            return 0;
        case flopkin::parse_result::bad:
            std::fprintf(stderr, "flopkin: %s\nTry 'flopkin --help' for more information.\n", message.c_str());
            return 2;
        case flopkin::parse_result::run:
            break;
    }
    std::unique_ptr<flopkin::backend> backend;
    if (options.headless && !(options.screenshot.empty() && options.record.empty()))
        backend = flopkin::make_sdl_backend(true);  // real frames, drawn offscreen
    else if (options.headless)
        backend = std::make_unique<flopkin::headless_backend>(false, true);
    else
        backend = flopkin::make_sdl_backend();
    flopkin::use_backend(backend.get());
    int status = 0;
    {
        flopkin::app the_app;
        status = the_app.run(options);
        flopkin::use_backend(nullptr);
    }
    backend.reset();
    flopkin::end_by_terminate_request();
    return status;
}
