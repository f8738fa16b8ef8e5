#pragma once
// The command line: flopkin [OPTION]... [DOCUMENT]
#include <string>

#include "app/app.hpp"

namespace flopkin {

enum class parse_result { run, exit_ok, bad };

// Fills `options`; on exit_ok `message` is the help or version text for
// standard output, on bad it is the line naming the fault.
parse_result parse_options(int argc, const char* const* argv, run_options& options, std::string& message);

std::string usage_text();

}  // namespace flopkin
