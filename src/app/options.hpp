#pragma once
// The command line: flopkin [OPTION]... [DOCUMENT]
#include <span>
#include <string>

#include "app/app.hpp"

namespace flopkin {

enum class parse_result { run, exit_ok, bad };

// One option of the command line: its name, the argument it takes ("" for
// none), its lines in the usage text, and how it is read and checked. The
// parser, the usage text and the check of the man page are made from the
// rows, so a new option is a new row.
struct option_row {
    const char* name;      // "--frames"
    const char* argument;  // "N", "PATH", or "" for an option that takes none
    // the usage text's lines for it, '\n' between them
    const char* help;
    // reads `value` (empty for an option that takes none) into `options`; on
    // exit_ok `message` is the text for standard output, on bad the fault
    parse_result (*take)(const option_row& row, const std::string& value, run_options& options, std::string& message);
};

std::span<const option_row> option_rows();

// Fills `options`; on exit_ok `message` is the help or version text for
// standard output, on bad it is the line naming the fault.
parse_result parse_options(int argc, const char* const* argv, run_options& options, std::string& message);

std::string usage_text();

}  // namespace flopkin
