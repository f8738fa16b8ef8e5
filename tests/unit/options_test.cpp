// The command line read from the options' table, and the man page that
// must name each of its options. --threads: how many threads share the
// simulation.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
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

TEST(options, EitherFormOfAValueAndDocumentsAfterTheDoubleDash) {
    run_options o;
    std::string message;
    ASSERT_EQ(parse({"--frames=5", "--record=c.gif", "--record-every=3", "--seed", "7", "--", "-x.fkn"}, o, message),
              parse_result::run)
        << message;
    EXPECT_EQ(o.frames, 5);
    EXPECT_EQ(o.record, "c.gif");
    EXPECT_EQ(o.record_every, 3);
    EXPECT_EQ(o.seed, 7);
    EXPECT_EQ(o.document, "-x.fkn");

    // each refused with its one line: spaces on either side of a number, a
    // value given to an option that takes none, an empty DOCUMENT, and
    // --record-every without --record in a run with a window as well
    const std::vector<std::vector<const char*>> refused = {
        {"--frames", " 5"}, {"--frames", "5 "}, {"--frames= 5"}, {"--frames="}, {"--collide=1"},
        {""},               {"--", ""},         {"--record-every", "3"}};
    for (const auto& args : refused) {
        run_options fresh;
        message.clear();
        EXPECT_EQ(parse(args, fresh, message), parse_result::bad) << args[0];
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
}

// the options a man page names: those of its headings, with the argument
// each shows, and every name anywhere in the page
TEST(options, TheManPageNamesEveryOptionAndNoOther) {
    std::ifstream in(FLOPKIN_MAN_PAGE);
    ASSERT_TRUE(in) << FLOPKIN_MAN_PAGE;
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string page = std::regex_replace(whole.str(), std::regex(R"(\\-)"), "-");

    std::map<std::string, std::string> headings;
    const std::regex heading(R"re(\.TP\n\.BI? (--[a-z-]+)(?: " ([A-Z]+)")?\n)re");
    for (std::sregex_iterator m(page.begin(), page.end(), heading), end; m != end; ++m)
        headings[(*m)[1]] = (*m)[2];
    std::map<std::string, std::string> table;
    for (const option_row& row : option_rows()) table[row.name] = row.argument;
    EXPECT_EQ(headings, table);

    const std::regex any_name(R"(--[a-z][a-z-]*)");
    for (std::sregex_iterator n(page.begin(), page.end(), any_name), none; n != none; ++n)
        EXPECT_EQ(table.count(n->str()), 1u) << n->str() << " is no option";
}

}  // namespace
}  // namespace flopkin
