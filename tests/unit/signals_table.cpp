// SPDX-License-Identifier: MIT
// Which signal wins where several come before pause takes them, and which break a wait off.
#include "signals.hpp"
#include "table.hpp"
#include "waiting.hpp"

#include <csignal>
#include <vector>

namespace
{

struct Row {
    const char *name;
    int recorded;   // what the handler had recorded
    int incoming;   // then came (SIGCONT: a continue)
    int taken;      // what pause takes
    bool in_key;    // whether a wait within a key is broken off
    bool otherwise; // whether any other wait is
};

const std::vector<Row> rows = {
    {"none", 0, 0, 0, false, false},
    {"term", 0, SIGTERM, SIGTERM, true, true},
    {"ctrl_z", 0, SIGTSTP, SIGTSTP, false, true},
    {"cont", 0, SIGCONT, SIGCONT, false, true},
    {"term_after_ctrl_z", SIGTSTP, SIGTERM, SIGTERM, true, true},
    {"ctrl_z_after_term", SIGTERM, SIGTSTP, SIGTERM, true, true},
    {"first_ending_stays", SIGTERM, SIGINT, SIGTERM, true, true},
    {"realtime_after_ctrl_z", SIGTSTP, SIGRTMIN + 5, SIGRTMIN + 5, true, true},
    {"ctrl_z_with_cont", SIGTSTP, SIGCONT, SIGTSTP, false, true},
    {"term_with_cont", SIGTERM, SIGCONT, SIGTERM, true, true},
};

TABLE(Signals, Row, rows);

TEST_P(Signals, Won)
{
    const Row &row = GetParam();
    signals::Pending pending = {row.recorded, false};
    if (row.incoming == SIGCONT) {
        pending.continued = true;
    } else if (row.incoming != 0) {
        pending.sig = signals::kept(pending.sig, row.incoming);
    }
    EXPECT_EQ(signals::taken(pending), row.taken);
    EXPECT_EQ(waiting::broken_off(pending, true), row.in_key);
    EXPECT_EQ(waiting::broken_off(pending, false), row.otherwise);
}

} // namespace
