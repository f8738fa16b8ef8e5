#pragma once
// The filter text of the file requester: groups separated by ";", each a label,
// a colon and extensions separated by ","; "*" stands for every file. A filter
// without ":" is one group labelled "Files"; an empty filter has no group, and
// the requester then shows every file.
#include <string>
#include <vector>

namespace flopkin {

struct filter_group {
    std::string label;
    std::vector<std::string> patterns;  // shell patterns: "*", or "*.ext" matching either case
};

std::vector<filter_group> parse_file_filter(const std::string& filter);

}  // namespace flopkin
