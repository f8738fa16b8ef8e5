#pragma once
// The document format: a header line, then one record per ball, link and
// tension, each a text marker line followed by little-endian binary fields.
// This is the format alone, on a figure and a stream; the commands that open
// and save documents for the user are in document_commands.cpp.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "physics/figure.hpp"
#include "platform/files/stream.hpp"

namespace flopkin {

inline constexpr const char* document_header = "1";
inline constexpr const char* ball_marker = "New Ball";
inline constexpr const char* link_marker = "New Link";
inline constexpr const char* tension_marker = "New Tension";

// the balls a record may name, by number; a later ball with the same number wins
using ball_numbers = std::unordered_map<int, ball_ref>;

// what one read of a document gives, before it touches the figure
struct figure_records {
    std::vector<ball_ref> balls;
    std::vector<link_ref> links;
    std::vector<tension_ref> tensions;
};

// Writes the header and every ball, link and tension of the figure in list
// order, naming balls by their current numbers.
void write_figure(stream& out, const figure& f);

// what a read of a document found
enum class read_outcome {
    whole,         // every record, or an empty document: an empty file, or the header "1" alone
    cut_short,     // the file ends inside a record, which is left out
    not_a_figure,  // no record at all, and no empty document either
    failed,        // the stream failed: `records` must not be used
};

// Reads every record after the header. Ball numbers are shifted by `base`;
// links and tensions resolve against `numbers` (balls already in the figure)
// and the balls read before them. Records that cannot stand are dropped: a
// record cut short by the end of the file, a ball whose position is not
// finite, a link or tension naming a ball that is not there or whose rest
// value is not finite. A mass that is not a positive finite number becomes 1.
read_outcome read_figure(stream& in, int base, ball_numbers numbers, figure_records& records);

// Reads the file at `path` as read_figure does. `said` tells a person what
// went wrong, calling the file `name`: that it cannot be read and why, that
// it is no figure, or that it is cut short and how many balls were read;
// "" when it was read whole.
read_outcome read_figure_file(const std::string& path, const std::string& name, int base, ball_numbers numbers,
                              figure_records& records, std::string& said);

// The balls read_figure would give (the whole ball records at a finite
// place), counted without building any, for a question before a large
// figure is opened.
std::size_t count_balls(stream& in);

}  // namespace flopkin
