#include "app/options.hpp"

#include <cerrno>
#include <cstdlib>

#include "app/command_table.hpp"

namespace flopkin {

std::string usage_text() {
    return "Usage: flopkin [OPTION]... [DOCUMENT]\n"
           "A 2D physics sandbox: place balls, join them with links, press Play.\n"
           "\n"
           "  --frames N      end after frame N (N >= 0; 0 runs start-up only)\n"
           "  --headless      no window and no input (needs --frames); nothing is drawn\n"
           "                  unless --screenshot or --record is given\n"
           "  --unpaced       run frames back to back instead of 60 per second\n"
           "  --stats         at exit print frame times on standard error\n"
           "  --output PATH   write the figure to PATH when the program ends\n"
           "  --screenshot PATH  write the last frame shown to PATH as PNG when the\n"
           "                  program ends; with --headless the frames are drawn offscreen\n"
           "  --record PATH   write the frames shown to PATH as an animated GIF (desktop\n"
           "                  only); with --headless the frames are drawn offscreen\n"
           "  --record-every N  with --record, keep every Nth frame shown in the clip\n"
           "                  (N >= 1; default 2)\n"
           "  --seed N        seed the random generator with N (0 to 2147483647), so a\n"
           "                  run can be repeated frame for frame\n"
           "  --threads N     threads for the simulation (N >= 1; default: one per core\n"
           "                  for big figures, while sharing is faster); the figure\n"
           "                  moves the same either way\n"
           "  --collide       figures collide from the start (C turns it on and off)\n"
           "  --help          show this help and exit\n"
           "  --version       show the version and exit\n"
           "\n"
           "DOCUMENT is opened at start-up instead of \"saved flopkins/flopkin.fkn\".\n"
           "\n" +
           shortcut_help() +
           "Mouse: the wheel zooms; in draw mode Shift+drag or a right-button drag moves\n"
           "a ball.\n"
           "\n"
           "While you have changes that are not saved, a run with a window keeps the\n"
           "figure in a file of its own in $XDG_STATE_HOME/flopkin/unsaved/\n"
           "(~/.local/state/flopkin/unsaved/), written a second after each change and\n"
           "as the run ends (Escape, Quit, SIGTERM, SIGINT, SIGHUP), and removed when\n"
           "you save. The files of the 20 newest ended runs are kept; start-up names\n"
           "the newest 3, and \"Open\" shows the folder in its sidebar. R opens the\n"
           "newest with no document name: its first Save asks for one.\n";
}

namespace {

bool parse_count(const std::string& text, long long& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    out = value;
    return true;
}

}  // namespace

parse_result parse_options(int argc, const char* const* argv, run_options& options, std::string& message) {
    bool frames_given = false;
    bool record_every_given = false;
    bool only_operands = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                message = "option '" + arg + "' needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        auto path = [&](std::string& out) {
            if (!value(out)) return false;
            if (out.empty()) message = arg + " needs a path";
            return !out.empty();
        };
        auto number = [&](long long& out, long long lowest, long long highest) {
            std::string text;
            if (!value(text)) return false;
            if (parse_count(text, out) && out >= lowest && out <= highest) return true;
            message = "invalid value for " + arg + ": '" + text + "' (a whole number from " + std::to_string(lowest) +
                      " to " + std::to_string(highest) + ")";
            return false;
        };
        if (only_operands || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!options.document.empty()) {
                message = "only one DOCUMENT may be given: '" + arg + "'";
                return parse_result::bad;
            }
            options.document = arg;
        } else if (arg == "--") {
            only_operands = true;
        } else if (arg == "--help") {
            message = usage_text();
            return parse_result::exit_ok;
        } else if (arg == "--version") {
            message = std::string("flopkin ") + FLOPKIN_VERSION + "\n";
            return parse_result::exit_ok;
        } else if (arg == "--frames") {
            std::string text;
            if (!value(text)) return parse_result::bad;
            if (!parse_count(text, options.frames)) {
                message = "invalid value for --frames: '" + text + "' (a whole number >= 0)";
                return parse_result::bad;
            }
            frames_given = true;
        } else if (arg == "--output") {
            if (!path(options.output)) return parse_result::bad;
        } else if (arg == "--screenshot") {
            if (!path(options.screenshot)) return parse_result::bad;
        } else if (arg == "--record") {
            if (!path(options.record)) return parse_result::bad;
        } else if (arg == "--record-every") {
            long long every = 0;
            if (!number(every, 1, 3600)) return parse_result::bad;
            options.record_every = static_cast<int>(every);
            record_every_given = true;
        } else if (arg == "--seed") {
            if (!number(options.seed, 0, 2147483647)) return parse_result::bad;
        } else if (arg == "--threads") {
            long long threads = 0;
            if (!number(threads, 1, 256)) return parse_result::bad;
            options.threads = static_cast<int>(threads);
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--unpaced") {
            options.unpaced = true;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--collide") {
            options.collide = true;
        } else {
            message = "unknown option '" + arg + "'";
            return parse_result::bad;
        }
    }
    if (options.headless && !frames_given) {
        message = "--headless needs --frames N";
        return parse_result::bad;
    }
    if (record_every_given && options.record.empty()) {
        message = "--record-every needs --record PATH";
        return parse_result::bad;
    }
    return parse_result::run;
}

}  // namespace flopkin
