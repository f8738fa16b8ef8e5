#include "app/options.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <type_traits>

#include "app/command_table.hpp"
#include "files/document_folder.hpp"
#include "platform/base/frame.hpp"
#include "platform/recovery/recovery_store.hpp"

namespace flopkin {

namespace {

constexpr long long no_highest = std::numeric_limits<long long>::max();

// A whole number is its digits alone: no sign and no spaces on either side.
bool read_digits(const std::string& text, long long& out) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    errno = 0;
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0) return false;
    out = value;
    return true;
}

// a whole number from lowest to highest into the option's field
template <auto field, long long lowest, long long highest>
parse_result whole_number(const option_row& row, const std::string& text, run_options& options,
                          std::string& message) {
    long long read = 0;
    if (read_digits(text, read) && read >= lowest && read <= highest) {
        options.*field = static_cast<std::remove_reference_t<decltype(options.*field)>>(read);
        return parse_result::run;
    }
    const std::string range = highest == no_highest
                                  ? ">= " + std::to_string(lowest)
                                  : "from " + std::to_string(lowest) + " to " + std::to_string(highest);
    message = "invalid value for " + std::string(row.name) + ": '" + text + "' (a whole number " + range + ")";
    return parse_result::bad;
}

template <std::string run_options::*field>
parse_result path(const option_row& row, const std::string& text, run_options& options, std::string& message) {
    if (text.empty()) {
        message = std::string(row.name) + " needs a path";
        return parse_result::bad;
    }
    options.*field = text;
    return parse_result::run;
}

template <bool run_options::*field>
parse_result flag(const option_row&, const std::string&, run_options& options, std::string&) {
    options.*field = true;
    return parse_result::run;
}

parse_result help(const option_row&, const std::string&, run_options&, std::string& message) {
    message = usage_text();
    return parse_result::exit_ok;
}

parse_result version(const option_row&, const std::string&, run_options&, std::string& message) {
    message = std::string("flopkin ") + FLOPKIN_VERSION + "\n";
    return parse_result::exit_ok;
}

// the --unpaced line says how many frames a second
static_assert(frames_per_second == 60);

constexpr option_row rows[] = {
    {"--frames", "N", "end after frame N (N >= 0; 0 runs start-up only)",
     whole_number<&run_options::frames, 0, no_highest>},
    {"--headless", "",
     "no window and no input (needs --frames); nothing is drawn\n"
     "unless --screenshot or --record is given",
     flag<&run_options::headless>},
    {"--unpaced", "", "run frames back to back instead of 60 per second", flag<&run_options::unpaced>},
    {"--stats", "", "at exit print frame times on standard error", flag<&run_options::stats>},
    {"--output", "PATH", "write the figure to PATH when the program ends", path<&run_options::output>},
    {"--screenshot", "PATH",
     "write the last frame shown to PATH as PNG when the\n"
     "program ends; with --headless the frames are drawn offscreen",
     path<&run_options::screenshot>},
    {"--record", "PATH",
     "write the frames shown to PATH as an animated GIF (desktop\n"
     "only); with --headless the frames are drawn offscreen",
     path<&run_options::record>},
    {"--record-every", "N",
     "with --record, keep every Nth frame shown in the clip\n"
     "(N >= 1; default 2)",
     whole_number<&run_options::record_every, 1, 3600>},
    {"--seed", "N",
     "seed the random generator with N (0 to 2147483647), so a\n"
     "run can be repeated frame for frame",
     whole_number<&run_options::seed, 0, 2147483647>},
    {"--threads", "N",
     "threads for the simulation (N >= 1; default: one per core\n"
     "for big figures, while sharing is faster); the figure\n"
     "moves the same either way",
     whole_number<&run_options::threads, 1, 256>},
    {"--collide", "", "figures collide from the start (C turns it on and off)", flag<&run_options::collide>},
    {"--help", "", "show this help and exit", help},
    {"--version", "", "show the version and exit", version},
};

constexpr std::size_t row_count = std::size(rows);

std::size_t row_named(std::string_view name) {
    std::size_t i = 0;
    while (i < row_count && name != rows[i].name) ++i;
    return i;
}

// the options' lines of the usage text: the name and argument, then the
// help from the 19th column on, a line below when the name is longer
std::string option_lines() {
    constexpr std::size_t help_column = 18;
    std::string text;
    for (const option_row& row : rows) {
        std::string line = std::string("  ") + row.name;
        if (*row.argument) line.append(" ").append(row.argument);
        line.append(std::max<std::size_t>(2, help_column - std::min(line.size(), help_column)), ' ');
        for (const char* c = row.help; *c; ++c) {
            line.push_back(*c);
            if (*c == '\n') line.append(help_column, ' ');
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::span<const option_row> option_rows() { return rows; }

std::string usage_text() {
    // the text says "a second"
    static_assert(recovery_quiet_ms == 1000);
    return "Usage: flopkin [OPTION]... [DOCUMENT]\n"
           "A 2D physics sandbox: place balls, join them with links, press Play.\n"
           "\n" +
           option_lines() +
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

// The command line read argument by argument, each option by its row;
// `message` names the fault when an argument is refused.
class option_parser {
public:
    option_parser(int argc, const char* const* argv, run_options& options, std::string& message)
        : argc_(argc), argv_(argv), options_(options), message_(message) {}

    parse_result parse() {
        for (; at_ < argc_; ++at_) {
            const parse_result r = one_argument(argv_[at_]);
            if (r != parse_result::run) return r;
        }
        return check_together();
    }

private:
    parse_result one_argument(const std::string& arg) {
        if (only_operands_ || arg.empty() || arg[0] != '-' || arg == "-") return operand(arg);
        if (arg == "--") {
            only_operands_ = true;
            return parse_result::run;
        }
        // "--name=value" as well as "--name value"
        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const std::size_t at = row_named(name);
        if (at == row_count) {
            message_ = "unknown option '" + name + "'";
            return parse_result::bad;
        }
        const option_row& row = rows[at];
        std::string value;
        if (!*row.argument && equals != std::string::npos) {
            message_ = "option '" + name + "' takes no value";
            return parse_result::bad;
        }
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (*row.argument) {
            if (at_ + 1 >= argc_) {
                message_ = "option '" + name + "' needs a value";
                return parse_result::bad;
            }
            value = argv_[++at_];
        }
        given_[at] = true;
        return row.take(row, value, options_, message_);
    }

    parse_result operand(const std::string& arg) {
        if (arg.empty()) {
            message_ = "an empty DOCUMENT names no file";
            return parse_result::bad;
        }
        if (!options_.document.empty()) {
            message_ = "only one DOCUMENT may be given: '" + arg + "'";
            return parse_result::bad;
        }
        options_.document = arg;
        return parse_result::run;
    }

    bool given(std::string_view name) const { return given_[row_named(name)]; }

    parse_result check_together() {
        if (options_.headless && !given("--frames")) {
            message_ = "--headless needs --frames N";
            return parse_result::bad;
        }
        if (given("--record-every") && options_.record.empty()) {
            message_ = "--record-every needs --record PATH";
            return parse_result::bad;
        }
        return parse_result::run;
    }

    int argc_;
    const char* const* argv_;
    run_options& options_;
    std::string& message_;
    int at_ = 1;
    std::array<bool, row_count> given_{};
    bool only_operands_ = false;
};

}  // namespace

parse_result parse_options(int argc, const char* const* argv, run_options& options, std::string& message) {
    return option_parser(argc, argv, options, message).parse();
}

}  // namespace flopkin
