// --threads: how many threads share the simulation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.hpp"

namespace flopkin {
namespace {

parse_result parse(std::vector<const char*> args, run_options& options, std::string& message) {
    args.insert(args.begin(), "flopkin");
    return parse_options(static_cast<int>(args.size()), args.data(), options, message);
}

TEST(threads_option, TakesACountAndRefusesWhatIsNone) {
    run_options options;
    std::string message;
    EXPECT_EQ(options.threads, 0);
    ASSERT_EQ(parse({"--threads", "2", "mesh.fkn"}, options, message), parse_result::run);
    EXPECT_EQ(options.threads, 2);
    EXPECT_EQ(options.document, "mesh.fkn");
    for (const char* bad : {"0", "-1", "two", "", "257", "99999999999999999999"}) {
        run_options fresh;
        EXPECT_EQ(parse({"--threads", bad}, fresh, message), parse_result::bad) << bad;
        EXPECT_NE(message.find("--threads"), std::string::npos) << bad;
    }
    run_options fresh;
    EXPECT_EQ(parse({"--threads"}, fresh, message), parse_result::bad);
}

}  // namespace
}  // namespace flopkin
