#pragma once
// Where the unsaved figure is kept while the run goes on, and what tells
// when to hand it over: the user's changes as last seen and when they were
// made. What a person must know of it goes to the app's notice line.
#include <cstdint>
#include <string>

namespace flopkin {

class recovery_store;
struct notice_line;

struct unsaved_figure {
    recovery_store* recovery = nullptr;  // null in runs that keep none
    // the user's changes as last seen, when they were made, and the first
    // one not yet handed to the recovery store (-1: none)
    std::uint64_t seen_figure = 0;
    long long seen_hand_moves = 0;
    int last_change_ms = 0;
    int first_unkept_ms = -1;
    bool told_failure = false;  // the store's failure to keep the figure is told of

    // names the earlier runs' recovery figures on stderr, and the newest in
    // the notice, at start-up
    void tell_earlier_figures(notice_line& notice);
    // notes the user's changes as they stand at `now`; true when they
    // changed since the last frame
    bool saw_change(std::uint64_t figure_id, long long hand_moves, int now);
    // the store's failure to keep the figure, on stderr and in the notice
    // once, when it begins
    void tell_failure(notice_line& notice);
    // whether the changes not yet kept are to go to the store now, at
    // `now`: the figure has been still a while, or has changed for long
    bool due(int now);
};

}  // namespace flopkin
