#include "app/options.hpp"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "app/command_table.hpp"
#include "files/document_folder.hpp"
#include "platform/frame.hpp"
#include "platform/recovery_store.hpp"

namespace flopkin {

std::string usage_text() {
    // the text says "a second"
    static_assert(recovery_quiet_ms == 1000);
    return "Usage: flopkin [OPTION]... [DOCUMENT]\n"
           "A 2D physics sandbox: place balls, join them with links, press Play.\n"
           "\n"
           "  --frames N      end after frame N (N >= 0; 0 runs start-up only)\n"
           "  --headless      no window and no input (needs --frames); nothing is drawn\n"
           "                  unless --screenshot or --record is given\n"
           "  --unpaced       run frames back to back instead of " + std::to_string(frames_per_second) + " per second\n"
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
           "DOCUMENT is opened at start-up instead of \"" + default_document + "\".\n"
           "\n" +
           shortcut_help() +
           "Mouse: the wheel zooms; in draw mode Shift+drag or a right-button drag moves\n"
           "a ball.\n"
           "\n"
           "While you have changes that are not saved, a run with a window keeps the\n"
           "figure in a file of its own in $XDG_STATE_HOME/flopkin/unsaved/\n"
           "(~/.local/state/flopkin/unsaved/), written a second after each change and\n"
           "as the run ends (Escape, Quit, SIGTERM, SIGINT, SIGHUP), and removed when\n"
           "you save. The files of the " +
           std::to_string(recovery_kept_runs) + " newest ended runs are kept; start-up names\n"
           "the newest " +
           std::to_string(recovery_named_runs) + ", and \"Open\" shows the folder in its sidebar. R opens the\n"
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

// The command line read argument by argument; `message` names the fault
// when an argument is refused.
class option_parser {
public:
    option_parser(int argc, const char* const* argv, run_options& options, std::string& message)
        : argc_(argc), argv_(argv), options_(options), message_(message) {}

    parse_result parse() {
        for (; at_ < argc_; ++at_) {
            arg_ = argv_[at_];
            const parse_result r = one_argument();
            if (r != parse_result::run) return r;
        }
        return check_together();
    }

private:
    parse_result one_argument() {
        if (only_operands_ || arg_.empty() || arg_[0] != '-' || arg_ == "-") return operand();
        if (arg_ == "--") {
            only_operands_ = true;
        } else if (arg_ == "--help") {
            message_ = usage_text();
            return parse_result::exit_ok;
        } else if (arg_ == "--version") {
            message_ = std::string("flopkin ") + FLOPKIN_VERSION + "\n";
            return parse_result::exit_ok;
        } else if (arg_ == "--headless") {
            options_.headless = true;
        } else if (arg_ == "--unpaced") {
            options_.unpaced = true;
        } else if (arg_ == "--collide") {
            options_.collide = true;
        } else if (arg_ == "--stats") {
            options_.stats = true;
        } else {
            return option_with_value();
        }
        return parse_result::run;
    }

    parse_result operand() {
        if (!options_.document.empty()) {
            message_ = "only one DOCUMENT may be given: '" + arg_ + "'";
            return parse_result::bad;
        }
        options_.document = arg_;
        return parse_result::run;
    }

    parse_result option_with_value() {
        long long n = 0;
        bool read = false;
        if (arg_ == "--frames") {
            read = number(options_.frames, 0, std::numeric_limits<long long>::max());
            frames_given_ = true;
        } else if (arg_ == "--output") {
            read = path(options_.output);
        } else if (arg_ == "--screenshot") {
            read = path(options_.screenshot);
        } else if (arg_ == "--record") {
            read = path(options_.record);
        } else if (arg_ == "--record-every") {
            read = number(n, 1, 3600);
            options_.record_every = static_cast<int>(n);
            record_every_given_ = true;
        } else if (arg_ == "--seed") {
            read = number(options_.seed, 0, 2147483647);
        } else if (arg_ == "--threads") {
            read = number(n, 1, 256);
            options_.threads = static_cast<int>(n);
        } else {
            message_ = "unknown option '" + arg_ + "'";
        }
        return read ? parse_result::run : parse_result::bad;
    }

    parse_result check_together() {
        if (options_.headless && !frames_given_) {
            message_ = "--headless needs --frames N";
            return parse_result::bad;
        }
        if (record_every_given_ && options_.record.empty()) {
            message_ = "--record-every needs --record PATH";
            return parse_result::bad;
        }
        return parse_result::run;
    }

    // the argument after the option
    bool value(std::string& out) {
        if (at_ + 1 >= argc_) {
            message_ = "option '" + arg_ + "' needs a value";
            return false;
        }
        out = argv_[++at_];
        return true;
    }

    bool path(std::string& out) {
        if (!value(out)) return false;
        if (out.empty()) message_ = arg_ + " needs a path";
        return !out.empty();
    }

    // a whole number from lowest to highest; no highest for the greatest there is
    bool number(long long& out, long long lowest, long long highest) {
        std::string text;
        if (!value(text)) return false;
        long long read = 0;
        if (parse_count(text, read) && read >= lowest && read <= highest) {
            out = read;
            return true;
        }
        const std::string range = highest == std::numeric_limits<long long>::max()
                                      ? ">= " + std::to_string(lowest)
                                      : "from " + std::to_string(lowest) + " to " + std::to_string(highest);
        message_ = "invalid value for " + arg_ + ": '" + text + "' (a whole number " + range + ")";
        return false;
    }

    int argc_;
    const char* const* argv_;
    run_options& options_;
    std::string& message_;
    int at_ = 1;
    std::string arg_;
    bool frames_given_ = false;
    bool record_every_given_ = false;
    bool only_operands_ = false;
};

}  // namespace

parse_result parse_options(int argc, const char* const* argv, run_options& options, std::string& message) {
    return option_parser(argc, argv, options, message).parse();
}

}  // namespace flopkin
