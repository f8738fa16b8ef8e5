// flopkin in a web page: the same app on the browser backend. The page has
// mounted the browser's storage as the documents' folder in the working
// folder before this runs.
#include <emscripten.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/app.hpp"
#include "app/options.hpp"
#include "app/page_description.hpp"
#include "files/document_folder.hpp"
#include "files/document_format.hpp"
#include "platform/files/file_system.hpp"
#include "platform/graphics.hpp"
#include "platform/web/web_backend.hpp"

namespace {

// the stick figure is the start-up document until the user saves their own
constexpr const char* first_document = "/examples/stick-figure.fkn";

EM_JS(void, page_ended, (int status), { Module.flopkin.ended(status); });

// "?collide=1" in the page's address starts the run with figures colliding
EM_JS(int, page_asks_collide, (), { return new URLSearchParams(location.search).get('collide') === '1' ? 1 : 0; });

// the app while it runs
flopkin::app* running = nullptr;

// A figure of more balls than this, from a link or a dropped file, takes
// seconds to open and runs slowly: the page asks before it opens one.
constexpr std::size_t most_balls_unasked = 100000;

// The start-up figure from a link, beyond most_balls_unasked balls, opens
// once the person says so; declined, the stored start-up figure opens
// instead. Nothing is asked of a start-up figure from elsewhere.
EM_ASYNC_JS(void, page_large_start_figure, (int balls), { await Module.flopkin.largeStartFigure(balls); });

}  // namespace

// The balls of the document at `path` in the page's memory when they are
// more than the page opens without asking, else 0: counted from its records
// before anything is built.
extern "C" EMSCRIPTEN_KEEPALIVE int flopkin_balls_to_ask(const char* path) {
    std::string why;
    std::unique_ptr<flopkin::stream> in = flopkin::open_stream(path, flopkin::file_access::read, why);
    if (!in) return 0;
    std::size_t balls = flopkin::count_balls(*in);
    return balls > most_balls_unasked ? static_cast<int>(std::min<std::size_t>(balls, INT_MAX)) : 0;
}

// The figure as it stands, for the page's Share: written at `path` in the
// page's memory with the bytes Save would write. Only between two frames,
// so that no change is seen half made: 0 while a frame is under way (it
// waits for the storage) or no app runs, -1 when the figure could not be
// written, 1 once written.
extern "C" EMSCRIPTEN_KEEPALIVE int flopkin_write_figure(const char* path) {
    if (!running || !flopkin::web_between_frames()) return 0;
    std::string why;
    return flopkin::replace_file(path, running->figure_writer(), why) ? 1 : -1;
}

// The program's description of itself for the page, and what the page's
// touch layout shows now, as JSON texts; 0 while no app runs. The text
// stays until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* flopkin_page_description() {
    static std::string text;
    if (!running) return nullptr;
    text = flopkin::page_description(*running);
    return text.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* flopkin_page_state() {
    static std::string text;
    if (!running) return nullptr;
    text = flopkin::page_state(*running);
    return text.c_str();
}

// What is wrong with the file at `path` as a figure, calling it `name`, for
// the page to refuse a file before it keeps it; 0 when it opens (perhaps cut
// short, which the Open then says). Allocated with malloc, for the page to free.
extern "C" EMSCRIPTEN_KEEPALIVE char* flopkin_figure_check(const char* path, const char* name) {
    flopkin::figure_records records;
    std::string said;
    flopkin::read_outcome outcome = flopkin::read_figure_file(path, name, 0, {}, records, said);
    if (outcome == flopkin::read_outcome::whole || outcome == flopkin::read_outcome::cut_short) return nullptr;
    char* text = static_cast<char*>(std::malloc(said.size() + 1));
    if (text) std::memcpy(text, said.c_str(), said.size() + 1);
    return text;
}

// the page shows its touch layout (1) or the drawn menu (0)
extern "C" EMSCRIPTEN_KEEPALIVE void flopkin_touch_layout(int on) {
    if (running) running->loop.touch_layout = on != 0;
}

// whether figures collide now, for the link Share makes
extern "C" EMSCRIPTEN_KEEPALIVE int flopkin_collides() { return running && running->loop.collide ? 1 : 0; }

// the page passes no arguments; a test may, for a seeded run of some frames
// to compare with the desktop's
int main(int argc, char** argv) {
    if (int balls = flopkin_balls_to_ask(flopkin::linked_figure_name)) page_large_start_figure(balls);
    std::error_code ignored;
    if (!std::filesystem::exists(flopkin::default_document, ignored))
        std::filesystem::copy_file(first_document, flopkin::default_document, ignored);
    flopkin::run_options options;
    std::string message;
    if (flopkin::parse_options(argc, argv, options, message) != flopkin::parse_result::run) options = {};
    // the page has one thread: the relaxation runs on it alone
    options.threads = 1;
    // ?collide=1 in the page's address
    if (page_asks_collide() != 0) options.collide = true;
    // a link's figure, which the page put in the working folder
    options.start_up_figure = flopkin::linked_figure_name;
    auto backend = flopkin::make_web_backend();
    flopkin::use_backend(backend.get());
    int status;
    {
        flopkin::app the_app;
        running = &the_app;
        status = the_app.run(options);
        running = nullptr;
    }
    flopkin::use_backend(nullptr);
    page_ended(status);
    return status;
}
