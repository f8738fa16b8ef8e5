// flopkin in a web page: the same app on the browser backend. The page has
// mounted the browser's storage as "saved flopkins" in the working folder
// before this runs.
#include <emscripten.h>

#include <filesystem>
#include <system_error>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/web/web_backend.hpp"

namespace {

// the stick figure is the start-up document until the user saves their own
constexpr const char* first_document = "/examples/stick-figure.fkn";

EM_JS(void, page_ended, (int status), { Module.flopkin.ended(status); });

}  // namespace

int main() {
    std::error_code ignored;
    if (!std::filesystem::exists(flopkin::default_document, ignored))
        std::filesystem::copy_file(first_document, flopkin::default_document, ignored);
    flopkin::run_options options;
    // the page has one thread: the relaxation runs on it alone
    options.threads = 1;
    auto backend = flopkin::make_web_backend();
    flopkin::use_backend(backend.get());
    int status;
    {
        flopkin::app the_app;
        status = the_app.run(options);
    }
    flopkin::use_backend(nullptr);
    page_ended(status);
    return status;
}
