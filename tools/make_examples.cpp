// Makes the example documents in examples/ from the figure generator.
//   make_examples FOLDER          writes them into FOLDER
//   make_examples --check FOLDER  exits 1 when those in FOLDER differ from
//                                 what the generator makes now
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/base/random.hpp"

namespace {

struct example {
    const char* name;
    std::function<void(flopkin::app&)> build;
};

// every figure lies inside the view a run starts with, so a first run shows
// it whole, falling from near the top
const std::vector<example> examples = {
    {"stick-figure.fkn", [](flopkin::app& a) { flopkin::add_stick_figure(a.figure, 390, 250); }},
    {"chain-bridge.fkn", [](flopkin::app& a) { flopkin::add_bridge(a.figure, 12, 150, 200); }},
    {"soft-blob.fkn", [](flopkin::app& a) { flopkin::add_mesh(a.figure, 7, 6, 300, 150); }},
    {"crowd.fkn", [](flopkin::app& a) { flopkin::add_crowd(a.figure, 12, 6, 240, 150); }},
};

bool write_example(const example& e, const std::string& path) {
    // the same seed for every file, so the balls' stored colours repeat
    flopkin::seed_rnd(1);
    flopkin::app a;
    e.build(a);
    a.number_balls();
    std::string why;
    if (a.write_document(path, why)) return true;
    std::fprintf(stderr, "make_examples: cannot write %s: %s\n", path.c_str(), why.c_str());
    return false;
}

std::string content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "Usage: make_examples [--check] FOLDER\n");
        return 2;
    }
    std::string folder = argv[argc - 1];
    if (!check) {
        for (const example& e : examples)
            if (!write_example(e, folder + "/" + e.name)) return 1;
        return 0;
    }
    std::filesystem::path scratch = std::filesystem::temp_directory_path() / ("make_examples." + std::to_string(::getpid()));
    std::filesystem::create_directory(scratch);
    int stale = 0;
    for (const example& e : examples) {
        std::string fresh = (scratch / e.name).string();
        if (!write_example(e, fresh)) return 1;
        std::string kept = folder + "/" + e.name;
        if (content(fresh) != content(kept)) {
            std::fprintf(stderr, "make_examples: %s differs from what the generator makes; run make_examples %s\n",
                         kept.c_str(), folder.c_str());
            ++stale;
        }
    }
    std::filesystem::remove_all(scratch);
    return stale ? 1 : 0;
}
