#include "app/app.hpp"
#include "files/document_format.hpp"
#include "files/view_widening.hpp"

namespace flopkin {

// The whole file is read before the figure is touched, so a file that
// fails half-way leaves the figure and the document path as they were.
bool app::read_document(int replace, const std::string& path, std::string& why) {
    std::unique_ptr<stream> in = open_stream(path, file_access::read, why);
    if (!in) return false;

    ball_numbers numbers;
    int base = 0;
    if (replace == 0) {
        for (ball_ref b : balls.all()) numbers[b->number] = b;
        base = static_cast<int>(balls.count());
    }
    figure_records records;
    if (!read_figure(*in, *this, base, std::move(numbers), records)) {
        why = in->error();
        return false;
    }
    in->close();

    if (replace == 1) {
        document_path = path;
        balls.clear();
        links.clear();
        tensions.clear();
    }
    for (ball_ref& b : records.balls) balls.add_last(std::move(b));
    for (link_ref& l : records.links) links.add_last(std::move(l));
    for (tension_ref& t : records.tensions) tensions.add_last(std::move(t));

    widen_view_to_balls(*this);
    fit_view();
    fit_view();
    label_figures();
    return true;
}

}  // namespace flopkin
