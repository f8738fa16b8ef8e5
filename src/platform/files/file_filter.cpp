#include "platform/files/file_filter.hpp"

#include <cctype>

namespace flopkin {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "fkn" and ".fkn" both mean files ending in .fkn, in any case: "FIGURE.FKN"
// is a document too, so each letter becomes a bracket of both its cases
std::string pattern_for(std::string extension) {
    if (extension == "*") return "*";
    if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    std::string pattern = "*.";
    for (char c : extension) {
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (lower == upper)
            pattern += c;
        else
            pattern += std::string("[") + lower + upper + "]";
    }
    return pattern;
}

filter_group parse_group(const std::string& label, const std::string& extensions) {
    filter_group group{label, {}};
    for (const std::string& part : split(extensions, ',')) {
        std::string extension = trimmed(part);
        if (!extension.empty()) group.patterns.push_back(pattern_for(extension));
    }
    // a group that names no extension would hide every file: show them all
    if (group.patterns.empty()) group.patterns.push_back("*");
    return group;
}

}  // namespace

std::vector<filter_group> parse_file_filter(const std::string& filter) {
    std::vector<filter_group> groups;
    if (trimmed(filter).empty()) return groups;
    if (filter.find(':') == std::string::npos) {
        groups.push_back(parse_group("Files", filter));
        return groups;
    }
    for (const std::string& text : split(filter, ';')) {
        if (trimmed(text).empty()) continue;
        std::size_t colon = text.find(':');
        groups.push_back(colon == std::string::npos ? parse_group("Files", text)
                                                    : parse_group(text.substr(0, colon), text.substr(colon + 1)));
    }
    return groups;
}

}  // namespace flopkin
